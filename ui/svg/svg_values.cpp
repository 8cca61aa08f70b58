#include "ui/svg/svg_values.h"

#include <algorithm>
#include <cmath>

namespace vantor {

namespace {

bool IsSpace(char C) {
  return C == ' ' || C == '\t' || C == '\r' || C == '\n';
}

std::string_view Trim(std::string_view S) {
  while (!S.empty() && IsSpace(S.front()))
    S.remove_prefix(1);
  while (!S.empty() && IsSpace(S.back()))
    S.remove_suffix(1);
  return S;
}

bool IsDigit(char C) {
  return C >= '0' && C <= '9';
}

// Reads a plain decimal number at the front of S (locale-independent, unlike strtod).
std::optional<double> ReadNumber(std::string_view& S) {
  std::size_t I = 0;
  double Sign = 1;
  if (I < S.size() && (S[I] == '+' || S[I] == '-'))
    Sign = S[I++] == '-' ? -1 : 1;
  double Value = 0;
  bool Digits = false;
  while (I < S.size() && IsDigit(S[I])) {
    Value = std::min(Value * 10 + (S[I++] - '0'), 1e300);
    Digits = true;
  }
  if (I < S.size() && S[I] == '.') {
    ++I;
    double Scale = 0.1;
    while (I < S.size() && IsDigit(S[I])) {
      Value += (S[I++] - '0') * Scale;
      Scale /= 10;
      Digits = true;
    }
  }
  if (!Digits)
    return std::nullopt;
  if (I + 1 < S.size() && (S[I] == 'e' || S[I] == 'E') &&
      (IsDigit(S[I + 1]) ||
       (I + 2 < S.size() && (S[I + 1] == '+' || S[I + 1] == '-') && IsDigit(S[I + 2])))) {
    ++I;
    int ExpSign = 1;
    if (S[I] == '+' || S[I] == '-')
      ExpSign = S[I++] == '-' ? -1 : 1;
    int Exp = 0;
    while (I < S.size() && IsDigit(S[I]))
      Exp = std::min(Exp * 10 + (S[I++] - '0'), 400);
    Value *= std::pow(10.0, ExpSign * Exp);
  }
  S.remove_prefix(I);
  Value = std::clamp(Sign * Value, -kSvgMaxCoordinate, kSvgMaxCoordinate);
  if (!std::isfinite(Value))
    return std::nullopt;
  return Value;
}

int HexDigit(char C) {
  if (C >= '0' && C <= '9')
    return C - '0';
  if (C >= 'a' && C <= 'f')
    return C - 'a' + 10;
  if (C >= 'A' && C <= 'F')
    return C - 'A' + 10;
  return -1;
}

}  // namespace

std::optional<TSvgNumber> ParseSvgNumber(std::string_view Text) {
  std::string_view S = Trim(Text);
  const auto Value = ReadNumber(S);
  if (!Value)
    return std::nullopt;
  TSvgNumber N{*Value, false};
  if (S == "%")
    N.Percent = true;
  else if (!S.empty() && S != "px")
    return std::nullopt;
  return N;
}

std::optional<double> ParseSvgFraction(std::string_view Text) {
  const auto N = ParseSvgNumber(Text);
  if (!N)
    return std::nullopt;
  return N->Percent ? N->Value / 100 : N->Value;
}

std::optional<TSvgColor> ParseSvgColor(std::string_view Text) {
  const std::string_view S = Trim(Text);
  if (S.size() == 4 || S.size() == 7) {
    if (S[0] != '#')
      return std::nullopt;
    int D[6] = {};
    for (std::size_t I = 1; I < S.size(); ++I) {
      D[I - 1] = HexDigit(S[I]);
      if (D[I - 1] < 0)
        return std::nullopt;
    }
    if (S.size() == 4)
      return TSvgColor{static_cast<std::uint8_t>(D[0] * 17), static_cast<std::uint8_t>(D[1] * 17),
                       static_cast<std::uint8_t>(D[2] * 17)};
    return TSvgColor{static_cast<std::uint8_t>(D[0] * 16 + D[1]),
                     static_cast<std::uint8_t>(D[2] * 16 + D[3]),
                     static_cast<std::uint8_t>(D[4] * 16 + D[5])};
  }
  struct TNamed {
    std::string_view Name;
    TSvgColor Color;
  };
  static constexpr TNamed Names[] = {{"black", {0, 0, 0}},     {"white", {255, 255, 255}},
                                     {"red", {255, 0, 0}},     {"green", {0, 128, 0}},
                                     {"blue", {0, 0, 255}},    {"gray", {128, 128, 128}},
                                     {"grey", {128, 128, 128}}};
  for (const auto& N : Names)
    if (S == N.Name)
      return N.Color;
  return std::nullopt;
}

std::optional<TSvgPaint> ParseSvgPaint(std::string_view Text) {
  const std::string_view S = Trim(Text);
  TSvgPaint P;
  if (S == "none")
    return P;
  if (S.starts_with("url(")) {
    const std::size_t Close = S.find(')');
    if (Close == std::string_view::npos)
      return std::nullopt;
    std::string_view Ref = Trim(S.substr(4, Close - 4));
    if (Ref.size() >= 2 && (Ref.front() == '"' || Ref.front() == '\'') && Ref.back() == Ref.front())
      Ref = Ref.substr(1, Ref.size() - 2);
    if (Ref.size() < 2 || Ref.front() != '#')
      return std::nullopt;
    P.Kind = TSvgPaintKind::Gradient;
    P.GradientId.assign(Ref.substr(1));
    return P;
  }
  const auto C = ParseSvgColor(S);
  if (!C)
    return std::nullopt;
  P.Kind = TSvgPaintKind::Color;
  P.Color = *C;
  return P;
}

std::vector<std::pair<std::string, std::string>> ParseSvgStyle(std::string_view Text) {
  std::vector<std::pair<std::string, std::string>> Out;
  while (!Text.empty()) {
    const std::size_t Semi = Text.find(';');
    const std::string_view Decl = Text.substr(0, Semi);
    Text = Semi == std::string_view::npos ? std::string_view{} : Text.substr(Semi + 1);
    const std::size_t Colon = Decl.find(':');
    if (Colon == std::string_view::npos)
      continue;
    const std::string_view Name = Trim(Decl.substr(0, Colon));
    if (Name.empty())
      continue;
    Out.emplace_back(std::string(Name), std::string(Trim(Decl.substr(Colon + 1))));
  }
  return Out;
}

std::vector<double> ParseSvgNumberList(std::string_view Text, std::size_t Max) {
  std::vector<double> Out;
  std::string_view S = Text;
  while (Out.size() < Max) {
    while (!S.empty() && (IsSpace(S.front()) || S.front() == ','))
      S.remove_prefix(1);
    if (S.empty())
      break;
    const auto V = ReadNumber(S);
    if (!V)
      break;
    Out.push_back(*V);
  }
  return Out;
}

}  // namespace vantor
