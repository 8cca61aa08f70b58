// A pseudo-terminal as a serial cable for the tests: the test keeps the master as the
// device's end; the backend under test opens the slave by its path.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace vantor {

class TPtyPair {
 public:
  TPtyPair();
  ~TPtyPair();
  TPtyPair(const TPtyPair&) = delete;
  TPtyPair& operator=(const TPtyPair&) = delete;

  const std::string& SlavePath() const { return FSlavePath; }
  int Master() const { return FMaster; }

  void Send(const std::string& Bytes) const;
  // Reads from the master until Count bytes have come or 10 s have passed without any.
  std::string Receive(std::size_t Count) const;
  // The device's end goes away: the slave sees a hang-up.
  void CloseMaster();

 private:
  int FMaster = -1;
  std::string FSlavePath;
};

// Open descriptors of this process.
int CountOpenFds();
// CPU time (user + system) this process has used, in milliseconds.
double ProcessCpuMs();

}  // namespace vantor
