// The Qt backend's loop: message boxes, the failure box, timers, Synchronize, messages
// sent to the application, and what TThread::WaitFor serves and holds back.
#include <gtest/gtest.h>

#include <QApplication>

#include <atomic>
#include <thread>

#include "base/device_change.h"
#include "framework/dialogs.h"
#include "framework/thread.h"
#include "framework/timer.h"
#include "tests/framework/body_thread.h"
#include "tests/framework/qt/qt_test_support.h"

namespace vantor {

namespace {

class QtApplicationTest : public ::testing::Test {
 protected:
  std::unique_ptr<TApplication> App = MakeTestApplication();
};

TEST_F(QtApplicationTest, TheErrorBoxHasCaptionErrorTheErrorIconTwoLinesAndOneCancel) {
  TBoxCloser Closer;
  ErrorBox("Key not supported!\r\nSelect key F1 - F12");
  ASSERT_TRUE(Closer.Closed());  // Escape closed it, and ErrorBox returned
  EXPECT_EQ(Closer.Box().Caption, "Error");
  EXPECT_EQ(Closer.Box().Text, "Key not supported!\nSelect key F1 - F12");
  EXPECT_EQ(Closer.Box().Icon, QMessageBox::Critical);
  EXPECT_EQ(Closer.Box().Buttons, std::vector<std::string>{"Cancel"});
}

TEST_F(QtApplicationTest, TheNoticeBoxIsCaptionedWithTheTitleHasNoIconAndOneOkAndCopyableText) {
  TBoxCloser Closer;
  NoticeBox("Unexpected reply");
  ASSERT_TRUE(Closer.Closed());
  EXPECT_EQ(Closer.Box().Caption, App->Title());
  EXPECT_EQ(App->Title(), "framework_qt_tests");
  EXPECT_EQ(Closer.Box().Icon, QMessageBox::NoIcon);
  EXPECT_EQ(Closer.Box().Buttons, std::vector<std::string>{"OK"});
  EXPECT_TRUE(Closer.Box().TextSelectable);
}

TEST_F(QtApplicationTest, AFailureInATickShowsTheFailureBoxAndTheLoopGoesOn) {
  TTimer Timer(nullptr);
  Timer.SetInterval(5);
  int Ticks = 0;
  Timer.OnTimer = [&](TObject*) {
    if (++Ticks == 1)
      throw Exception("The port has gone");
  };
  TBoxCloser Closer;
  ASSERT_TRUE(ProcessUntil([&] { return Closer.Closed() && Ticks >= 3; }));
  EXPECT_EQ(Closer.Box().Caption, App->Title());
  EXPECT_EQ(Closer.Box().Text, "The port has gone.");
  EXPECT_EQ(Closer.Box().Icon, QMessageBox::Critical);
  EXPECT_EQ(Closer.Box().Buttons, std::vector<std::string>{"OK"});
}

TEST_F(QtApplicationTest, ATickMayStopRestartOrFreeItsOwnTimer) {
  TTimer Stopping(nullptr);
  Stopping.SetInterval(2);
  int StopTicks = 0;
  Stopping.OnTimer = [&](TObject*) {
    ++StopTicks;
    Stopping.SetEnabled(false);
  };
  auto Freed = std::make_unique<TTimer>(nullptr);
  Freed->SetInterval(2);
  int FreeTicks = 0;
  Freed->OnTimer = [&](TObject*) {
    ++FreeTicks;
    Freed.reset();
  };
  TTimer Restarting(nullptr);
  Restarting.SetInterval(2);
  int RestartTicks = 0;
  Restarting.OnTimer = [&](TObject*) {
    ++RestartTicks;
    Restarting.SetInterval(RestartTicks % 2 ? 3 : 2);
  };
  ASSERT_TRUE(ProcessUntil([&] { return RestartTicks >= 5; }));
  EXPECT_EQ(StopTicks, 1);
  EXPECT_EQ(FreeTicks, 1);
  EXPECT_EQ(Freed, nullptr);
}

TEST_F(QtApplicationTest, SynchronizeRunsOnTheMainThreadFromTheLoopUntilTerminate) {
  const auto Main = std::this_thread::get_id();
  int Ran = 0;
  TBodyThread Worker([&](TBodyThread& Self) {
    for (int I = 0; I < 3; ++I) {
      Self.Synchronize([&] {
        EXPECT_EQ(std::this_thread::get_id(), Main);
        ++Ran;
      });
    }
    Self.Synchronize([&] { App->Terminate(); });
  });
  Worker.Start();
  App->Run();  // no form: only the loop, until the thread ends it
  EXPECT_EQ(Ran, 3);
  EXPECT_TRUE(App->Terminated());
}

TEST_F(QtApplicationTest, WaitForServesSynchronizeAndSentMessagesButHoldsBackTimers) {
  TTimer Timer(nullptr);
  Timer.SetInterval(1);
  std::atomic<int> Ticks{0};
  Timer.OnTimer = [&](TObject*) { ++Ticks; };
  ASSERT_TRUE(ProcessUntil([&] { return Ticks > 0; }));

  std::vector<std::uint32_t> Hooked;
  App->HookMainWindow(this, [&](TMessage& Message) {
    EXPECT_TRUE(App->IsMainThread());
    Hooked.push_back(Message.Msg);
    return false;
  });
  bool Synchronized = false;
  TBodyThread Worker([&](TBodyThread& Self) {
    std::this_thread::sleep_for(std::chrono::milliseconds(30));
    Self.Synchronize([&] { Synchronized = true; });
    TMessage Message{kWmDeviceChange, kDbtDeviceRemoveComplete, 0, 0};
    App->SendAppMessage(Message);
    std::this_thread::sleep_for(std::chrono::milliseconds(30));
  });
  Worker.Start();
  const int TicksBefore = Ticks;
  Worker.WaitFor();
  EXPECT_EQ(Ticks, TicksBefore);  // no tick inside the wait
  EXPECT_TRUE(Synchronized);
  EXPECT_EQ(Hooked, std::vector<std::uint32_t>{kWmDeviceChange});
  ASSERT_TRUE(ProcessUntil([&] { return Ticks > TicksBefore; }));  // they come afterwards
  App->UnhookMainWindow(this);
}

TEST_F(QtApplicationTest, WhileABoxIsOpenTimersTickAndSynchronizeIsServed) {
  TTimer Timer(nullptr);
  Timer.SetInterval(2);
  int Ticks = 0;
  Timer.OnTimer = [&](TObject*) { ++Ticks; };
  bool Synchronized = false;
  std::unique_ptr<TBodyThread> Worker;
  TBoxCloser Closer([&] {
    Worker = std::make_unique<TBodyThread>(
        [&](TBodyThread& Self) { Self.Synchronize([&] { Synchronized = true; }); });
    Worker->Start();
    const int Before = Ticks;
    EXPECT_TRUE(ProcessUntil([&] { return Synchronized && Ticks > Before + 2; }));
  });
  ErrorBox("This function key is already selected");
  EXPECT_TRUE(Closer.Closed());
  EXPECT_TRUE(Synchronized);
  Worker.reset();
}

}  // namespace

}  // namespace vantor
