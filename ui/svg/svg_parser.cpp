#include "ui/svg/svg_parser.h"

#include <algorithm>
#include <optional>

#include "ui/svg/svg_values.h"
#include "ui/svg/xml_reader.h"

namespace vantor {

namespace {

// The inherited presentation properties in force at an element.
struct TStyle {
  TSvgPaint Fill{TSvgPaintKind::Color, {0, 0, 0}, {}};
  TSvgPaint Stroke;
  double StrokeWidth = 1;
  double FillOpacity = 1;
  double StrokeOpacity = 1;
};

struct TFrame {
  std::string Name;
  TStyle Style;
  bool InDefs = false;
};

// An element's attributes with its style="" declarations applied on top, as CSS does.
std::vector<TXmlAttribute> Properties(const TXmlToken& T) {
  std::vector<TXmlAttribute> Out = T.Attributes;
  if (const std::string* Style = T.Attribute("style"))
    for (auto& [Name, Value] : ParseSvgStyle(*Style))
      Out.push_back({Name, Value});
  return Out;
}

const std::string* Find(const std::vector<TXmlAttribute>& Props, std::string_view Name) {
  const std::string* Found = nullptr;
  for (const auto& P : Props)
    if (P.Name == Name)
      Found = &P.Value;  // the last one wins: style after attributes
  return Found;
}

double Opacity(const std::string* Text, double Default) {
  if (!Text)
    return Default;
  const auto V = ParseSvgFraction(*Text);
  return V ? std::clamp(*V, 0.0, 1.0) : Default;
}

TStyle ApplyStyle(const TStyle& Parent, const std::vector<TXmlAttribute>& Props) {
  TStyle S = Parent;
  if (const std::string* V = Find(Props, "fill"))
    if (auto P = ParseSvgPaint(*V))
      S.Fill = *P;
  if (const std::string* V = Find(Props, "stroke"))
    if (auto P = ParseSvgPaint(*V))
      S.Stroke = *P;
  if (const std::string* V = Find(Props, "stroke-width"))
    if (auto N = ParseSvgNumber(*V); N && !N->Percent && N->Value >= 0)
      S.StrokeWidth = N->Value;
  S.FillOpacity = Opacity(Find(Props, "fill-opacity"), S.FillOpacity);
  S.StrokeOpacity = Opacity(Find(Props, "stroke-opacity"), S.StrokeOpacity);
  return S;
}

double Length(const std::vector<TXmlAttribute>& Props, std::string_view Name, double Default) {
  const std::string* V = Find(Props, Name);
  if (!V)
    return Default;
  const auto N = ParseSvgNumber(*V);
  return (N && !N->Percent) ? N->Value : Default;
}

std::optional<double> Fraction(const std::vector<TXmlAttribute>& Props, std::string_view Name) {
  const std::string* V = Find(Props, Name);
  return V ? ParseSvgFraction(*V) : std::nullopt;
}

void ReadRoot(TSvgDocument& Doc, const std::vector<TXmlAttribute>& Props) {
  Doc.HasRoot = true;
  if (const std::string* V = Find(Props, "viewBox")) {
    const auto N = ParseSvgNumberList(*V, 4);
    if (N.size() == 4 && N[2] > 0 && N[3] > 0) {
      Doc.ViewX = N[0];
      Doc.ViewY = N[1];
      Doc.ViewWidth = N[2];
      Doc.ViewHeight = N[3];
    }
  }
  Doc.Width = std::max(0.0, Length(Props, "width", Doc.ViewWidth));
  Doc.Height = std::max(0.0, Length(Props, "height", Doc.ViewHeight));
}

TSvgGradient ReadGradient(const TXmlToken& T, const std::vector<TXmlAttribute>& Props) {
  TSvgGradient G;
  G.Kind = T.Name == "radialGradient" ? TSvgGradientKind::Radial : TSvgGradientKind::Linear;
  if (const std::string* Id = Find(Props, "id"))
    G.Id = *Id;
  if (const std::string* U = Find(Props, "gradientUnits"))
    G.UserSpace = *U == "userSpaceOnUse";
  G.X1 = Fraction(Props, "x1").value_or(0);
  G.Y1 = Fraction(Props, "y1").value_or(0);
  G.X2 = Fraction(Props, "x2").value_or(1);
  G.Y2 = Fraction(Props, "y2").value_or(0);
  G.Cx = Fraction(Props, "cx").value_or(0.5);
  G.Cy = Fraction(Props, "cy").value_or(0.5);
  G.R = Fraction(Props, "r").value_or(0.5);
  G.Fx = Fraction(Props, "fx").value_or(G.Cx);
  G.Fy = Fraction(Props, "fy").value_or(G.Cy);
  return G;
}

void ReadStop(TSvgGradient& G, const std::vector<TXmlAttribute>& Props) {
  TSvgStop S;
  S.Offset = std::clamp(Fraction(Props, "offset").value_or(0), 0.0, 1.0);
  // Offsets never go backwards: a smaller one is raised to the largest so far.
  if (!G.Stops.empty())
    S.Offset = std::max(S.Offset, G.Stops.back().Offset);
  if (const std::string* C = Find(Props, "stop-color"))
    if (auto Color = ParseSvgColor(*C))
      S.Color = *Color;
  S.Opacity = Opacity(Find(Props, "stop-opacity"), 1);
  G.Stops.push_back(S);
}

std::optional<TSvgShape> ReadShape(const TXmlToken& T, const std::vector<TXmlAttribute>& Props,
                                   const TStyle& Style) {
  TSvgShape S;
  S.Fill = Style.Fill;
  S.Stroke = Style.Stroke;
  S.StrokeWidth = Style.StrokeWidth;
  S.FillOpacity = Style.FillOpacity;
  S.StrokeOpacity = Style.StrokeOpacity;
  S.Opacity = Opacity(Find(Props, "opacity"), 1);
  if (T.Name == "rect") {
    S.Kind = TSvgShapeKind::Rect;
    S.X = Length(Props, "x", 0);
    S.Y = Length(Props, "y", 0);
    S.Width = Length(Props, "width", 0);
    S.Height = Length(Props, "height", 0);
    if (S.Width <= 0 || S.Height <= 0)
      return std::nullopt;
    double Rx = Length(Props, "rx", -1), Ry = Length(Props, "ry", -1);
    if (Rx < 0)
      Rx = Ry;  // one radius given stands for both
    if (Ry < 0)
      Ry = Rx;
    S.Rx = std::clamp(Rx, 0.0, S.Width / 2);
    S.Ry = std::clamp(Ry, 0.0, S.Height / 2);
  } else {
    S.X = Length(Props, "cx", 0);
    S.Y = Length(Props, "cy", 0);
    if (T.Name == "circle") {
      S.Kind = TSvgShapeKind::Circle;
      S.Rx = S.Ry = Length(Props, "r", 0);
    } else {
      S.Kind = TSvgShapeKind::Ellipse;
      S.Rx = Length(Props, "rx", 0);
      S.Ry = Length(Props, "ry", 0);
    }
    if (S.Rx <= 0 || S.Ry <= 0)
      return std::nullopt;
  }
  return S;
}

class TParser {
 public:
  explicit TParser(std::string_view Text) : FReader(Text) {}

