#include "framework/win32/image_window.h"

namespace vantor {

namespace {

// Straight alpha over an opaque background, one channel.
std::uint32_t Blend(std::uint32_t Over, std::uint32_t Under, std::uint32_t Alpha, int Shift) {
  const std::uint32_t O = (Over >> Shift) & 0xFF, U = (Under >> Shift) & 0xFF;
  return ((O * Alpha + U * (255 - Alpha) + 127) / 255) << Shift;
}

}  // namespace

TImageWindow::TImageWindow(TImage& Image, HWND Parent, std::uint32_t Background)
    : FImage(Image), FBackground(Background) {
  FHandle = CreateTargetWindow(*this, L"TImageWindow", 0, WS_CHILD, Image.Left(), Image.Top(),
                               Image.Width(), Image.Height(), Parent);
  PictureChanged();
}

TImageWindow::~TImageWindow() {
  DetachTargetWindow(FHandle);
}

void TImageWindow::PictureChanged() {
  const TBitmap32& Picture = FImage.Picture();
  FComposed.resize(Picture.Pixels.size());
  for (std::size_t I = 0; I < Picture.Pixels.size(); ++I) {
    const std::uint32_t P = Picture.Pixels[I], Alpha = P >> 24;
    FComposed[I] = Blend(P, FBackground, Alpha, 16) | Blend(P, FBackground, Alpha, 8) |
                   Blend(P, FBackground, Alpha, 0);
  }
  if (FHandle)
    ::InvalidateRect(FHandle, nullptr, TRUE);
}

LRESULT TImageWindow::HandleMessage(HWND Window, UINT Msg, WPARAM /*WParam*/, LPARAM /*LParam*/,
                                    bool& Handled) {
  if (Msg == WM_ERASEBKGND) {
    Handled = true;  // WM_PAINT fills everything
    return 1;
  }
  if (Msg != WM_PAINT)
    return 0;
  Handled = true;
  PAINTSTRUCT Paint;
  HDC Dc = ::BeginPaint(Window, &Paint);
  RECT Client;
  ::GetClientRect(Window, &Client);
  HBRUSH Brush = ::CreateSolidBrush(
      RGB((FBackground >> 16) & 0xFF, (FBackground >> 8) & 0xFF, FBackground & 0xFF));
  ::FillRect(Dc, &Client, Brush);
  ::DeleteObject(Brush);
  const TBitmap32& Picture = FImage.Picture();
  if (Picture.Width > 0 && Picture.Height > 0 &&
      FComposed.size() == static_cast<std::size_t>(Picture.Width) * Picture.Height) {
    BITMAPINFO Info{};
    Info.bmiHeader.biSize = sizeof(Info.bmiHeader);
    Info.bmiHeader.biWidth = Picture.Width;
    Info.bmiHeader.biHeight = -Picture.Height;  // rows top to bottom
    Info.bmiHeader.biPlanes = 1;
    Info.bmiHeader.biBitCount = 32;
    Info.bmiHeader.biCompression = BI_RGB;
    ::SetDIBitsToDevice(Dc, 0, 0, static_cast<DWORD>(Picture.Width),
                        static_cast<DWORD>(Picture.Height), 0, 0, 0,
                        static_cast<UINT>(Picture.Height), FComposed.data(), &Info, DIB_RGB_COLORS);
  }
  ::EndPaint(Window, &Paint);
  return 0;
}

}  // namespace vantor
