#include "ui/svg/xml_reader.h"

namespace vantor {

namespace {

bool IsSpace(char C) {
  return C == ' ' || C == '\t' || C == '\r' || C == '\n';
}

bool IsNameChar(char C) {
  return (C >= 'a' && C <= 'z') || (C >= 'A' && C <= 'Z') || (C >= '0' && C <= '9') || C == '_' ||
         C == '-' || C == ':' || C == '.' || static_cast<unsigned char>(C) >= 0x80;
}

// The five predefined entities and numeric references below 0x80; anything else is kept.
std::string DecodeEntities(std::string_view Raw) {
  std::string Out;
  Out.reserve(Raw.size());
  for (std::size_t I = 0; I < Raw.size(); ++I) {
    if (Raw[I] != '&') {
      Out += Raw[I];
      continue;
    }
    const std::size_t End = Raw.find(';', I);
    if (End == std::string_view::npos || End - I > 8) {
      Out += Raw[I];
      continue;
    }
    const std::string_view Name = Raw.substr(I + 1, End - I - 1);
    char C = 0;
    if (Name == "amp")
      C = '&';
    else if (Name == "lt")
      C = '<';
    else if (Name == "gt")
      C = '>';
    else if (Name == "quot")
      C = '"';
    else if (Name == "apos")
      C = '\'';
    else if (Name.size() > 1 && Name[0] == '#') {
      unsigned V = 0;
      for (char D : Name.substr(1))
        V = (D >= '0' && D <= '9') ? V * 10 + (D - '0') : 0x100;
      if (V > 0 && V < 0x80)
        C = static_cast<char>(V);
    }
    if (C == 0) {
      Out += Raw[I];
      continue;
    }
    Out += C;
    I = End;
  }
  return Out;
}

}  // namespace

const std::string* TXmlToken::Attribute(std::string_view AName) const {
  for (const auto& A : Attributes)
    if (A.Name == AName)
      return &A.Value;
  return nullptr;
}

bool TXmlReader::SkipTo(std::string_view Marker) {
  const std::size_t Found = FText.find(Marker, FPos);
  if (Found == std::string_view::npos) {
    FPos = FText.size();
    return false;
  }
  FPos = Found + Marker.size();
  return true;
}

void TXmlReader::SkipSpace() {
  while (FPos < FText.size() && IsSpace(FText[FPos]))
    ++FPos;
}

bool TXmlReader::ReadName(std::string& Name) {
  const std::size_t Start = FPos;
  while (FPos < FText.size() && IsNameChar(FText[FPos]))
    ++FPos;
  Name.assign(FText.substr(Start, FPos - Start));
  return !Name.empty();
}

bool TXmlReader::ReadAttributes(TXmlToken& Token) {
  for (;;) {
    SkipSpace();
    if (FPos >= FText.size())
      return false;
    const char C = FText[FPos];
    if (C == '>') {
      ++FPos;
      return true;
    }
    if (C == '/') {
      if (FPos + 1 >= FText.size() || FText[FPos + 1] != '>')
        return false;
      FPos += 2;
      Token.SelfClosing = true;
      return true;
    }
    TXmlAttribute A;
    if (!ReadName(A.Name))
      return false;
    SkipSpace();
    if (FPos >= FText.size() || FText[FPos] != '=')
      return false;
    ++FPos;
    SkipSpace();
    if (FPos >= FText.size() || (FText[FPos] != '"' && FText[FPos] != '\''))
      return false;
    const char Quote = FText[FPos++];
    const std::size_t End = FText.find(Quote, FPos);
    if (End == std::string_view::npos)
      return false;
    A.Value = DecodeEntities(FText.substr(FPos, End - FPos));
    FPos = End + 1;
    Token.Attributes.push_back(std::move(A));
  }
}

bool TXmlReader::Next(TXmlToken& Token) {
  for (;;) {
    if (!SkipTo("<"))
      return false;
    const std::string_view Rest = FText.substr(FPos);
    if (Rest.starts_with("?")) {
      if (!SkipTo("?>"))
        return false;
    } else if (Rest.starts_with("!--")) {
      if (!SkipTo("-->"))
        return false;
    } else if (Rest.starts_with("![CDATA[")) {
      if (!SkipTo("]]>"))
        return false;
    } else if (Rest.starts_with("!")) {
      if (!SkipTo(">"))
        return false;  // doctype; internal subsets are not supported
    } else {
      Token = TXmlToken{};
      if (Rest.starts_with("/")) {
        ++FPos;
        Token.Kind = TXmlToken::TKind::End;
        if (!ReadName(Token.Name))
          return false;
        return SkipTo(">");
      }
      if (!ReadName(Token.Name))
        return false;
      return ReadAttributes(Token);
    }
  }
}

}  // namespace vantor
