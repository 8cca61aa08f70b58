#include "serial/sio_errors.h"

namespace vantor {

std::string FormatCommMessage(const std::string& Msg, std::int32_t Code, const std::string& Text) {
  std::string Result;
  int Argument = 0;
  for (std::size_t Index = 0; Index < Msg.size(); ++Index) {
    const char Ch = Msg[Index];
    if (Ch != '%' || Index + 1 >= Msg.size()) {
      Result += Ch;
      continue;
    }
    const char Kind = Msg[Index + 1];
    if (Kind == '%') {
      Result += '%';
    } else if (Kind == 'd' || Kind == 's') {
      Result += Argument == 0 ? std::to_string(Code) : Text;
      ++Argument;
    } else {
      Result += Ch;
      continue;
    }
    ++Index;
  }
  return Result;
}

std::string FormatPortNumber(const std::string& Format, std::int32_t Value) {
  std::string Result;
  for (std::size_t Index = 0; Index < Format.size(); ++Index) {
    if (Format[Index] == '%' && Index + 1 < Format.size()) {
      if (Format[Index + 1] == 'd') {
        Result += std::to_string(Value);
        ++Index;
        continue;
      }
      if (Format[Index + 1] == '%') {
        Result += '%';
        ++Index;
        continue;
      }
    }
    Result += Format[Index];
  }
  return Result;
}

std::string EscapePercent(const std::string& Text) {
  std::string Result;
  for (char Ch : Text) {
    Result += Ch;
    if (Ch == '%')
      Result += '%';
  }
  return Result;
}

}  // namespace vantor
