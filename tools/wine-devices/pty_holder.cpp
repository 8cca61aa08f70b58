// pty-holder N
//
// Opens N pseudo-terminals in raw mode, prints the path of each slave on its own line, and
// keeps the masters open until its standard input ends; then it closes them and exits.
// The Windows discovery test maps these slaves as COM ports in its Wine prefix.
#include <pty.h>
#include <termios.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <vector>

namespace vantor {

int Main(int argc, char** argv) {
  const int Count = argc == 2 ? std::atoi(argv[1]) : 0;
  if (Count <= 0) {
    std::fputs("usage: pty-holder N\n", stderr);
    return 2;
  }
  std::vector<int> Masters;
  for (int I = 0; I < Count; ++I) {
    int Master = -1, Slave = -1;
    char Name[256] = {};
    termios Raw{};
    cfmakeraw(&Raw);
    if (openpty(&Master, &Slave, Name, &Raw, nullptr) != 0) {
      std::perror("pty-holder: openpty");
      return 1;
    }
    close(Slave);  // only the master is held: the slave is free for others to open
    Masters.push_back(Master);
    std::printf("%s\n", Name);
  }
  std::fflush(stdout);
  char Byte;
  while (read(STDIN_FILENO, &Byte, 1) > 0) {
  }
  for (int Master : Masters)
    close(Master);
  return 0;
}

}  // namespace vantor

int main(int argc, char** argv) {
  return vantor::Main(argc, argv);
}
