#include "tools/micsim/log.h"

#include <chrono>
#include <ctime>
#include <system_error>

namespace vantor {

namespace micsim {

namespace {

int KeepOpen(std::FILE*) {
  return 0;
}

std::string Timestamp() {
  const auto Now = std::chrono::system_clock::now();
  const std::time_t Seconds = std::chrono::system_clock::to_time_t(Now);
  const auto Millis =
      std::chrono::duration_cast<std::chrono::milliseconds>(Now.time_since_epoch()).count() % 1000;
  std::tm Local{};
  localtime_r(&Seconds, &Local);
  char Text[32];
  std::snprintf(Text, sizeof Text, "%02d:%02d:%02d.%03d", Local.tm_hour, Local.tm_min, Local.tm_sec,
                static_cast<int>(Millis));
  return Text;
}

}  // namespace

TLog::TLog() : FFile(stderr, &KeepOpen) {}

TLog::TLog(const std::string& Path) : FFile(std::fopen(Path.c_str(), "a"), &std::fclose) {
  if (!FFile)
    throw std::system_error(errno, std::generic_category(), "cannot open " + Path);
}

void TLog::Line(const std::string& Text) {
  std::fprintf(FFile.get(), "%s %s\n", Timestamp().c_str(), Text.c_str());
  std::fflush(FFile.get());
}

}  // namespace micsim

}  // namespace vantor
