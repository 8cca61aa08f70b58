#include <sys/utsname.h>

#include <fstream>

#include "cli/platform.h"

namespace vantor {

namespace {

// PRETTY_NAME of /etc/os-release, without its quotes; empty when there is none.
std::string Distribution() {
  std::ifstream In("/etc/os-release");
  for (std::string Line; std::getline(In, Line);) {
    if (Line.rfind("PRETTY_NAME=", 0) != 0)
      continue;
    std::string Value = Line.substr(12);
    if (Value.size() >= 2 && (Value.front() == '"' || Value.front() == '\''))
      Value = Value.substr(1, Value.size() - 2);
    return Value;
  }
  return std::string();
}

}  // namespace

bool ReportTellsUsbPorts() {
  return true;
}

void PrepareConsole() {
  // A Linux terminal takes UTF-8 as it comes.
}

std::vector<std::string> Utf8Arguments(int argc, char** argv) {
  return std::vector<std::string>(argv + (argc > 0 ? 1 : 0), argv + argc);
}

std::string SystemDescription() {
  utsname Name{};
  std::string Text = ::uname(&Name) == 0
                         ? std::string(Name.sysname) + " " + Name.release + " " + Name.machine
                         : std::string("Linux");
  const std::string Distro = Distribution();
  return Distro.empty() ? Text : Text + ", " + Distro;
}

}  // namespace vantor
