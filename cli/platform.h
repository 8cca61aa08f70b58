// What vantor-mic asks of the operating system beyond the ports: the console, the command
// line as UTF-8, and a description of the system for the support report. One file per
// platform implements it.
#pragma once

#include <memory>
#include <string>
#include <vector>

namespace vantor {

// Standard output and error carry UTF-8 (Windows: the console shows it so, and lines end
// in "\n" as on Linux, so a backup written to standard output is the same everywhere).
void PrepareConsole();

// The arguments after the program name, as UTF-8 (Windows: from the wide command line,
// so that file names outside the ANSI code page survive).
std::vector<std::string> Utf8Arguments(int argc, char** argv);

// "Linux 6.1.0-13-amd64 x86_64, Debian GNU/Linux 12 (bookworm)" or "Windows 10.0.19045".
std::string SystemDescription();

// Whether the port report tells USB serial ports from the others (Linux: yes; Windows:
// no, so every port is greeted there).
bool ReportTellsUsbPorts();

// Ctrl-C, and on Linux SIGTERM and SIGHUP (kill, a closed terminal, logging out), for as
// long as one exists: the signal is noted and the console loop woken, and no work is done
// inside a handler; the command then ends its conversations, closing every port, and the
// tool leaves with 128 + the signal, as a shell expects of an interrupted program.
class TInterruptWatch {
 public:
  TInterruptWatch();
  ~TInterruptWatch();
  TInterruptWatch(const TInterruptWatch&) = delete;
  TInterruptWatch& operator=(const TInterruptWatch&) = delete;

 private:
  struct TImpl;
  std::unique_ptr<TImpl> F;
};

// The signal that came (SIGINT for Ctrl-C on Windows too), or 0 while none has.
int InterruptSignal();
// "SIGINT", "SIGTERM", "SIGHUP".
std::string InterruptName(int Signal);

}  // namespace vantor
