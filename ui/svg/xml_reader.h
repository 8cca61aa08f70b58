// A forgiving reader for the XML that SVG files use: elements with attributes, in order.
// Text, comments, processing instructions, CDATA and doctype are skipped. It never reads
// past its input; on malformed markup it stops at the point it can no longer make sense of.
#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace vantor {

struct TXmlAttribute {
  std::string Name;
  std::string Value;
};

struct TXmlToken {
  enum class TKind { Start, End } Kind = TKind::Start;
  std::string Name;
  std::vector<TXmlAttribute> Attributes;  // Start only
  bool SelfClosing = false;               // Start only: <name ... />

  const std::string* Attribute(std::string_view AName) const;
};

class TXmlReader {
 public:
  explicit TXmlReader(std::string_view Text) : FText(Text) {}
  // The next element start or end; false at the end of the input or on broken markup.
  bool Next(TXmlToken& Token);

 private:
  bool SkipTo(std::string_view Marker);  // moves past Marker; false if it is missing
  void SkipSpace();
  bool ReadName(std::string& Name);
  bool ReadAttributes(TXmlToken& Token);

  std::string_view FText;
  std::size_t FPos = 0;
};

}  // namespace vantor
