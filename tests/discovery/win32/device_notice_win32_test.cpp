// Device notices under Wine: broadcast-device.exe, run as its own process, reaches the
// application's hidden top-level window and its hooks with the port record intact.
// The wrapper names the tool's Windows path in DISCOVERY_BROADCAST_TOOL.
#include <windows.h>
#include <dbt.h>

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "framework/win32/win32_application.h"
#include "serial/sio_comm.h"

namespace vantor {

namespace {

std::wstring BroadcastTool() {
  wchar_t Path[MAX_PATH] = {};
  const DWORD Length = GetEnvironmentVariableW(L"DISCOVERY_BROADCAST_TOOL", Path, MAX_PATH);
  return Length > 0 && Length < MAX_PATH ? Path : L"";
}

// Runs the tool and keeps handling messages until it has ended: the broadcast is sent,
// and only returns, once every top-level window has handled it.
DWORD Broadcast(const std::wstring& What, const std::wstring& Name) {
  std::wstring Command = L"\"" + BroadcastTool() + L"\" " + What + L" " + Name;
  STARTUPINFOW Startup{};
  Startup.cb = sizeof Startup;
  PROCESS_INFORMATION Process{};
  if (!CreateProcessW(nullptr, Command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                      &Startup, &Process)) {
    return ~DWORD{0};
  }
  CloseHandle(Process.hThread);
  while (MsgWaitForMultipleObjects(1, &Process.hProcess, FALSE, INFINITE, QS_ALLINPUT) !=
         WAIT_OBJECT_0) {
    Application()->ProcessMessages();
  }
  Application()->ProcessMessages();
  DWORD Code = 0;
  GetExitCodeProcess(Process.hProcess, &Code);
  CloseHandle(Process.hProcess);
  return Code;
}

struct TNotice {
  std::uintptr_t Event;
  std::wstring Name;
  bool operator==(const TNotice&) const = default;
};

class WineDeviceNotice : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_FALSE(BroadcastTool().empty()) << "run through run_discovery_win32_tests.sh";
    ASSERT_NE(AppWindowHandle(), nullptr);
    App->HookMainWindow(this, [this](TMessage& Message) {
      if (Message.Msg != WM_DEVICECHANGE ||
          (Message.WParam != DBT_DEVICEARRIVAL && Message.WParam != DBT_DEVICEREMOVECOMPLETE)) {
        return false;
      }
      const auto* Header = reinterpret_cast<const DEV_BROADCAST_HDR*>(Message.LParam);
      if (Header && Header->dbch_devicetype == DBT_DEVTYP_PORT) {
        Seen.push_back(
            {Message.WParam, reinterpret_cast<const DEV_BROADCAST_PORT_W*>(Header)->dbcp_name});
      }
      return false;
    });
  }
  void TearDown() override { App->UnhookMainWindow(this); }

  std::unique_ptr<TApplication> App = MakeWin32Application({});
  std::vector<TNotice> Seen;
};

TEST_F(WineDeviceNotice, ArrivalAndRemovalReachTheHooksWithThePortName) {
  ASSERT_EQ(Broadcast(L"arrival", L"COM3"), 0u);
  ASSERT_EQ(Broadcast(L"removal", L"COM123"), 0u);
  EXPECT_EQ(Seen, (std::vector<TNotice>{{DBT_DEVICEARRIVAL, L"COM3"},
                                        {DBT_DEVICEREMOVECOMPLETE, L"COM123"}}));
}

TEST_F(WineDeviceNotice, TheSerialComponentReportsUnplugAndPluginByName) {
  TSioComm Comport(nullptr);
  std::vector<std::string> Unplugged, Plugged;
  std::vector<bool> OpenAtUnplug;
  Comport.SetOnUSBDeviceUnplug([&](TObject*, const std::string& Name) {
    Unplugged.push_back(Name);
    OpenAtUnplug.push_back(Comport.Active());
  });
  Comport.SetOnUSBDevicePlugin([&](TObject*, const std::string& Name) { Plugged.push_back(Name); });
  Comport.SetDeviceName("COM3");
  Comport.Open();
  ASSERT_TRUE(Comport.Active());
  ASSERT_EQ(Broadcast(L"removal", L"COM3"), 0u);  // its own port, open
  EXPECT_TRUE(Comport.Active()) << "the handler decides whether to close";
  Comport.Close();
  ASSERT_EQ(Broadcast(L"removal", L"COM12"), 0u);  // another port, own port closed
  ASSERT_EQ(Broadcast(L"arrival", L"COM4"), 0u);
  EXPECT_EQ(Unplugged, (std::vector<std::string>{"COM3", "COM12"}));
  EXPECT_EQ(OpenAtUnplug, (std::vector<bool>{true, false}));
  EXPECT_EQ(Plugged, std::vector<std::string>{"COM4"});
}

}  // namespace

}  // namespace vantor
