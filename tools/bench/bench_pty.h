// A pseudo-terminal pair for the benchmark, and the drain on its device end.
#pragma once

#include <atomic>
#include <cstdint>
#include <string>
#include <thread>

class TBenchPty {
 public:
  TBenchPty();
  ~TBenchPty();
  TBenchPty(const TBenchPty&) = delete;
  TBenchPty& operator=(const TBenchPty&) = delete;

  const std::string& SlavePath() const { return FSlavePath; }
  int Master() const { return FMaster; }

 private:
  int FMaster = -1;
  std::string FSlavePath;
};

// Reads everything that arrives on the master until stopped; counts the bytes.
class TDrain {
 public:
  explicit TDrain(int Master);
  ~TDrain();
  TDrain(const TDrain&) = delete;
  TDrain& operator=(const TDrain&) = delete;

  std::uint64_t Bytes() const { return FBytes.load(); }

 private:
  int FMaster;
  std::atomic<bool> FStop{false};
  std::atomic<std::uint64_t> FBytes{0};
  std::thread FThread;
};

// CPU time (user + system) of the whole process, in milliseconds.
double ProcessCpuMs();
