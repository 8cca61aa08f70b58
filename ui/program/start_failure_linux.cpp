#include "ui/program/start_failure_linux.h"

#include <iostream>

namespace vantor {

const char* const kLinuxProgramName = "vantor-mic-settings";

void ShowFailureOnStandardError(const std::string& Text) {
  std::cerr << kLinuxProgramName << ": " << Text << "\n" << std::flush;
}

}  // namespace vantor
