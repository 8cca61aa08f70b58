// Attribute values of the SVG subset: numbers, lengths, percentages, colours and paints.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "ui/svg/svg_document.h"

namespace vantor {

// Largest magnitude a coordinate may have; bigger values are clamped so that no later
// arithmetic overflows.
constexpr double kSvgMaxCoordinate = 1e6;

struct TSvgNumber {
  double Value = 0;
  bool Percent = false;
};

// A number with an optional unit: "12", "-3.5e1", "50%", "10px". Units other than px and
// % are refused (the picture uses none). Leading and trailing blanks are allowed.
std::optional<TSvgNumber> ParseSvgNumber(std::string_view Text);

// A fraction for gradient attributes and stop offsets: "50%" is 0.5, "0.5" is 0.5.
std::optional<double> ParseSvgFraction(std::string_view Text);

// "#rgb", "#rrggbb", or one of a few colour names.
std::optional<TSvgColor> ParseSvgColor(std::string_view Text);

// "none", a colour, or "url(#id)". An unreadable paint is refused.
std::optional<TSvgPaint> ParseSvgPaint(std::string_view Text);

// "a:b; c : d" into its property-value pairs, blanks trimmed.
std::vector<std::pair<std::string, std::string>> ParseSvgStyle(std::string_view Text);

// Up to Max numbers separated by blanks and/or commas ("0 0 250 166").
std::vector<double> ParseSvgNumberList(std::string_view Text, std::size_t Max);

}  // namespace vantor
