// Helpers of the Windows tests: an application on real windows, and a thread that finds a
// window by caption and acts on it while the main thread sits in a modal loop.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "framework/win32/win32_application.h"

namespace vantor {

// The icon resource of the test binary (test_resources.rc).
constexpr int kTestIconId = 1;

class Win32Test : public ::testing::Test {
 protected:
  std::unique_ptr<TApplication> App = MakeWin32Application({.AppIconId = kTestIconId});
};

// Waits (a bounded guard, no timing assertion) for a visible top-level window with this
// caption, optionally of a class; null if none came.
HWND WaitForWindow(const std::wstring& Caption, const wchar_t* ClassName = nullptr);

// Closes every visible top-level window of a thread: a box a test failed to find must not
// keep the suite waiting for ever.
void CloseWindowsOfThread(DWORD ThreadId);

// The texts of all descendants of a window.
std::vector<std::wstring> ChildTexts(HWND Window);
// A descendant with exactly this text, or null.
HWND FindChildWithText(HWND Window, const std::wstring& Text);

// What a test saw of a message box: whether it came, and the texts of its children.
struct TSeenBox {
  bool Found = false;
  std::vector<std::wstring> Texts;
};
bool Contains(const std::vector<std::wstring>& Texts, const std::wstring& Text);

// Finds the box, notes what it shows, and presses its button (from a thread of its own;
// when no box comes it closes the windows of MainThread, so that the test ends).
void InspectAndPress(const std::wstring& Caption, const std::wstring& Button, TSeenBox& Seen,
                     DWORD MainThread);

// Runs Body on its own thread; joined on destruction.
class TBackgroundActor {
 public:
  explicit TBackgroundActor(std::function<void()> Body) : FThread(std::move(Body)) {}
  ~TBackgroundActor() {
    if (FThread.joinable())
      FThread.join();
  }
  TBackgroundActor(const TBackgroundActor&) = delete;
  TBackgroundActor& operator=(const TBackgroundActor&) = delete;

 private:
  std::thread FThread;
};

// Posts key down and up to a window and lets the loop handle them.
void PostKey(HWND Window, UINT VirtualKey);

}  // namespace vantor
