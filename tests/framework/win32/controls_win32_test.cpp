#include <windows.h>
#include <commctrl.h>

#include "win32_test_support.h"

namespace vantor {

namespace {

class Win32FormTest : public Win32Test {
 protected:
  void SetUp() override {
    Form = App->CreateForm<TForm>();
    Form->SetCaption("Framework test window");
    Form->SetClientSize(330, 289);
    Box = Add<TCheckBox>(100, 199, 15, 17, 1);
    Hidden = Add<TCheckBox>(162, 235, 19, 17, 3);
    Hidden->SetVisible(false);
    Field = Add<THotKey>(60, 199, 35, 22, 6);
    Field->SetInvalidKeys(HKInvalidBit(hcShiftCtrl) | HKInvalidBit(hcShiftAlt) |
                          HKInvalidBit(hcCtrlAlt) | HKInvalidBit(hcShiftCtrlAlt));
    Field->SetModifiers(0);
    Field->SetHotKey(113);
    Field->OnChange = [this](TObject*) { ++Changes; };
    Save = Add<TButton>(210, 227, 78, 33, 4);
    Save->SetCaption("Save");
    Bar = Form->MakeOwned<TStatusBar>();
    Bar->SetBounds(0, 270, 330, 19);
    Bar->AddPanel({50, taCenter, pbNone, "Status :", ""});
    Bar->AddPanel({100, taLeftJustify, pbLowered, "", ""});
    Bar->AddPanel({55, taLeftJustify, pbLowered, "Version : ", ""});
    Bar->AddPanel({55, taLeftJustify, pbLowered, "", ""});
    Bar->AddPanel({50, taCenter, pbLowered, "", ""});
    Form->Show();
    App->ProcessMessages();
  }
  template <class T>
  T* Add(int L, int T0, int W, int H, int Tab) {
    auto* Control = Form->MakeOwned<T>();
    Control->SetBounds(L, T0, W, H);
    Control->SetTabOrder(Tab);
    return Control;
  }
  std::wstring PanelText(int Index) {
    wchar_t Buffer[128] = {};
    ::SendMessageW(WindowHandle(*Bar), SB_GETTEXTW, static_cast<WPARAM>(Index),
                   reinterpret_cast<LPARAM>(Buffer));
    return Buffer;
  }
  TForm* Form = nullptr;
  TCheckBox* Box = nullptr;
  TCheckBox* Hidden = nullptr;
  THotKey* Field = nullptr;
  TButton* Save = nullptr;
  TStatusBar* Bar = nullptr;
  int Changes = 0;
};

TEST_F(Win32FormTest, TheFormIsAFixedWindowWithItsOwnTaskbarButtonCentredOnTheWorkArea) {
  HWND Window = WindowHandle(*Form);
  ASSERT_NE(Window, nullptr);
  const LONG Style = ::GetWindowLongW(Window, GWL_STYLE);
  EXPECT_NE(Style & WS_MINIMIZEBOX, 0);
  EXPECT_NE(Style & WS_SYSMENU, 0);
  EXPECT_EQ(Style & WS_MAXIMIZEBOX, 0);
  EXPECT_EQ(Style & WS_THICKFRAME, 0);
  EXPECT_NE(::GetWindowLongW(Window, GWL_EXSTYLE) & WS_EX_APPWINDOW, 0);
  EXPECT_EQ(::GetWindow(Window, GW_OWNER), nullptr);
  RECT Client;
  ::GetClientRect(Window, &Client);
  EXPECT_EQ(Client.right, 330);
  EXPECT_EQ(Client.bottom, 289);
  RECT Outer;
  ::GetWindowRect(Window, &Outer);
  MONITORINFO Info{};
  Info.cbSize = sizeof(Info);
  ::GetMonitorInfoW(::MonitorFromWindow(Window, MONITOR_DEFAULTTONEAREST), &Info);
  EXPECT_GE(Outer.left, Info.rcWork.left);
  EXPECT_GE(Outer.top, Info.rcWork.top);
  EXPECT_LE(std::abs((Outer.left - Info.rcWork.left) - (Info.rcWork.right - Outer.right)), 1);
  wchar_t Caption[64] = {};
  ::GetWindowTextW(Window, Caption, 64);
  EXPECT_STREQ(Caption, L"Framework test window");
}

// The window, and with it its taskbar button, shows the executable's icon.
TEST_F(Win32FormTest, TheFormShowsTheExecutablesIcon) {
  HWND Window = WindowHandle(*Form);
  EXPECT_NE(::SendMessageW(Window, WM_GETICON, ICON_BIG, 0), 0);
  EXPECT_NE(::SendMessageW(Window, WM_GETICON, ICON_SMALL, 0), 0);
}

TEST_F(Win32FormTest, TheFieldIsARealHotKeyControlThatTakesF5AndReportsTheChange) {
  HWND Control = WindowHandle(*Field);
  wchar_t Class[64] = {};
  ::GetClassNameW(Control, Class, 64);
  EXPECT_STREQ(Class, HOTKEY_CLASSW);
  EXPECT_EQ(::SendMessageW(Control, HKM_GETHOTKEY, 0, 0), 113);
  ::SetFocus(Control);
  PostKey(Control, VK_F5);
  App->ProcessMessages();
  EXPECT_EQ(Field->HotKey(), 116);
  EXPECT_GE(Changes, 1);
}

TEST_F(Win32FormTest, ShiftOrAltWithF5ReadBackWithTheirFlags) {
  const struct {
    UINT Modifier;
    TShortCut Value;
  } Cases[] = {{VK_SHIFT, 0x2074}, {VK_MENU, 0x8074}};
  HWND Control = WindowHandle(*Field);
  ::SetFocus(Control);
  for (const auto& Case : Cases) {
    // Keys as the system delivers them: the modifier goes down first (Alt as a system
    // key, with the context bit), and stays in the thread's key state meanwhile.
    const bool Alt = Case.Modifier == VK_MENU;
    const UINT Down = Alt ? WM_SYSKEYDOWN : WM_KEYDOWN, Up = Alt ? WM_SYSKEYUP : WM_KEYUP;
    const LPARAM Context = Alt ? (1 << 29) : 0;
    BYTE Keys[256] = {};
    Keys[Case.Modifier] = 0x80;
    ::SetKeyboardState(Keys);
    ::SendMessageW(Control, Down, Case.Modifier, 1 | Context);
    ::SendMessageW(Control, Down, VK_F5, 1 | Context);
    ::SendMessageW(Control, Up, VK_F5, 1 | Context | (3u << 30));
    Keys[Case.Modifier] = 0;
    ::SetKeyboardState(Keys);
    ::SendMessageW(Control, Up, Case.Modifier, 1 | (3u << 30));
    App->ProcessMessages();
    EXPECT_EQ(Field->HotKey(), Case.Value) << Case.Modifier;
  }
}

TEST_F(Win32FormTest, WritingTheFieldRaisesNoChangeAnd252ReadsBack) {
  Field->SetHotKey(252);
  App->ProcessMessages();
  EXPECT_EQ(Field->HotKey(), 252);
  EXPECT_EQ(::SendMessageW(WindowHandle(*Field), HKM_GETHOTKEY, 0, 0), 252);
  Field->SetHotKey(0x1F00 | 0x2000 | 116);  // bits 8 to 12 never reach the control
  EXPECT_EQ(::SendMessageW(WindowHandle(*Field), HKM_GETHOTKEY, 0, 0), 0x0174);
  EXPECT_EQ(Field->HotKey(), 0x2074);
  App->ProcessMessages();
  EXPECT_EQ(Changes, 0);
}

TEST_F(Win32FormTest, ADisabledFieldIgnoresKeys) {
  Field->SetEnabled(false);
  EXPECT_FALSE(::IsWindowEnabled(WindowHandle(*Field)));
  PostKey(WindowHandle(*Field), VK_F5);
  App->ProcessMessages();
  EXPECT_EQ(Field->HotKey(), 113);
  EXPECT_EQ(Changes, 0);
}

TEST_F(Win32FormTest, TheStatusBarHasFivePartsToTheRightEdgeAndItsTexts) {
  HWND Status = WindowHandle(*Bar);
  int Edges[5] = {};
  ASSERT_EQ(::SendMessageW(Status, SB_GETPARTS, 5, reinterpret_cast<LPARAM>(Edges)), 5);
  EXPECT_EQ(Edges[0], 50);
  EXPECT_EQ(Edges[1], 150);
  EXPECT_EQ(Edges[2], 205);
  EXPECT_EQ(Edges[3], 260);
  EXPECT_EQ(Edges[4], -1);
  EXPECT_EQ(::GetWindowLongW(Status, GWL_STYLE) & SBARS_SIZEGRIP, 0);
  EXPECT_EQ(PanelText(0), L"\tStatus :");  // a leading tab centres it
  EXPECT_EQ(PanelText(2), L"Version : ");
  const LRESULT Panel0 = ::SendMessageW(Status, SB_GETTEXTLENGTHW, 0, 0);
  EXPECT_NE(HIWORD(Panel0) & SBT_NOBORDERS, 0);
  Bar->SetPanelText(1, "Not connected");
  EXPECT_EQ(PanelText(1), L"Not connected");
}

TEST_F(Win32FormTest, AClickOnTheCheckBoxTogglesItAndFiresOnClick) {
  int Clicks = 0;
  Box->OnClick = [&](TObject*) { ++Clicks; };
  ::SendMessageW(WindowHandle(*Box), BM_CLICK, 0, 0);
  App->ProcessMessages();
  EXPECT_TRUE(Box->Checked());
  EXPECT_EQ(Clicks, 1);
  Box->SetChecked(false);  // from code: the control follows, one more click event
  EXPECT_EQ(::SendMessageW(WindowHandle(*Box), BM_GETCHECK, 0, 0), BST_UNCHECKED);
  EXPECT_EQ(Clicks, 2);
}

TEST_F(Win32FormTest, TabMovesTheFocusInTabOrderSkippingHiddenControls) {
  ::SetFocus(WindowHandle(*Box));
  App->ProcessMessages();
  EXPECT_EQ(Form->ActiveControl(), Box);
  PostKey(WindowHandle(*Box), VK_TAB);
  App->ProcessMessages();
  EXPECT_EQ(::GetFocus(), WindowHandle(*Save));
  EXPECT_EQ(Form->ActiveControl(), Save);
  PostKey(WindowHandle(*Save), VK_TAB);
  App->ProcessMessages();
  EXPECT_EQ(Form->ActiveControl(), Field);
}

TEST_F(Win32FormTest, TheImageDrawsItsPictureOnePixelPerPixelOverTheBackground) {
  auto* Image = Form->MakeOwned<TImage>();
  Image->SetBounds(40, 20, 8, 8);
  // 2 x 1: opaque red, then half-transparent blue over the white form.
  Image->SetPicture(TBitmap32{2, 1, {0xFFFF0000u, 0x800000FFu}});
  Form->Show();  // a control made after the window gets its own when shown again
  HWND Window = WindowHandle(*Image);
  ASSERT_NE(Window, nullptr);
  ::RedrawWindow(Window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
  HDC Dc = ::GetDC(Window);
  const COLORREF Red = ::GetPixel(Dc, 0, 0), Blend = ::GetPixel(Dc, 1, 0),
                 Rest = ::GetPixel(Dc, 5, 5);
  ::ReleaseDC(Window, Dc);
  EXPECT_EQ(Red, RGB(255, 0, 0));
  EXPECT_EQ(Blend, RGB(127, 127, 255));
  EXPECT_EQ(Rest, RGB(255, 255, 255));
}

TEST_F(Win32FormTest, ClosingTheMainFormEndsTheApplication) {
  ::PostMessageW(WindowHandle(*Form), WM_CLOSE, 0, 0);
  App->Run();
  EXPECT_TRUE(App->Terminated());
  EXPECT_FALSE(::IsWindowVisible(WindowHandle(*Form)));
}

}  // namespace

}  // namespace vantor
