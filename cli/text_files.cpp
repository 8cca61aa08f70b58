#include "cli/text_files.h"

#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <system_error>

namespace vantor {

namespace {

// Paths arrive as UTF-8 on every platform; Windows opens them by their wide form.
std::filesystem::path PathOf(const std::string& Utf8) {
  return std::filesystem::path(std::u8string(Utf8.begin(), Utf8.end()));
}

std::string Reason() {
  return errno != 0 ? std::generic_category().message(errno) : std::string("failed");
}

bool ReadStream(std::istream& In, std::size_t Limit, std::string& Text) {
  Text.assign(Limit + 1, '\0');
  In.read(Text.data(), static_cast<std::streamsize>(Text.size()));
  Text.resize(static_cast<std::size_t>(In.gcount()));
  return !In.bad();
}

}  // namespace

bool ReadTextFile(const std::string& Path, std::size_t Limit, std::string& Text,
                  std::string& Error) {
  errno = 0;
  if (Path == "-") {
    if (ReadStream(std::cin, Limit, Text))
      return true;
    Error = "cannot read standard input";
    return false;
  }
  std::ifstream In(PathOf(Path), std::ios::binary);
  if (!In || !ReadStream(In, Limit, Text)) {
    Error = "cannot read " + Path + ": " + Reason();
    return false;
  }
  return true;
}

bool WriteTextFile(const std::string& Path, const std::string& Text, std::string& Error) {
  errno = 0;
  if (Path == "-") {
    if (std::fwrite(Text.data(), 1, Text.size(), stdout) == Text.size() && std::fflush(stdout) == 0)
      return true;
    Error = "cannot write standard output: " + Reason();
    return false;
  }
  std::ofstream Out(PathOf(Path), std::ios::binary | std::ios::trunc);
  if (Out)
    Out.write(Text.data(), static_cast<std::streamsize>(Text.size()));
  if (Out)
    Out.flush();
  if (!Out) {
    Error = "cannot write " + Path + ": " + Reason();
    return false;
  }
  return true;
}

}  // namespace vantor
