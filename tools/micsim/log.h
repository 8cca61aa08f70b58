// The conversation log: one line per event, "12:00:01.234 rx AA 05 01 00 BB handshake".
#pragma once

#include <cstdio>
#include <memory>
#include <string>

namespace vantor {

namespace micsim {

class TLog {
 public:
  TLog();  // stderr
  // Appends to Path; throws std::system_error when it cannot be opened.
  explicit TLog(const std::string& Path);

  void Line(const std::string& Text);

 private:
  std::unique_ptr<std::FILE, int (*)(std::FILE*)> FFile;
};

}  // namespace micsim

}  // namespace vantor
