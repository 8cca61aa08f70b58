// Figures of the serial port component over a pseudo-terminal: write-path throughput
// against a plain write() loop, latency from a byte on the device's end to OnRxChar on the
// main thread, and the CPU an open, idle port costs. It prints; it never fails a build.
//   serial_bench [--idle-seconds N] [--chunk BYTES] [--runs N] [--write-only]
// A chunk must stay below the 65536-byte write buffer, or WriteBuf never finds room.
#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "bench_pty.h"
#include "framework/headless/headless.h"
#include "serial/sio_comm.h"

namespace vantor {

namespace {

using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

std::size_t ChunkSize = 4096;                  // bytes per write() or WriteBuf call (--chunk)
constexpr std::uint64_t kTotal = 64ull << 20;  // bytes per throughput run
int Runs = 5;                                  // --runs
constexpr int kLatencySamples = 1000;

// Serves the main thread until Done holds. The headless pump re-checks Done only when work
// arrives, so it is called in short slices for conditions that change without any.
bool Serve(THeadlessApp& App, const std::function<bool()>& Done, std::chrono::seconds Limit) {
  const auto Give = Clock::now() + Limit;
  while (!Done()) {
    if (Clock::now() >= Give) {
      return false;
    }
    App.Backend->PumpUntil(Done, std::chrono::milliseconds(20));
  }
  return true;
}

double Seconds(Clock::duration D) {
  return std::chrono::duration<double>(D).count();
}

std::unique_ptr<TSioComm> MakeComm(const std::string& Path, int WriteSize) {
  auto Comm = std::make_unique<TSioComm>(nullptr);
  Comm->SetDeviceName(Path);
  Comm->SetBaudrate(br115200);
  Comm->FlowControl().SetControlDtr(dtrEnabled);
  Comm->FlowControl().SetControlRts(rtsEnabled);
  Comm->SetMonitorEvents({ceBreak, ceError, ceRxChar, ceTxEmpty});
  TSioBuffers Buffers;
  Buffers.SetWriteSize(WriteSize);
  Comm->SetBuffers(Buffers);
  return Comm;
}

// Waits until the drain has seen Expected bytes (or 60 s have passed).
void AwaitDrained(const TDrain& Drain, std::uint64_t Expected) {
  const auto Give = Clock::now() + 60s;
  while (Drain.Bytes() < Expected && Clock::now() < Give) {
    std::this_thread::sleep_for(100us);
  }
}

// Throughput from Start to the arrival of the last byte.
double DrainedMBps(const TDrain& Drain, Clock::time_point Start) {
  if (Drain.Bytes() < kTotal) {
    return 0;
  }
  return static_cast<double>(kTotal) / Seconds(Drain.ReachedAt() - Start) / 1e6;
}

double PlainWriteMBps(TBenchPty& Pty) {
  const int Fd = ::open(Pty.SlavePath().c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
  if (Fd < 0) {
    return 0;
  }
  std::vector<char> Chunk(ChunkSize, 'p');
  TDrain Drain(Pty.Master(), kTotal);
  const auto Start = Clock::now();
  for (std::uint64_t Sent = 0; Sent < kTotal; Sent += ChunkSize) {
    for (std::size_t Done = 0; Done < ChunkSize;) {
      const ssize_t Put = ::write(Fd, Chunk.data() + Done, ChunkSize - Done);
      if (Put <= 0) {
        ::close(Fd);
        return 0;
      }
      Done += static_cast<std::size_t>(Put);
    }
  }
  AwaitDrained(Drain, kTotal);
  ::close(Fd);
  return DrainedMBps(Drain, Start);
}

// The backend's own write-thread call, without the component around it: splits the cost
// between the platform layer and the component's write path.
double BackendWriteMBps(TBenchPty& Pty) {
  auto Backend = MakePlatformPortBackend();
  const TSioHandle Port = Backend->OpenPort(Pty.SlavePath());
  if (Port == kInvalidSioHandle) {
    return 0;
  }
  TSioWaitEvent Completion, Close, Flush;
  std::vector<char> Chunk(ChunkSize, 'b');
  TDrain Drain(Pty.Master(), kTotal);
  const auto Start = Clock::now();
  for (std::uint64_t Sent = 0; Sent < kTotal; Sent += ChunkSize) {
    std::uint32_t Put = 0;
    if (Backend->WriteAbandonable(Port, Chunk.data(), ChunkSize, Completion, Close, Flush, Put) !=
            TSioWriteOutcome::Written ||
        Put != ChunkSize) {
      Backend->ClosePort(Port);
      return 0;
    }
  }
  AwaitDrained(Drain, kTotal);
  Backend->ClosePort(Port);
  return DrainedMBps(Drain, Start);
}

// The chunks are queued from a worker thread while the main thread serves the write
// thread's notices (its "sent" notice runs on the main thread, as in the program).
double WriteBufMBps(THeadlessApp& App, TBenchPty& Pty) {
  auto Comm = MakeComm(Pty.SlavePath(), 65536);
  Comm->Open();
  std::vector<char> Chunk(ChunkSize, 'c');
  TDrain Drain(Pty.Master(), kTotal);
  std::atomic<bool> Failed{false}, Queued{false};
  const auto Start = Clock::now();
  std::thread Writer([&] {
    for (std::uint64_t Sent = 0; Sent < kTotal && !Failed; Sent += ChunkSize) {
      try {
        Failed = Comm->WriteBuf(Chunk.data(), static_cast<int>(ChunkSize)) !=
                 static_cast<int>(ChunkSize);
      } catch (const std::exception&) {
        Failed = true;
      }
    }
    Queued = true;
  });
  // The pump notices the end only at its next wake-up; the drain's own note of the last
  // byte's arrival ends the run.
  Serve(
      App, [&] { return Queued.load() && (Failed || Drain.Bytes() >= kTotal); }, 120s);
  Writer.join();
  Comm->Close();
  return Failed ? 0 : DrainedMBps(Drain, Start);
}

double Median(std::vector<double> Values) {
  std::sort(Values.begin(), Values.end());
  return Values.empty() ? 0 : Values[Values.size() / 2];
}

double Percentile(std::vector<double> Values, double P) {
  std::sort(Values.begin(), Values.end());
  if (Values.empty()) {
    return 0;
  }
  auto Index = static_cast<std::size_t>(std::lround(P * static_cast<double>(Values.size() - 1)));
  return Values[std::min(Index, Values.size() - 1)];
}

// Microseconds from a byte written on the master to OnRxChar on the main thread.
std::vector<double> RxLatencies(THeadlessApp& App, TBenchPty& Pty) {
  auto Comm = MakeComm(Pty.SlavePath(), 2048);
  std::vector<double> Samples;
  std::mutex Lock;
  std::condition_variable Arrived;
  Clock::time_point SentAt;
  int Received = 0;
  Comm->SetOnRxChar([&](TObject*, int Count) {
    const auto Now = Clock::now();
    char Buf[64];
    Comm->ReadBuf(Buf, std::min(Count, 64));
    std::lock_guard Guard(Lock);
    Samples.push_back(std::chrono::duration<double, std::micro>(Now - SentAt).count());
    ++Received;
    Arrived.notify_all();
  });
  Comm->Open();
  std::thread Device([&] {
    for (int I = 0; I < kLatencySamples; ++I) {
      std::this_thread::sleep_for(1ms);  // one byte at a time: no batching
      std::unique_lock Guard(Lock);
      SentAt = Clock::now();
      const char Byte = static_cast<char>(I);
      if (::write(Pty.Master(), &Byte, 1) != 1) {
        break;
      }
      Arrived.wait_for(Guard, 5s, [&] { return Received > I; });
    }
  });
  Serve(
      App,
      [&] {
        std::lock_guard Guard(Lock);
        return Received >= kLatencySamples;
      },
      60s);
  Device.join();
  Comm->Close();
  Comm->SetOnRxChar(nullptr);
  return Samples;
}

double CpuWhilePumping(THeadlessApp& App, int Seconds) {
  const double Before = ProcessCpuMs();
  App.Backend->PumpUntil([] { return false; }, std::chrono::seconds(Seconds));
  return ProcessCpuMs() - Before;
}

}  // namespace

int Main(int Argc, char** Argv) {
  std::setvbuf(stdout, nullptr, _IOLBF, 0);
  int IdleSeconds = 10;
  bool WriteOnly = false;
  for (int I = 1; I < Argc; ++I) {
    const bool HasValue = I + 1 < Argc;
    if (std::strcmp(Argv[I], "--write-only") == 0) {
      WriteOnly = true;
    } else if (HasValue && std::strcmp(Argv[I], "--idle-seconds") == 0) {
      IdleSeconds = std::max(1, std::atoi(Argv[++I]));
    } else if (HasValue && std::strcmp(Argv[I], "--chunk") == 0) {
      ChunkSize = static_cast<std::size_t>(std::clamp(std::atoi(Argv[++I]), 1, 1 << 20));
    } else if (HasValue && std::strcmp(Argv[I], "--runs") == 0) {
      Runs = std::max(1, std::atoi(Argv[++I]));
    }
  }
  THeadlessApp App = MakeHeadlessApplication();
  TBenchPty Pty;

  std::vector<double> Plain, Comp, Raw, PlainCpu, CompCpu, RawCpu;
  for (int Run = 0; Run < Runs; ++Run) {
    auto Measure = [](std::vector<double>& Figures, std::vector<double>& Cpu, auto&& Path) {
      const double Before = ProcessCpuMs();
      Figures.push_back(Path());
      Cpu.push_back((ProcessCpuMs() - Before) / static_cast<double>(kTotal >> 20));
    };
    Measure(Plain, PlainCpu, [&] { return PlainWriteMBps(Pty); });
    Measure(Comp, CompCpu, [&] { return WriteBufMBps(App, Pty); });
    Measure(Raw, RawCpu, [&] { return BackendWriteMBps(Pty); });
  }
  const double PlainBest = *std::max_element(Plain.begin(), Plain.end());
  const double CompBest = *std::max_element(Comp.begin(), Comp.end());
  std::printf("write path, %zu-byte chunks, %llu MiB per run, best of %d:\n", ChunkSize,
              static_cast<unsigned long long>(kTotal >> 20), Runs);
  std::printf("  plain write() loop   %8.1f MB/s\n", PlainBest);
  std::printf("  TSioComm::WriteBuf   %8.1f MB/s\n", CompBest);
  std::printf("  backend write alone  %8.1f MB/s  (the write thread's platform call)\n",
              *std::max_element(Raw.begin(), Raw.end()));
  std::printf("  ratio                %8.2f   (target >= 0.90)\n",
              PlainBest > 0 ? CompBest / PlainBest : 0.0);
  // Every run, as the machine's load moves the figures a lot from one run to the next.
  auto PrintRuns = [](const char* Name, const std::vector<double>& Values) {
    std::printf("  %-20s", Name);
    for (const double Value : Values) {
      std::printf(" %6.1f", Value);
    }
    std::printf("\n");
  };
  std::printf("each run (MB/s), in the order measured:\n");
  PrintRuns("plain", Plain);
  PrintRuns("WriteBuf", Comp);
  PrintRuns("backend", Raw);
  // Each WriteBuf run against the plain run just before it: less moved by load that drifts
  // over the whole benchmark than best against best.
  std::vector<double> Paired;
  for (std::size_t I = 0; I < Plain.size(); ++I) {
    Paired.push_back(Plain[I] > 0 ? Comp[I] / Plain[I] : 0.0);
  }
  std::printf("  %-20s", "ratio");
  for (const double Value : Paired) {
    std::printf(" %6.2f", Value);
  }
  std::printf("   median %.2f\n", Median(Paired));
  // What each path costs the machine: on two shared cores that decides how it fares once
  // anything else runs.
  std::printf("CPU (user+sys of the process) per MiB, median of the runs:\n");
  std::printf("  plain write() loop   %8.2f ms\n", Median(PlainCpu));
  std::printf("  TSioComm::WriteBuf   %8.2f ms\n", Median(CompCpu));
  std::printf("  backend write alone  %8.2f ms\n", Median(RawCpu));

  if (WriteOnly) {
    return 0;
  }
  const std::vector<double> Latency = RxLatencies(App, Pty);
  std::printf("byte on the device's end -> OnRxChar on the main thread, %zu samples:\n",
              Latency.size());
  std::printf("  median               %8.1f us  (target < 1000 us)\n", Median(Latency));
  std::printf("  p99                  %8.1f us\n", Percentile(Latency, 0.99));

  const double Baseline = CpuWhilePumping(App, IdleSeconds);
  double Idle = 0;
  {
    auto Comm = MakeComm(Pty.SlavePath(), 2048);
    Comm->Open();
    Idle = CpuWhilePumping(App, IdleSeconds);
    Comm->Close();
  }
  std::printf("CPU (user+sys) over %d s, port open and idle:\n", IdleSeconds);
  std::printf("  open port            %8.2f ms\n", Idle);
  std::printf("  baseline (no port)   %8.2f ms\n", Baseline);
  std::printf("  component            %8.2f ms  (target < 10 ms)\n", Idle - Baseline);
  return 0;
}

}  // namespace vantor

int main(int argc, char** argv) {
  return vantor::Main(argc, argv);
}
