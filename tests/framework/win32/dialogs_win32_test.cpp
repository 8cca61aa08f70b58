#include <algorithm>

#include "framework/dialogs.h"
#include "framework/timer.h"
#include "framework/win32/message_box.h"
#include "win32_test_support.h"

namespace vantor {

namespace {

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

// The program chooses the dialog of its boxes when it makes its application; where task
// dialogs are missing it is the window built in code, which paints its own background and
// its text on it (no lighter cells behind the glyphs).
TEST(Win32FallbackBoxTest, TheBoxPaintsItsBackgroundAndItsTextOnIt) {
  const auto App = MakeWin32Application({.BoxDialog = bdFallback});
  const COLORREF Face = ::GetSysColor(COLOR_BTNFACE);
  std::vector<COLORREF> Margin, Text;  // the box's top rows (beside its children), the text
  const auto Read = [](HWND Window, int Rows, std::vector<COLORREF>& Pixels) {
    RECT Client;
    ::GetClientRect(Window, &Client);
    HDC Dc = ::GetDC(Window);
    for (int Y = 0; Y < std::min<int>(Rows, Client.bottom); ++Y)
      for (int X = 0; X < Client.right; ++X)
        Pixels.push_back(::GetPixel(Dc, X, Y));
    ::ReleaseDC(Window, Dc);
  };
  const DWORD Main = ::GetCurrentThreadId();
  {
    TBackgroundActor Tester([&, Main] {
      HWND Box = WaitForWindow(L"Error", L"TMessageBoxWindow");
      HWND Label = Box ? FindChildWithText(Box, L"two\nlines") : nullptr;
      if (!Label)
        return CloseWindowsOfThread(Main);
      ::RedrawWindow(Box, nullptr, nullptr,
                     RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
      for (int Try = 0; Try < 200 && ::GetUpdateRect(Label, nullptr, FALSE); ++Try)
        ::Sleep(10);
      Read(Box, 3, Margin);
      Read(Label, 1000, Text);
      ::PostMessageW(Box, WM_COMMAND, MAKEWPARAM(BoxButtonId, BN_CLICKED), 0);
    });
    ErrorBox("two\nlines");
  }
  ASSERT_FALSE(Text.empty());
  EXPECT_EQ(std::count(Margin.begin(), Margin.end(), Face), std::ssize(Margin));
  EXPECT_GT(std::ssize(Text) - std::count(Text.begin(), Text.end(), Face), 20);  // ink
  const auto Lighter = [Face](COLORREF P) {
    return GetRValue(P) > GetRValue(Face) || GetGValue(P) > GetGValue(Face) ||
           GetBValue(P) > GetBValue(Face);
  };
  EXPECT_EQ(std::count_if(Text.begin(), Text.end(), Lighter), 0);
}

}  // namespace

}  // namespace vantor
