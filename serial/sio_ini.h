// A small INI file reader and writer: sections and keys compared without regard to case,
// as the platform's profile functions do; the file is rewritten whole on UpdateFile.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace vantor {

class TSioIniFile {
 public:
  // Reads the file if it exists; a missing file is an empty one.
  explicit TSioIniFile(std::string FileName);

  std::int32_t ReadInteger(const std::string& Section, const std::string& Key,
                           std::int32_t Default) const;
  std::string ReadString(const std::string& Section, const std::string& Key,
                         const std::string& Default) const;
  void WriteInteger(const std::string& Section, const std::string& Key, std::int32_t Value);
  void WriteString(const std::string& Section, const std::string& Key, const std::string& Value);
  // False when the file cannot be written.
  bool UpdateFile() const;

 private:
  struct TSection {
    std::string Name;
    std::vector<std::pair<std::string, std::string>> Values;
  };
  const std::string* Find(const std::string& Section, const std::string& Key) const;

  std::string FFileName;
  std::vector<TSection> FSections;
};

}  // namespace vantor
