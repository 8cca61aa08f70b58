// The main window as its stored description builds it, on real windows.
#include <windows.h>
#include <oleacc.h>

#include <string>

#include "base/utf.h"
#include "framework/backend.h"
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

// The window from its stored description, shown, over a scripted port and no candidates.
class MainWindowWin32Test : public ::testing::Test {
 protected:
  MainWindowWin32Test() {
    Form->Show();
    App->ProcessMessages();
  }

  const std::unique_ptr<TApplication> App = MakeWin32Application({});
  TMicrophoneSettingsForm* Form = App->CreateForm<TMicrophoneSettingsForm>(
      [](TMicrophoneSettingsForm& F) {
        LoadMicrophoneSettingsForm(F, *F.MakeOwned<TScriptedPort>());
      },
      [] { return std::unique_ptr<TPortEntryList>(); });
};

// Whatever height its font would give it (at 144 dots per inch it grew into the Save
// button), the bar keeps the bounds it is loaded with, in the system's status font, and
// stays docked to the bottom edge when the window is maximised.
TEST_F(MainWindowWin32Test, TheStatusBarHasItsStoredBoundsAndTheSystemsStatusFont) {
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

// An accessible object of a window's client area, released when it goes. (The id from the
// header's declaration: mingw's oleacc import library has a symbol of the name that is no
// GUID.)
struct TAccessible {
  explicit TAccessible(HWND Window) {
    ::AccessibleObjectFromWindow(Window, static_cast<DWORD>(OBJID_CLIENT), __uuidof(IAccessible),
                                 reinterpret_cast<void**>(&Object));
  }
  explicit TAccessible(HWND Window, bool /*Standard*/) {
    ::CreateStdAccessibleObject(Window, OBJID_CLIENT, __uuidof(IAccessible),
                                reinterpret_cast<void**>(&Object));
  }
  ~TAccessible() {
    if (Object)
      Object->Release();
  }
  TAccessible(const TAccessible&) = delete;
  TAccessible& operator=(const TAccessible&) = delete;

  // The name of child Child, "(none)" when there is none, "(failed)" when the call fails.
  std::string Name(long Child = CHILDID_SELF) const {
    VARIANT Which{};
    Which.vt = VT_I4;
    Which.lVal = Child;
    BSTR Text = nullptr;
    if (FAILED(Object->get_accName(Which, &Text)))
      return "(failed)";
    std::string Result = Text ? Narrow(Text) : "(none)";
    ::SysFreeString(Text);
    return Result;
  }
  long Role() const {
    VARIANT Which{};
    Which.vt = VT_I4;
    Which.lVal = CHILDID_SELF;
    VARIANT Role{};
    return SUCCEEDED(Object->get_accRole(Which, &Role)) && Role.vt == VT_I4 ? Role.lVal : -1;
  }
  long Children() const {
    long Count = -1;
    return SUCCEEDED(Object->get_accChildCount(&Count)) ? Count : -1;
  }

  IAccessible* Object = nullptr;
};

// No label stands beside the fields: a screen reader hears the names the window gives
// through the system's accessibility interface, with everything else the system's own.
TEST_F(MainWindowWin32Test, EveryControlHasItsAccessibleNameWithTheSystemsRoleKept) {
  const std::pair<const TControl*, const char*> Named[] = {
      {Form->hkKey1, "Centre button key"},
      {Form->hkKey2, "Left button key"},
      {Form->hkKey3, "Right button key"},
      {Form->cbKey1, "Centre button on"},
      {Form->cbKey2, "Left button on"},
      {Form->cbKey3, "Right button on"},
      {Form->cbMuteWhenPTT, "Mute when not push-to-talk"},  // hidden, but it is there
      {Form->btSave, "Save"},
      {Form->StatusBar1, "Status"},
  };
  for (const auto& [Control, Name] : Named) {
    const TAccessible Object(WindowHandle(*Control));
    ASSERT_NE(Object.Object, nullptr) << Name;
    EXPECT_EQ(Object.Name(), Name);
    EXPECT_EQ(Object.Role(), TAccessible(WindowHandle(*Control), true).Role()) << Name;
  }

  // The panels are the bar's children, read as they stand now.
  TStatusBar& Bar = *Form->StatusBar1;
  const TAccessible Panels(WindowHandle(Bar));
  EXPECT_EQ(Panels.Children(), 5);
  Bar.SetPanelText(1, "Connected");
  Bar.SetPanelText(3, "1.4");
  EXPECT_EQ(Panels.Name(1), "Status :");
  EXPECT_EQ(Panels.Name(2), "Connection: Connected");
  EXPECT_EQ(Panels.Name(3), "Version : ");
  EXPECT_EQ(Panels.Name(4), "Firmware version: 1.4");
  Bar.SetPanelText(4, "");
  EXPECT_EQ(Panels.Name(5), "Last save");

  // An object a screen reader still holds once the control's window has gone answers as
  // the system does for a window that is gone, and reaches nothing freed.
  const TAccessible Held(WindowHandle(*Form->cbKey2));
  Form->cbKey2->SetPeer(nullptr);
  EXPECT_NE(Held.Name(), "Left button on");
}

}  // namespace

}  // namespace vantor
