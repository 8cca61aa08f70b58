#include "serial/sio_ini.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <fstream>

namespace vantor {

namespace {

bool SameText(const std::string& A, const std::string& B) {
  return A.size() == B.size() && std::equal(A.begin(), A.end(), B.begin(), [](char X, char Y) {
           return std::tolower(static_cast<unsigned char>(X)) ==
                  std::tolower(static_cast<unsigned char>(Y));
         });
}

std::string Trim(const std::string& Text) {
  const auto First = Text.find_first_not_of(" \t\r\n");
  if (First == std::string::npos)
    return {};
  const auto Last = Text.find_last_not_of(" \t\r\n");
  return Text.substr(First, Last - First + 1);
}

}  // namespace

TSioIniFile::TSioIniFile(std::string FileName) : FFileName(std::move(FileName)) {
  std::ifstream In(FFileName);
  std::string Line;
  while (std::getline(In, Line)) {
    Line = Trim(Line);
    if (Line.empty() || Line[0] == ';')
      continue;
    if (Line.front() == '[' && Line.back() == ']') {
      FSections.push_back({Trim(Line.substr(1, Line.size() - 2)), {}});
      continue;
    }
    const auto Equals = Line.find('=');
    if (Equals == std::string::npos || FSections.empty())
      continue;
    FSections.back().Values.emplace_back(Trim(Line.substr(0, Equals)),
                                         Trim(Line.substr(Equals + 1)));
  }
}

const std::string* TSioIniFile::Find(const std::string& Section, const std::string& Key) const {
  for (const auto& Entry : FSections) {
    if (!SameText(Entry.Name, Section))
      continue;
    for (const auto& [Name, Value] : Entry.Values) {
      if (SameText(Name, Key))
        return &Value;
    }
  }
  return nullptr;
}

std::int32_t TSioIniFile::ReadInteger(const std::string& Section, const std::string& Key,
                                      std::int32_t Default) const {
  const std::string* Text = Find(Section, Key);
  if (!Text)
    return Default;
  std::int32_t Value = 0;
  const auto [End, Error] = std::from_chars(Text->data(), Text->data() + Text->size(), Value);
  return Error == std::errc() && End == Text->data() + Text->size() ? Value : Default;
}

std::string TSioIniFile::ReadString(const std::string& Section, const std::string& Key,
                                    const std::string& Default) const {
  const std::string* Text = Find(Section, Key);
  return Text ? *Text : Default;
}

void TSioIniFile::WriteInteger(const std::string& Section, const std::string& Key,
                               std::int32_t Value) {
  WriteString(Section, Key, std::to_string(Value));
}

void TSioIniFile::WriteString(const std::string& Section, const std::string& Key,
                              const std::string& Value) {
  auto It = std::find_if(FSections.begin(), FSections.end(), [&Section](const TSection& Entry) {
    return SameText(Entry.Name, Section);
  });
  if (It == FSections.end()) {
    FSections.push_back({Section, {}});
    It = std::prev(FSections.end());
  }
  for (auto& [Name, Stored] : It->Values) {
    if (SameText(Name, Key)) {
      Stored = Value;
      return;
    }
  }
  It->Values.emplace_back(Key, Value);
}

bool TSioIniFile::UpdateFile() const {
  std::ofstream Out(FFileName, std::ios::trunc);
  if (!Out)
    return false;
  for (const auto& Entry : FSections) {
    Out << '[' << Entry.Name << "]\r\n";
    for (const auto& [Name, Value] : Entry.Values)
      Out << Name << '=' << Value << "\r\n";
    Out << "\r\n";
  }
  return static_cast<bool>(Out);
}

}  // namespace vantor
