// x11-window: what the Linux window's tests, demo and benchmark need of the X server that
// xdotool does not offer (there is no window manager under Xvfb).
//   x11-window close WINDOW              asks the window to close, as a window manager's
//                                         close button does (WM_DELETE_WINDOW)
//   x11-window wait-mapped TITLE SECONDS  waits until a top-level window so titled is
//                                         mapped; prints "<window id> <ms since the epoch>"
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <poll.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <memory>
#include <string>

namespace vantor {

namespace {

struct TCloseDisplay {
  void operator()(Display* D) const { XCloseDisplay(D); }
};
using TDisplayPtr = std::unique_ptr<Display, TCloseDisplay>;

std::string TitleOf(Display* D, Window W) {
  char* Name = nullptr;
  if (!XFetchName(D, W, &Name) || !Name)
    return {};
  std::string Title = Name;
  XFree(Name);
  return Title;
}

int Close(Display* D, Window W) {
  XEvent Event{};
  Event.xclient.type = ClientMessage;
  Event.xclient.window = W;
  Event.xclient.message_type = XInternAtom(D, "WM_PROTOCOLS", False);
  Event.xclient.format = 32;
  Event.xclient.data.l[0] = static_cast<long>(XInternAtom(D, "WM_DELETE_WINDOW", False));
  Event.xclient.data.l[1] = CurrentTime;
  if (!XSendEvent(D, W, False, NoEventMask, &Event)) {
    std::cerr << "x11-window: cannot send to window " << W << "\n";
    return 1;
  }
  XSync(D, False);
  return 0;
}

long long NowMs() {
  using namespace std::chrono;
  return duration_cast<milliseconds>(system_clock::now().time_since_epoch()).count();
}

int WaitMapped(Display* D, const std::string& Title, double Seconds) {
  const Window Root = DefaultRootWindow(D);
  XSelectInput(D, Root, SubstructureNotifyMask);
  XSync(D, False);
  const long long Deadline = NowMs() + static_cast<long long>(Seconds * 1000);
  for (;;) {
    while (XPending(D)) {
      XEvent Event;
      XNextEvent(D, &Event);
      if (Event.type == MapNotify && TitleOf(D, Event.xmap.window) == Title) {
        std::cout << Event.xmap.window << " " << NowMs() << "\n";
        return 0;
      }
    }
    const long long Left = Deadline - NowMs();
    if (Left <= 0) {
      std::cerr << "x11-window: no window \"" << Title << "\" was mapped\n";
      return 1;
    }
    pollfd Fd{ConnectionNumber(D), POLLIN, 0};
    poll(&Fd, 1, static_cast<int>(Left));
  }
}

}  // namespace

int Main(int argc, char** argv) {
  const std::string Command = argc > 1 ? argv[1] : "";
  if (!((Command == "close" && argc == 3) || (Command == "wait-mapped" && argc == 4))) {
    std::cerr << "usage: x11-window close WINDOW | wait-mapped TITLE SECONDS\n";
    return 2;
  }
  TDisplayPtr D(XOpenDisplay(nullptr));
  if (!D) {
    std::cerr << "x11-window: cannot open the display\n";
    return 1;
  }
  if (Command == "close")
    return Close(D.get(), static_cast<Window>(std::strtoul(argv[2], nullptr, 0)));
  return WaitMapped(D.get(), argv[2], std::strtod(argv[3], nullptr));
}

}  // namespace vantor

int main(int argc, char** argv) {
  return vantor::Main(argc, argv);
}
