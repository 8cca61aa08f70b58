// The main window as its stored description builds it, on real windows.
#include <windows.h>

#include <string>

#include "tests/support/scripted_port.h"
#include "tests/framework/win32/win32_test_support.h"
#include "ui/description/microphone_settings_form_description.h"

namespace vantor {

namespace {

std::string Geometry(int Left, int Top, int Width, int Height) {
  return std::to_string(Left) + "," + std::to_string(Top) + " " + std::to_string(Width) + "x" +
         std::to_string(Height);
}
// Where the control's window is, in its form's client area.
std::string Shown(const TControl& Control) {
  RECT Box{};
  ::GetWindowRect(WindowHandle(Control), &Box);
  ::MapWindowPoints(nullptr, ::GetParent(WindowHandle(Control)), reinterpret_cast<POINT*>(&Box), 2);
  return Geometry(Box.left, Box.top, Box.right - Box.left, Box.bottom - Box.top);
}

// Whatever height its font would give it (at 144 dots per inch it grew into the Save
// button), the bar keeps the bounds it is loaded with, in the system's status font, and
// stays docked to the bottom edge when the window is maximised.
TEST(MainWindowWin32Test, TheStatusBarHasItsStoredBoundsAndTheSystemsStatusFont) {
  const auto App = MakeWin32Application({});
  auto* Form = App->CreateForm<TMicrophoneSettingsForm>(
      [](TMicrophoneSettingsForm& F) {
        LoadMicrophoneSettingsForm(F, *F.MakeOwned<TScriptedPort>());
      },
      [] { return std::unique_ptr<TPortEntryList>(); });
  Form->Show();
  App->ProcessMessages();
  const TStatusBar& Bar = *Form->StatusBar1;
  const std::string Loaded = Geometry(Bar.Left(), Bar.Top(), Bar.Width(), Bar.Height());
  EXPECT_EQ(Shown(Bar), Loaded);
  EXPECT_LE(Form->btSave->Top() + Form->btSave->Height(), Bar.Top());

  NONCLIENTMETRICSW Metrics{};
  Metrics.cbSize = sizeof(Metrics);
  ::SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(Metrics), &Metrics, 0);
  LOGFONTW Font{};
  ::GetObjectW(reinterpret_cast<HFONT>(::SendMessageW(WindowHandle(Bar), WM_GETFONT, 0, 0)),
               sizeof(Font), &Font);
  EXPECT_EQ(Font.lfHeight, Metrics.lfStatusFont.lfHeight);
  EXPECT_STREQ(Font.lfFaceName, Metrics.lfStatusFont.lfFaceName);

  ::ShowWindow(WindowHandle(*Form), SW_MAXIMIZE);
  App->ProcessMessages();
  RECT Client{};
  ::GetClientRect(WindowHandle(*Form), &Client);
  EXPECT_EQ(Shown(Bar), Geometry(0, Client.bottom - 19, Client.right, 19));
  ::ShowWindow(WindowHandle(*Form), SW_RESTORE);
  App->ProcessMessages();
  EXPECT_EQ(Shown(Bar), Loaded);
}

}  // namespace

}  // namespace vantor
