#include <algorithm>

#include "framework/dialogs.h"
#include "framework/timer.h"
#include "framework/win32/message_box.h"
#include "win32_test_support.h"

namespace vantor {

namespace {

struct TSeenBox {
  bool Found = false;
  std::vector<std::wstring> Texts;
};

bool Contains(const std::vector<std::wstring>& Texts, const std::wstring& Text) {
  return std::find(Texts.begin(), Texts.end(), Text) != Texts.end();
}

// Finds the box, notes what it shows, and presses its button.
void InspectAndPress(const std::wstring& Caption, const std::wstring& Button, TSeenBox& Seen,
                     DWORD MainThread) {
  HWND Box = WaitForWindow(Caption);
  if (!Box) {
    CloseWindowsOfThread(MainThread);
    return;
  }
  Seen.Found = true;
  Seen.Texts = ChildTexts(Box);
  HWND Pressed = FindChildWithText(Box, Button);
  const int Id = Pressed ? ::GetDlgCtrlID(Pressed) : BoxButtonId;
  ::PostMessageW(Box, WM_COMMAND, MAKEWPARAM(Id, BN_CLICKED), reinterpret_cast<LPARAM>(Pressed));
}

TEST_F(Win32Test, TheErrorBoxIsATaskDialogWithItsCaptionTextAndOneCancelButton) {
  TSeenBox Seen;
  const DWORD Main = ::GetCurrentThreadId();
  {
    TBackgroundActor Tester([&, Main] { InspectAndPress(L"Error", L"Cancel", Seen, Main); });
    ErrorBox("The key is not supported");
  }
  ASSERT_TRUE(Seen.Found);
  EXPECT_TRUE(Contains(Seen.Texts, L"The key is not supported"));
  EXPECT_TRUE(Contains(Seen.Texts, L"Cancel"));
  EXPECT_FALSE(Contains(Seen.Texts, L"OK"));
}

// A user closes the box with Escape or from its title bar as well as with its button.
TEST_F(Win32Test, EscapeAndTheTitleBarCloseTheErrorBox) {
  const DWORD Main = ::GetCurrentThreadId();
  for (const bool Escape : {true, false}) {
    bool Closed = false;
    {
      TBackgroundActor Tester([&, Main] {
        HWND Box = WaitForWindow(L"Error");
        if (!Box) {
          CloseWindowsOfThread(Main);
          return;
        }
        HWND Button = FindChildWithText(Box, L"Cancel");
        if (Escape)
          PostKey(Button, VK_ESCAPE);
        else
          ::PostMessageW(Box, WM_SYSCOMMAND, SC_CLOSE, 0);
        for (int Waited = 0; Waited < 5000 && ::IsWindow(Box); Waited += 10)
          ::Sleep(10);
        Closed = !::IsWindow(Box);
        if (!Closed)  // let the test end all the same
          ::PostMessageW(Box, WM_COMMAND, MAKEWPARAM(::GetDlgCtrlID(Button), BN_CLICKED),
                         reinterpret_cast<LPARAM>(Button));
      });
      ErrorBox("Select key F1 - F12");  // returns once the box has closed
    }
    EXPECT_TRUE(Closed) << (Escape ? "Escape" : "title bar");
  }
}

TEST_F(Win32Test, AFailureInATimerTickShowsTheFailureBoxAndTheLoopGoesOn) {
  TSeenBox Seen;
  const DWORD Main = ::GetCurrentThreadId();
  TTimer Timer(nullptr);
  Timer.SetInterval(20);
  int Ticks = 0;
  Timer.OnTimer = [&](TObject*) {
    if (++Ticks == 1)
      throw Exception("tick failed");
    Timer.SetEnabled(false);
    App->Terminate();
  };
  {
    TBackgroundActor Tester(
        [&, Main] { InspectAndPress(L"framework_win32_tests", L"OK", Seen, Main); });
    App->Run();
  }
  ASSERT_TRUE(Seen.Found);
  EXPECT_TRUE(Contains(Seen.Texts, L"tick failed."));
  EXPECT_TRUE(Contains(Seen.Texts, L"OK"));
  EXPECT_GE(Ticks, 2);
}

TEST_F(Win32Test, TheFallbackBoxShowsCaptionIconTextAndButtonAndClosesWithEscape) {
  TSeenBox Seen;
  const DWORD Main = ::GetCurrentThreadId();
  bool IconShown = false;
  {
    TBackgroundActor Tester([&, Main] {
      HWND Box = WaitForWindow(L"Fallback caption", L"TMessageBoxWindow");
      if (!Box) {
        CloseWindowsOfThread(Main);
        return;
      }
      Seen.Found = true;
      Seen.Texts = ChildTexts(Box);
      IconShown = ::FindWindowExW(Box, nullptr, L"STATIC", L"") != nullptr;
      PostKey(FindChildWithText(Box, L"OK"), VK_ESCAPE);
    });
    ShowFallbackBox(nullptr, true, "Fallback caption", "first line\nsecond line", "OK");
  }
  ASSERT_TRUE(Seen.Found);
  EXPECT_TRUE(Contains(Seen.Texts, L"first line\nsecond line"));
  EXPECT_TRUE(Contains(Seen.Texts, L"OK"));
  EXPECT_TRUE(IconShown);
}

// Where task dialogs are missing the program's boxes are the window built in code; the
// program chooses the dialog when it makes its application, as this test does.
class Win32FallbackBoxTest : public ::testing::Test {
 protected:
  std::unique_ptr<TApplication> App =
      MakeWin32Application({.AppIconId = kTestIconId, .BoxDialog = bdFallback});
};

struct TPaintedBox {
  bool Found = false;
  std::vector<COLORREF> Margin;  // pixels of the box's own client area, beside its children
  std::vector<COLORREF> Text;    // every pixel of the text's control
};

// Waits until the window and its children have nothing left to paint (a bounded guard).
void WaitUntilPainted(HWND Window, HWND Child) {
  ::RedrawWindow(Window, nullptr, nullptr,
                 RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
  for (int Try = 0; Try < 200; ++Try) {
    if (!::GetUpdateRect(Window, nullptr, FALSE) && !::GetUpdateRect(Child, nullptr, FALSE))
      return;
    ::Sleep(10);
  }
}

TPaintedBox ReadPaintedBox(const std::wstring& Caption, const std::wstring& Text) {
  TPaintedBox Seen;
  HWND Box = WaitForWindow(Caption, L"TMessageBoxWindow");
  HWND Label = Box ? FindChildWithText(Box, Text) : nullptr;
  if (!Label)
    return Seen;
  Seen.Found = true;
  WaitUntilPainted(Box, Label);
  RECT Client, Inner;
  ::GetClientRect(Box, &Client);
  ::GetClientRect(Label, &Inner);
  HDC Dc = ::GetDC(Box);
  for (const POINT P : {POINT{2, 2}, POINT{2, Client.bottom - 3}, POINT{Client.right / 2, 2}})
    Seen.Margin.push_back(::GetPixel(Dc, P.x, P.y));
  ::ReleaseDC(Box, Dc);
  Dc = ::GetDC(Label);
  for (int Y = 0; Y < Inner.bottom; ++Y) {
    for (int X = 0; X < Inner.right; ++X)
      Seen.Text.push_back(::GetPixel(Dc, X, Y));
  }
  ::ReleaseDC(Label, Dc);
  return Seen;
}

TEST_F(Win32FallbackBoxTest, TheBoxPaintsItsBackgroundAndItsTextOnIt) {
  const DWORD Main = ::GetCurrentThreadId();
  TPaintedBox Seen;
  {
    TBackgroundActor Tester([&, Main] {
      Seen = ReadPaintedBox(L"Error", L"first line\nsecond line");
      if (!Seen.Found) {
        CloseWindowsOfThread(Main);
        return;
      }
      ::PostMessageW(WaitForWindow(L"Error", L"TMessageBoxWindow"), WM_COMMAND,
                     MAKEWPARAM(BoxButtonId, BN_CLICKED), 0);
    });
    ErrorBox("first line\nsecond line");
  }
  ASSERT_TRUE(Seen.Found);
  const COLORREF Face = ::GetSysColor(COLOR_BTNFACE);
  for (const COLORREF Pixel : Seen.Margin)
    EXPECT_EQ(Pixel, Face);
  // The text is drawn on the box's own background: ink darker than it, never a lighter
  // patch behind the glyphs.
  const auto Ink = std::count_if(Seen.Text.begin(), Seen.Text.end(),
                                 [Face](COLORREF Pixel) { return Pixel != Face; });
  const auto Lighter = std::count_if(Seen.Text.begin(), Seen.Text.end(), [Face](COLORREF Pixel) {
    return GetRValue(Pixel) > GetRValue(Face) || GetGValue(Pixel) > GetGValue(Face) ||
           GetBValue(Pixel) > GetBValue(Face);
  });
  EXPECT_GT(Ink, 20);
  EXPECT_EQ(Lighter, 0);
}

}  // namespace

}  // namespace vantor
