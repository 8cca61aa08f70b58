#include "ui/iconmaker/ico_file.h"

#include <algorithm>

namespace vantor {

namespace {

void Put16(std::vector<std::uint8_t>& B, unsigned V) {
  B.push_back(static_cast<std::uint8_t>(V));
  B.push_back(static_cast<std::uint8_t>(V >> 8));
}

void Put32(std::vector<std::uint8_t>& B, std::uint32_t V) {
  Put16(B, V & 0xFFFF);
  Put16(B, V >> 16);
}

std::uint32_t Get(const std::vector<std::uint8_t>& B, std::size_t At, int Bytes) {
  std::uint32_t V = 0;
  for (int I = Bytes - 1; I >= 0; --I)
    V = V << 8 | B[At + I];
  return V;
}

std::size_t MaskStride(int Width) {
  return static_cast<std::size_t>((Width + 31) / 32) * 4;
}

std::vector<std::uint8_t> Dib(const TSvgImage& I) {
  std::vector<std::uint8_t> B;
  const std::size_t Mask = MaskStride(I.Width) * I.Height;
  Put32(B, 40);  // BITMAPINFOHEADER
  Put32(B, I.Width);
  Put32(B, I.Height * 2);  // colour rows and mask rows
  Put16(B, 1);
  Put16(B, 32);
  Put32(B, 0);  // BI_RGB
  Put32(B, static_cast<std::uint32_t>(I.Pixels.size() * 4 + Mask));
  for (int K = 0; K < 4; ++K)
    Put32(B, 0);
  for (int Y = I.Height - 1; Y >= 0; --Y)  // bottom-up, BGRA
    for (int X = 0; X < I.Width; ++X)
      Put32(B, I.Pixels[static_cast<std::size_t>(Y) * I.Width + X]);
  // The mask marks fully transparent pixels, for the few readers that ignore alpha.
  for (int Y = I.Height - 1; Y >= 0; --Y) {
    std::vector<std::uint8_t> Row(MaskStride(I.Width), 0);
    for (int X = 0; X < I.Width; ++X)
      if ((I.Pixels[static_cast<std::size_t>(Y) * I.Width + X] >> 24) == 0)
        Row[X / 8] |= static_cast<std::uint8_t>(0x80 >> (X % 8));
    B.insert(B.end(), Row.begin(), Row.end());
  }
  return B;
}

}  // namespace

std::vector<std::uint8_t> BuildIco(const std::vector<TSvgImage>& Images) {
  std::vector<std::vector<std::uint8_t>> Dibs;
  Dibs.reserve(Images.size());
  for (const TSvgImage& I : Images)
    Dibs.push_back(Dib(I));
  std::vector<std::uint8_t> F;
  Put16(F, 0);
  Put16(F, 1);  // icon
  Put16(F, static_cast<unsigned>(Images.size()));
  std::uint32_t Offset = static_cast<std::uint32_t>(6 + 16 * Images.size());
  for (std::size_t K = 0; K < Images.size(); ++K) {
    F.push_back(static_cast<std::uint8_t>(Images[K].Width >= 256 ? 0 : Images[K].Width));
    F.push_back(static_cast<std::uint8_t>(Images[K].Height >= 256 ? 0 : Images[K].Height));
    F.push_back(0);  // no palette
    F.push_back(0);
    Put16(F, 1);
    Put16(F, 32);
    Put32(F, static_cast<std::uint32_t>(Dibs[K].size()));
    Put32(F, Offset);
    Offset += static_cast<std::uint32_t>(Dibs[K].size());
  }
  for (const auto& D : Dibs)
    F.insert(F.end(), D.begin(), D.end());
  return F;
}

std::vector<TIcoEntry> ReadIcoDirectory(const std::vector<std::uint8_t>& File) {
  if (File.size() < 6 || Get(File, 0, 2) != 0 || Get(File, 2, 2) != 1)
    return {};
  const std::size_t Count = Get(File, 4, 2);
  if (File.size() < 6 + 16 * Count)
    return {};
  std::vector<TIcoEntry> Out;
  for (std::size_t K = 0; K < Count; ++K) {
    const std::size_t At = 6 + 16 * K;
    TIcoEntry E;
    E.Width = File[At] == 0 ? 256 : File[At];
    E.Height = File[At + 1] == 0 ? 256 : File[At + 1];
    E.BitCount = static_cast<int>(Get(File, At + 6, 2));
    E.Size = Get(File, At + 8, 4);
    E.Offset = Get(File, At + 12, 4);
    if (E.Offset > File.size() || E.Size > File.size() - E.Offset)
      return {};
    Out.push_back(E);
  }
  return Out;
}

TSvgImage ReadIcoImage(const std::vector<std::uint8_t>& File, const TIcoEntry& E) {
  const std::size_t Pixels = static_cast<std::size_t>(E.Width) * E.Height;
  if (E.Size < 40 + Pixels * 4 || Get(File, E.Offset, 4) != 40 || Get(File, E.Offset + 14, 2) != 32)
    return {};
  TSvgImage I{E.Width, E.Height, std::vector<std::uint32_t>(Pixels)};
  const std::size_t Base = E.Offset + 40;
  for (int Y = 0; Y < E.Height; ++Y)
    for (int X = 0; X < E.Width; ++X)
      I.Pixels[static_cast<std::size_t>(E.Height - 1 - Y) * E.Width + X] =
          Get(File, Base + (static_cast<std::size_t>(Y) * E.Width + X) * 4, 4);
  return I;
}

}  // namespace vantor
