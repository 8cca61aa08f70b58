// The device's end of a pseudo-terminal for the Windows tests under Wine: opens a pty,
// prints the slave's path on one line, then echoes every byte it receives back to the
// sender until it is ended (SIGTERM) or the input it reads from fails. Native test tooling.
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <stdlib.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

namespace vantor {

namespace {

bool WriteAll(int Fd, const char* Bytes, ssize_t Count) {
  while (Count > 0) {
    const ssize_t Put = ::write(Fd, Bytes, static_cast<std::size_t>(Count));
    if (Put < 0 && errno == EINTR) {
      continue;
    }
    if (Put <= 0) {
      return false;
    }
    Bytes += Put;
    Count -= Put;
  }
  return true;
}

}  // namespace

int Main() {
  const int Master = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
  if (Master < 0 || ::grantpt(Master) != 0 || ::unlockpt(Master) != 0) {
    std::perror("ptypair: posix_openpt");
    return 1;
  }
  termios Raw{};
  ::tcgetattr(Master, &Raw);
  ::cfmakeraw(&Raw);
  ::tcsetattr(Master, TCSANOW, &Raw);
  // Keep a slave descriptor open, so that the master does not report a hang-up before
  // the program under test has opened its end, nor between two of its opens.
  const char* Slave = ::ptsname(Master);
  const int Keep = Slave != nullptr ? ::open(Slave, O_RDWR | O_NOCTTY | O_CLOEXEC) : -1;
  if (Keep < 0) {
    std::perror("ptypair: open slave");
    return 1;
  }
  ::tcsetattr(Keep, TCSANOW, &Raw);
  std::printf("%s\n", Slave);
  std::fflush(stdout);

  char Buf[4096];
  for (;;) {
    pollfd Poll{Master, POLLIN, 0};
    if (::poll(&Poll, 1, -1) < 0) {
      if (errno == EINTR) {
        continue;
      }
      return 1;
    }
    const ssize_t Got = ::read(Master, Buf, sizeof Buf);
    if (Got < 0 && (errno == EINTR || errno == EAGAIN)) {
      continue;
    }
    if (Got <= 0 || !WriteAll(Master, Buf, Got)) {
      return 0;
    }
  }
}

}  // namespace vantor

int main() {
  return vantor::Main();
}
