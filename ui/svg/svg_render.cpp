#include "ui/svg/svg_render.h"

#include <algorithm>
#include <cmath>

#include "ui/svg/svg_geometry.h"
#include "ui/svg/svg_paint.h"
#include "ui/svg/svg_raster.h"

namespace vantor {

namespace {

// Premultiplied working pixel; converted to straight alpha once at the end.
struct TAccum {
  double R = 0, G = 0, B = 0, A = 0;
};

int Side(int Requested, double DocumentSize) {
  if (Requested > 0)
    return Requested;
  if (!(DocumentSize > 0) || DocumentSize > kSvgMaxImageSide)
    return 0;
  return static_cast<int>(std::ceil(DocumentSize - 1e-9));
}

TSvgBox BoundingBox(const TSvgShape& S) {
  if (S.Kind == TSvgShapeKind::Rect)
    return {S.X, S.Y, S.Width, S.Height};
  return {S.X - S.Rx, S.Y - S.Ry, 2 * S.Rx, 2 * S.Ry};
}

std::uint8_t Channel(double V) {
  return static_cast<std::uint8_t>(std::lround(std::clamp(V, 0.0, 1.0) * 255));
}

class TRenderer {
 public:
  TRenderer(const TSvgDocument& Doc, int Width, int Height)
      : FDoc(Doc),
        FWidth(Width),
        FHeight(Height),
        FPixels(static_cast<std::size_t>(Width) * Height),
        FCoverage(Width, Height) {
    const double Vw = Doc.ViewWidth > 0 ? Doc.ViewWidth : (Doc.Width > 0 ? Doc.Width : Width);
    const double Vh = Doc.ViewHeight > 0 ? Doc.ViewHeight : (Doc.Height > 0 ? Doc.Height : Height);
    FTransform = {Doc.ViewX, Doc.ViewY, Width / Vw, Height / Vh};
  }

  void Background(std::uint32_t Rgb) {
    const TAccum C{((Rgb >> 16) & 0xFF) / 255.0, ((Rgb >> 8) & 0xFF) / 255.0, (Rgb & 0xFF) / 255.0,
                   1};
    std::fill(FPixels.begin(), FPixels.end(), C);
  }

  void Draw(const TSvgShape& S) {
    if (S.Fill.Kind != TSvgPaintKind::None) {
      FCoverage.Fill(SvgFillOutline(S, FTransform), TSvgFillRule::NonZero);
      Paint(S, S.Fill, S.FillOpacity * S.Opacity);
    }
    if (S.Stroke.Kind != TSvgPaintKind::None && S.StrokeWidth > 0) {
      FCoverage.Fill(SvgStrokeOutline(S, FTransform), TSvgFillRule::EvenOdd);
      Paint(S, S.Stroke, S.StrokeOpacity * S.Opacity);
    }
  }

  TSvgImage Result() const {
    TSvgImage Image{FWidth, FHeight, std::vector<std::uint32_t>(FPixels.size())};
    for (std::size_t I = 0; I < FPixels.size(); ++I) {
      const TAccum& P = FPixels[I];
      const std::uint32_t A = Channel(P.A);
      if (A == 0)
        continue;
      Image.Pixels[I] = A << 24 | std::uint32_t{Channel(P.R / P.A)} << 16 |
                        std::uint32_t{Channel(P.G / P.A)} << 8 | Channel(P.B / P.A);
    }
    return Image;
  }

 private:
  void Paint(const TSvgShape& S, const TSvgPaint& P, double Opacity) {
    const TSvgGradient* G = nullptr;
    if (P.Kind == TSvgPaintKind::Gradient) {
      G = FDoc.FindGradient(P.GradientId);
      if (!G)
        return;  // a reference to nothing paints nothing
    }
    const TSvgRgba Solid{P.Color.R / 255.0, P.Color.G / 255.0, P.Color.B / 255.0, 1};
    const TSvgBox Box = BoundingBox(S);
    for (int Y = FCoverage.FirstRow(); Y <= FCoverage.LastRow(); ++Y) {
      for (int X = 0; X < FWidth; ++X) {
        const float Cover = FCoverage.At(X, Y);
        if (Cover <= 0)
          continue;
        // Paints are sampled at the pixel centre, in user units.
        const TSvgRgba C =
            G ? SvgGradientColor(*G, Box, (X + 0.5) / FTransform.ScaleX + FTransform.OffsetX,
                                 (Y + 0.5) / FTransform.ScaleY + FTransform.OffsetY)
              : Solid;
        const double A = C.A * Opacity * Cover;
        TAccum& D = FPixels[static_cast<std::size_t>(Y) * FWidth + X];
        D.R = C.R * A + D.R * (1 - A);
        D.G = C.G * A + D.G * (1 - A);
        D.B = C.B * A + D.B * (1 - A);
        D.A = A + D.A * (1 - A);
      }
    }
  }

  const TSvgDocument& FDoc;
  int FWidth, FHeight;
  std::vector<TAccum> FPixels;
  TSvgCoverage FCoverage;
  TSvgTransform FTransform;
};

}  // namespace

TSvgImage RenderSvg(const TSvgDocument& Doc, const TSvgRenderOptions& Options) {
  if (!Doc.HasRoot)
    return {};
  const int Width = Side(Options.Width, Doc.Width);
  const int Height = Side(Options.Height, Doc.Height);
  if (Width <= 0 || Height <= 0 || Width > kSvgMaxImageSide || Height > kSvgMaxImageSide)
    return {};
  TRenderer R(Doc, Width, Height);
  if (Options.Background)
    R.Background(*Options.Background);
  for (const TSvgShape& S : Doc.Shapes)
    R.Draw(S);
  return R.Result();
}

}  // namespace vantor
