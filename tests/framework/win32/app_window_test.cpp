#include <windows.h>
#include <dbt.h>

#include <atomic>

#include "framework/thread.h"
#include "tests/framework/body_thread.h"
#include "win32_test_support.h"

namespace vantor {

namespace {

TEST_F(Win32Test, TheApplicationWindowIsAHiddenTopLevelWindowWithoutTaskbarButton) {
  HWND Window = AppWindowHandle();
  ASSERT_NE(Window, nullptr);
  EXPECT_EQ(::GetAncestor(Window, GA_PARENT), ::GetDesktopWindow());
  EXPECT_EQ(::GetWindowLongW(Window, GWL_STYLE) & WS_VISIBLE, 0);
  EXPECT_NE(::GetWindowLongW(Window, GWL_EXSTYLE) & WS_EX_TOOLWINDOW, 0);
}

TEST_F(Win32Test, HooksReceiveADeviceBroadcastSentFromAnotherThreadDuringWaitFor) {
  std::atomic<int> Seen{0};
  std::wstring Port;
  App->HookMainWindow(this, [&](TMessage& M) {
    if (M.Msg == WM_DEVICECHANGE && M.WParam == DBT_DEVICEREMOVECOMPLETE) {
      ++Seen;
      const auto* Header = reinterpret_cast<const DEV_BROADCAST_HDR*>(M.LParam);
      if (Header && Header->dbch_devicetype == DBT_DEVTYP_PORT) {
        Port = reinterpret_cast<const DEV_BROADCAST_PORT_W*>(Header)->dbcp_name;
      }
    }
    return false;
  });
  TBodyThread Sender([](TBodyThread&) {
    struct {
      DEV_BROADCAST_PORT_W Header;
      wchar_t Name[8];
    } Record{};
    Record.Header.dbcp_size = sizeof(Record);
    Record.Header.dbcp_devicetype = DBT_DEVTYP_PORT;
    ::lstrcpyW(Record.Header.dbcp_name, L"COM9");
    DWORD_PTR Result = 0;
    ::SendMessageTimeoutW(HWND_BROADCAST, WM_DEVICECHANGE, DBT_DEVICEREMOVECOMPLETE,
                          reinterpret_cast<LPARAM>(&Record), SMTO_ABORTIFHUNG, 10000, &Result);
  });
  Sender.Start();
  // The broadcast is a sent message: the main thread must handle it inside WaitFor.
  Sender.WaitFor();
  EXPECT_EQ(Seen.load(), 1);
  EXPECT_EQ(Port, L"COM9");
}

TEST_F(Win32Test, WaitForServesAMessageSentToTheWindowAndASynchronizeCall) {
  int Handled = 0;
  bool Synchronised = false;
  App->HookMainWindow(this, [&](TMessage& M) {
    if (M.Msg != WM_USER + 7)
      return false;
    ++Handled;
    M.Result = 1234;
    return true;
  });
  LRESULT Result = 0;
  HWND Window = AppWindowHandle();
  TBodyThread Worker([&](TBodyThread&) {
    Result = ::SendMessageW(Window, WM_USER + 7, 0, 0);
    TThread::Synchronize(nullptr, [&] { Synchronised = true; });
  });
  Worker.Start();
  Worker.WaitFor();
  EXPECT_EQ(Handled, 1);
  EXPECT_EQ(Result, 1234);
  EXPECT_TRUE(Synchronised);
}

TEST_F(Win32Test, TheLoopServesSynchronizeAndEndsOnTerminate) {
  bool Ran = false;
  TBodyThread Worker([&](TBodyThread&) {
    TThread::Synchronize(nullptr, [&] {
      Ran = TThread::IsMainThread();
      Application()->Terminate();
    });
  });
  Worker.Start();
  App->Run();
  Worker.WaitFor();
  EXPECT_TRUE(Ran);
}

TEST_F(Win32Test, ExeNameIsThePathOfTheRunningProgram) {
  const std::string Name = App->ExeName();
  EXPECT_NE(Name.find("framework_win32_tests.exe"), std::string::npos) << Name;
  EXPECT_EQ(App->Title(), "framework_win32_tests");  // the first character stays
}

}  // namespace

}  // namespace vantor
