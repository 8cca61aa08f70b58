// What vantor-mic asks of the operating system beyond the ports: the console, the command
// line as UTF-8, and a description of the system for the support report. One file per
// platform implements it.
#pragma once

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

}  // namespace vantor
