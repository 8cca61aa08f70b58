// The window that shows a TImage's picture one pixel per pixel at its top-left corner; the
// rest of its area shows the form's background.
#pragma once

#include <windows.h>

#include <cstdint>
#include <vector>

#include "framework/controls.h"
#include "framework/win32/window_class.h"

namespace vantor {

class TImageWindow : public TWindowProcTarget {
 public:
  // Makes the child window; whoever adopts Handle() destroys it.
  TImageWindow(TImage& Image, HWND Parent, std::uint32_t Background);
  ~TImageWindow() override;
  TImageWindow(const TImageWindow&) = delete;
  TImageWindow& operator=(const TImageWindow&) = delete;

  HWND Handle() const { return FHandle; }
  void PictureChanged();

  LRESULT HandleMessage(HWND Window, UINT Msg, WPARAM WParam, LPARAM LParam,
                        bool& Handled) override;

 private:
  TImage& FImage;
  std::uint32_t FBackground;
  std::vector<std::uint32_t> FComposed;  // the picture over the background, opaque
  HWND FHandle = nullptr;
};

}  // namespace vantor
