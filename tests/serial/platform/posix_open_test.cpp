// Opening a port on Linux: not found, held by another program, released on close, and no
// descriptor left behind.
#include <fcntl.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cerrno>
#include <memory>

#include "pty_pair.h"
#include "serial/port_backend.h"
#include "serial/port_failure.h"

namespace vantor {

namespace {

class PosixOpen : public ::testing::Test {
 protected:
  std::unique_ptr<TSioPortBackend> Backend = MakePlatformPortBackend();
  TPtyPair Pty;
};

TEST_F(PosixOpen, MissingDeviceIsNotFound) {
  EXPECT_EQ(Backend->OpenPort("/dev/no-such-serial-port"), kInvalidSioHandle);
  EXPECT_EQ(Backend->LastError(), static_cast<std::uint32_t>(ENOENT));
  EXPECT_EQ(Backend->SystemErrorText(ENOENT), "No such file or directory");
}

// One table for the component's backend and the port report's probe: both ask this.
TEST_F(PosixOpen, ErrnoValuesMapToWhatStandsInTheWay) {
  struct Case {
    int Error;
    TPortFailure Opening, Open;
  };
  using F = TPortFailure;
  const Case Cases[] = {
      {ENOENT, F::pfNotFound, F::pfNotFound}, {ENODEV, F::pfNotFound, F::pfRemoved},
      {ENXIO, F::pfNotFound, F::pfRemoved},   {EIO, F::pfOther, F::pfRemoved},
      {EBUSY, F::pfBusy, F::pfBusy},          {EACCES, F::pfDenied, F::pfDenied},
      {EPERM, F::pfDenied, F::pfDenied},      {ENOTTY, F::pfNotSerial, F::pfOther},
      {EINVAL, F::pfOther, F::pfOther},
  };
  for (const Case& Item : Cases) {
    const auto Code = static_cast<std::uint32_t>(Item.Error);
    EXPECT_EQ(ClassifyPortError(Code, TPortErrorPhase::Opening), Item.Opening) << Item.Error;
    EXPECT_EQ(ClassifyPortError(Code, TPortErrorPhase::Open), Item.Open) << Item.Error;
    EXPECT_EQ(Backend->ErrorCategory(Code, TPortErrorPhase::Opening), Item.Opening) << Item.Error;
    EXPECT_EQ(Backend->ErrorCategory(Code, TPortErrorPhase::Open), Item.Open) << Item.Error;
  }
}

TEST_F(PosixOpen, SomethingThatIsNoTerminalIsRefused) {
  EXPECT_EQ(Backend->OpenPort("/dev/null"), kInvalidSioHandle);
  EXPECT_EQ(Backend->LastError(), static_cast<std::uint32_t>(ENOTTY));
}

TEST_F(PosixOpen, SecondOpenOfAnOpenPortFails) {
  const TSioHandle Port = Backend->OpenPort(Pty.SlavePath());
  ASSERT_NE(Port, kInvalidSioHandle);
  EXPECT_EQ(Backend->OpenPort(Pty.SlavePath()), kInvalidSioHandle);
  EXPECT_EQ(Backend->LastError(), static_cast<std::uint32_t>(EBUSY));
  EXPECT_FALSE(Backend->SystemErrorText(Backend->LastError()).empty());
  // Another backend (another component) is refused the same way.
  auto Other = MakePlatformPortBackend();
  EXPECT_EQ(Other->OpenPort(Pty.SlavePath()), kInvalidSioHandle);

  Backend->ClosePort(Port);
  const TSioHandle Again = Other->OpenPort(Pty.SlavePath());
  EXPECT_NE(Again, kInvalidSioHandle) << "closing releases the port";
  Other->ClosePort(Again);
}

TEST_F(PosixOpen, PortLockedByAnotherProcessFails) {
  int Ready[2], Done[2];
  ASSERT_EQ(::pipe(Ready), 0);
  ASSERT_EQ(::pipe(Done), 0);
  const pid_t Child = ::fork();
  ASSERT_GE(Child, 0);
  if (Child == 0) {
    const int Fd = ::open(Pty.SlavePath().c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    const char Ok = (Fd >= 0 && ::flock(Fd, LOCK_EX | LOCK_NB) == 0) ? 'y' : 'n';
    (void)!::write(Ready[1], &Ok, 1);
    char Byte;
    (void)!::read(Done[0], &Byte, 1);
    ::_exit(0);
  }
  char Ok = 0;
  ASSERT_EQ(::read(Ready[0], &Ok, 1), 1);
  EXPECT_EQ(Ok, 'y');
  EXPECT_EQ(Backend->OpenPort(Pty.SlavePath()), kInvalidSioHandle);
  EXPECT_EQ(Backend->LastError(), static_cast<std::uint32_t>(EBUSY));
  (void)!::write(Done[1], "x", 1);
  ::waitpid(Child, nullptr, 0);
  for (int Fd : {Ready[0], Ready[1], Done[0], Done[1]}) {
    ::close(Fd);
  }
  const TSioHandle Port = Backend->OpenPort(Pty.SlavePath());
  EXPECT_NE(Port, kInvalidSioHandle) << "free again once the other process is gone";
  Backend->ClosePort(Port);
}

// A privileged process passes the kernel's check of the flag: the open asks for it.
TEST_F(PosixOpen, AnExclusiveHoldWithoutALockKeepsTheBackendOutEvenForRoot) {
  const int Other = ::open(Pty.SlavePath().c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
  ASSERT_GE(Other, 0);
  ASSERT_EQ(::ioctl(Other, TIOCEXCL), 0);
  EXPECT_EQ(Backend->OpenPort(Pty.SlavePath()), kInvalidSioHandle);
  EXPECT_EQ(Backend->LastError(), static_cast<std::uint32_t>(EBUSY));
  int Exclusive = 0;
  ASSERT_EQ(::ioctl(Other, TIOCGEXCL, &Exclusive), 0);
  EXPECT_NE(Exclusive, 0) << "a refused open leaves the holder's flag as it was";
  ::ioctl(Other, TIOCNXCL);
  ::close(Other);
  const TSioHandle Port = Backend->OpenPort(Pty.SlavePath());
  EXPECT_NE(Port, kInvalidSioHandle);
  Backend->ClosePort(Port);
}

TEST_F(PosixOpen, ExclusiveModeKeepsOthersOutUntilClose) {
  if (::geteuid() == 0) {
    GTEST_SKIP() << "TIOCEXCL does not apply to root";
  }
  const TSioHandle Port = Backend->OpenPort(Pty.SlavePath());
  ASSERT_NE(Port, kInvalidSioHandle);
  EXPECT_LT(::open(Pty.SlavePath().c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK), 0);
  EXPECT_EQ(errno, EBUSY);
  Backend->ClosePort(Port);
  const int Fd = ::open(Pty.SlavePath().c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
  EXPECT_GE(Fd, 0) << "closing clears the exclusive mode";
  ::close(Fd);
}

TEST_F(PosixOpen, ThousandOpenCloseCyclesLeakNoDescriptor) {
  const int Before = CountOpenFds();
  for (int I = 0; I < 1000; ++I) {
    const TSioHandle Port = Backend->OpenPort(Pty.SlavePath());
    ASSERT_NE(Port, kInvalidSioHandle) << "cycle " << I << ": " << Backend->LastError();
    Backend->ClosePort(Port);
  }
  EXPECT_EQ(CountOpenFds(), Before);
}

TEST_F(PosixOpen, OperationsOnAClosedHandleFail) {
  const TSioHandle Port = Backend->OpenPort(Pty.SlavePath());
  ASSERT_NE(Port, kInvalidSioHandle);
  Backend->ClosePort(Port);
  TSioDCB Dcb;
  TSioPortStatus Status;
  EXPECT_FALSE(Backend->GetCommState(Port, Dcb));
  EXPECT_EQ(Backend->LastError(), static_cast<std::uint32_t>(EBADF));
  EXPECT_FALSE(Backend->ClearCommError(Port, Status));
  EXPECT_FALSE(Backend->SetCommMask(Port, kEvRxChar));
}

TEST_F(PosixOpen, PlatformFacts) {
  EXPECT_EQ(Backend->PlatformId(), 0) << "the device path is the plain device name";
  std::vector<std::string> Names;
  Backend->RegistryPortNames(Names);
  EXPECT_TRUE(Names.empty());
  EXPECT_EQ(Backend->SystemErrorText(EACCES), "Permission denied");
}

}  // namespace

}  // namespace vantor