  TSvgDocument Run() {
    TXmlToken T;
    while (FReader.Next(T)) {
      if (T.Kind == TXmlToken::TKind::End)
        End(T.Name);
      else
        Start(T);
    }
    FinishGradient();
    return std::move(FDoc);
  }

 private:
  const TStyle& Style() const { return FStack.empty() ? FRootStyle : FStack.back().Style; }
  bool InDefs() const { return !FStack.empty() && FStack.back().InDefs; }

  void Start(const TXmlToken& T) {
    const auto Props = Properties(T);
    const bool Root = T.Name == "svg" && !FDoc.HasRoot;
    if (!FDoc.HasRoot && !Root)
      return;  // nothing counts outside the root element
    if (Root)
      ReadRoot(FDoc, Props);
    if (T.Name == "linearGradient" || T.Name == "radialGradient") {
      FinishGradient();
      FGradient = ReadGradient(T, Props);
      if (T.SelfClosing)
        FinishGradient();
    } else if (T.Name == "stop") {
      if (FGradient)
        ReadStop(*FGradient, Props);
    } else if ((T.Name == "rect" || T.Name == "circle" || T.Name == "ellipse") && !InDefs()) {
      if (auto Shape = ReadShape(T, Props, ApplyStyle(Style(), Props)))
        FDoc.Shapes.push_back(std::move(*Shape));
    }
    if (!T.SelfClosing)
      FStack.push_back({T.Name, ApplyStyle(Style(), Props), InDefs() || T.Name == "defs"});
  }

  void End(const std::string& Name) {
    if (Name == "linearGradient" || Name == "radialGradient")
      FinishGradient();
    // A stray end tag is ignored; a missing one is implied by the end of its parent.
    const auto It = std::find_if(FStack.rbegin(), FStack.rend(),
                                 [&](const TFrame& F) { return F.Name == Name; });
    if (It != FStack.rend())
      FStack.erase(std::next(It).base(), FStack.end());
  }

  void FinishGradient() {
    if (!FGradient)
      return;
    if (!FGradient->Id.empty() && !FDoc.FindGradient(FGradient->Id))
      FDoc.Gradients.push_back(std::move(*FGradient));
    FGradient.reset();
  }

  TXmlReader FReader;
  TSvgDocument FDoc;
  TStyle FRootStyle;
  std::vector<TFrame> FStack;
  std::optional<TSvgGradient> FGradient;
};

}  // namespace

TSvgDocument ParseSvg(std::string_view Text) {
  return TParser(Text).Run();
}

}  // namespace vantor
