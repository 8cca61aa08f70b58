#include "base/utf.h"

namespace vantor {

namespace {

constexpr char32_t kReplacement = 0xFFFD;

void AppendUtf8(std::string& Out, char32_t C) {
  if (C < 0x80) {
    Out += static_cast<char>(C);
  } else if (C < 0x800) {
    Out += static_cast<char>(0xC0 | (C >> 6));
    Out += static_cast<char>(0x80 | (C & 0x3F));
  } else if (C < 0x10000) {
    Out += static_cast<char>(0xE0 | (C >> 12));
    Out += static_cast<char>(0x80 | ((C >> 6) & 0x3F));
    Out += static_cast<char>(0x80 | (C & 0x3F));
  } else {
    Out += static_cast<char>(0xF0 | (C >> 18));
    Out += static_cast<char>(0x80 | ((C >> 12) & 0x3F));
    Out += static_cast<char>(0x80 | ((C >> 6) & 0x3F));
    Out += static_cast<char>(0x80 | (C & 0x3F));
  }
}

void AppendUtf16(std::u16string& Out, char32_t C) {
  if (C < 0x10000) {
    Out += static_cast<char16_t>(C);
  } else {
    C -= 0x10000;
    Out += static_cast<char16_t>(0xD800 | (C >> 10));
    Out += static_cast<char16_t>(0xDC00 | (C & 0x3FF));
  }
}

// How many bytes the sequence that this byte starts has; 0 for no lead byte.
std::size_t SequenceLength(unsigned char Lead) {
  if (Lead < 0x80)
    return 1;
  if ((Lead & 0xE0) == 0xC0)
    return 2;
  if ((Lead & 0xF0) == 0xE0)
    return 3;
  if ((Lead & 0xF8) == 0xF0)
    return 4;
  return 0;
}

}  // namespace

std::string ToUtf8(std::u16string_view Text) {
  std::string Out;
  Out.reserve(Text.size());
  for (std::size_t I = 0; I < Text.size(); ++I) {
    char32_t C = Text[I];
    if (C >= 0xD800 && C <= 0xDBFF && I + 1 < Text.size() && Text[I + 1] >= 0xDC00 &&
        Text[I + 1] <= 0xDFFF) {
      C = 0x10000 + ((C - 0xD800) << 10) + (Text[I + 1] - 0xDC00);
      ++I;
    } else if (C >= 0xD800 && C <= 0xDFFF) {
      C = kReplacement;  // a lone surrogate
    }
    AppendUtf8(Out, C);
  }
  return Out;
}

std::u16string ToUtf16(std::string_view Text) {
  static constexpr unsigned char LeadBits[] = {0, 0x7F, 0x1F, 0x0F, 0x07};
  static constexpr char32_t Least[] = {0, 0, 0x80, 0x800, 0x10000};  // no overlong forms
  std::u16string Out;
  Out.reserve(Text.size());
  std::size_t I = 0;
  while (I < Text.size()) {
    const auto Lead = static_cast<unsigned char>(Text[I]);
    const std::size_t Length = SequenceLength(Lead);
    bool Valid = Length != 0 && I + Length <= Text.size();
    char32_t C = Valid ? Lead & LeadBits[Length] : 0;
    for (std::size_t K = 1; Valid && K < Length; ++K) {
      const auto Next = static_cast<unsigned char>(Text[I + K]);
      Valid = (Next & 0xC0) == 0x80;
      C = (C << 6) | (Next & 0x3F);
    }
    if (!Valid || C < Least[Length] || C > 0x10FFFF || (C >= 0xD800 && C <= 0xDFFF)) {
      AppendUtf16(Out, kReplacement);
      ++I;  // resynchronise on the next byte
      continue;
    }
    AppendUtf16(Out, C);
    I += Length;
  }
  return Out;
}

}  // namespace vantor
