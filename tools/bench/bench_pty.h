// A pseudo-terminal pair for the benchmark, and the drain on its device end.
#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>
#include <string>
#include <thread>

namespace vantor {

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

// Reads everything that arrives on the master until stopped; counts the bytes and notes
// when Target bytes had arrived, so that a run ends when its last byte does, however late
// the waiting thread looks.
class TDrain {
 public:
  using Clock = std::chrono::steady_clock;

  TDrain(int Master, std::uint64_t Target);
  ~TDrain();
  TDrain(const TDrain&) = delete;
  TDrain& operator=(const TDrain&) = delete;

  std::uint64_t Bytes() const { return FBytes.load(); }
  // When the target was reached (only meaningful once Bytes() >= Target).
  Clock::time_point ReachedAt() const {
    return Clock::time_point(Clock::duration(FReachedAt.load()));
  }

 private:
  int FMaster;
  std::uint64_t FTarget;
  std::atomic<bool> FStop{false};
  std::atomic<std::uint64_t> FBytes{0};
  std::atomic<Clock::rep> FReachedAt{0};
  std::thread FThread;
};

// CPU time (user + system) of the whole process, in milliseconds.
double ProcessCpuMs();

}  // namespace vantor
