// The main window as its stored description builds it, on real windows.
#include <windows.h>

#include <string>

#include "tests/controller/scripted_port.h"
#include "tests/framework/win32/win32_test_support.h"
#include "ui/description/microphone_settings_form_description.h"

namespace vantor {

namespace {

class MainWindowWin32Test : public ::testing::Test {
 protected:
  void SetUp() override {
    Form = App->CreateForm<TMicrophoneSettingsForm>(
        [](TMicrophoneSettingsForm& F) {
          LoadMicrophoneSettingsForm(F, *F.MakeOwned<TScriptedPort>());
        },
        [] { return std::unique_ptr<TPortEntryList>(); });
    Form->Show();
    App->ProcessMessages();
  }

  std::unique_ptr<TApplication> App = MakeWin32Application({});
  TMicrophoneSettingsForm* Form = nullptr;
};

// Position and size as "left,top widthxheight": a control's window in its form's client
// coordinates, or the bounds given.
std::string Shown(const TControl& Control) {
  HWND Window = WindowHandle(Control);
  RECT Box{};
  ::GetWindowRect(Window, &Box);
  ::MapWindowPoints(nullptr, ::GetParent(Window), reinterpret_cast<POINT*>(&Box), 2);
  return std::to_string(Box.left) + "," + std::to_string(Box.top) + " " +
         std::to_string(Box.right - Box.left) + "x" + std::to_string(Box.bottom - Box.top);
}
std::string Bounds(int Left, int Top, int Width, int Height) {
  return std::to_string(Left) + "," + std::to_string(Top) + " " + std::to_string(Width) + "x" +
         std::to_string(Height);
}
std::string Bounds(const TControl& Control) {
  return Bounds(Control.Left(), Control.Top(), Control.Width(), Control.Height());
}

// Whatever height its font would give it (at 144 dots per inch it grew into the Save
// button), the bar has the bounds it is loaded with, in the system's status font.
TEST_F(MainWindowWin32Test, TheStatusBarHasItsStoredBoundsAndTheSystemsStatusFont) {
  const TStatusBar& Bar = *Form->StatusBar1;
  EXPECT_EQ(Shown(Bar), Bounds(Bar));
  EXPECT_LE(Form->btSave->Top() + Form->btSave->Height(), Bar.Top());

  NONCLIENTMETRICSW Metrics{};
  Metrics.cbSize = sizeof(Metrics);
  ASSERT_TRUE(::SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(Metrics), &Metrics, 0));
  LOGFONTW Font{};
  const auto Handle = reinterpret_cast<HFONT>(::SendMessageW(WindowHandle(Bar), WM_GETFONT, 0, 0));
  ASSERT_NE(::GetObjectW(Handle, sizeof(Font), &Font), 0);
  EXPECT_EQ(Font.lfHeight, Metrics.lfStatusFont.lfHeight);
  EXPECT_STREQ(Font.lfFaceName, Metrics.lfStatusFont.lfFaceName);
}

// Docked to the bottom edge: a maximised window has the bar, as high as stored, along
// its bottom; restored, the bar is back where it was loaded.
TEST_F(MainWindowWin32Test, TheStatusBarFollowsTheBottomEdgeOfAMaximisedWindow) {
  const TStatusBar& Bar = *Form->StatusBar1;
  const std::string Loaded = Bounds(Bar);
  HWND Window = WindowHandle(*Form);
  ::ShowWindow(Window, SW_MAXIMIZE);
  App->ProcessMessages();
  RECT Client{};
  ::GetClientRect(Window, &Client);
  ASSERT_GT(Client.bottom, 289);
  EXPECT_EQ(Shown(Bar), Bounds(0, Client.bottom - 19, Client.right, 19));
  ::ShowWindow(Window, SW_RESTORE);
  App->ProcessMessages();
  EXPECT_EQ(Shown(Bar), Loaded);
}

}  // namespace

}  // namespace vantor
