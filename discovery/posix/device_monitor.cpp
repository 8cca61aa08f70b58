#include "base/device_change.h"
#include "discovery/posix/device_monitor.h"

#include <poll.h>
#include <sys/eventfd.h>

#include <cerrno>
#include <cstdint>

#include "discovery/posix/udev_event_source.h"
#include "framework/application.h"
#include "framework/thread.h"

namespace vantor {

class TDeviceMonitorThread : public TThread {
 public:
  TDeviceMonitorThread(TTtyEventSource& Source, const std::string& DevRoot, int StopFd)
      : FSource(Source), FDevRoot(DevRoot), FStopFd(StopFd) {}

 protected:
  void Execute() override {
    pollfd Fds[2] = {{FSource.Fd(), POLLIN, 0}, {FStopFd, POLLIN, 0}};
    while (!Terminated()) {
      if (::poll(Fds, 2, -1) < 0) {
        if (errno == EINTR)
          continue;
        return;
      }
      if (Fds[1].revents != 0)
        return;
      if ((Fds[0].revents & POLLIN) == 0)
        return;  // error or hang-up: no more events come
      if (auto Event = FSource.Receive())
        Deliver(*Event);
    }
  }

 private:
  void Deliver(const TTtyEvent& Event) {
    const auto Notice = TranslateTtyEvent(Event, FDevRoot);
    TApplication* App = Application();
    if (!Notice || !App)
      return;
    const TPortBroadcast Record(Notice->Name);
    TMessage Message;
    Message.Msg = kWmDeviceChange;
    Message.WParam = Notice->Event;
    Message.LParam = reinterpret_cast<std::intptr_t>(Record.Header());
    // Raises once the application has ended; the thread then ends too.
    App->SendAppMessage(Message);
  }

  TTtyEventSource& FSource;
  const std::string& FDevRoot;
  int FStopFd;
};

TDeviceMonitor::TDeviceMonitor(std::string DevRoot)
    : TDeviceMonitor(MakeUdevTtyEventSource(), std::move(DevRoot)) {}

TDeviceMonitor::TDeviceMonitor(std::unique_ptr<TTtyEventSource> Source, std::string DevRoot)
    : FSource(std::move(Source)), FDevRoot(std::move(DevRoot)) {
  if (!FSource)
    return;
  FStop.Reset(::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK));
  if (!FStop)
    return;
  FThread = std::make_unique<TDeviceMonitorThread>(*FSource, FDevRoot, FStop.Get());
  FThread->Start();
}

TDeviceMonitor::~TDeviceMonitor() {
  if (!FThread)
    return;
  const std::uint64_t One = 1;
  [[maybe_unused]] const auto Written = ::write(FStop.Get(), &One, sizeof One);
  // Waited for here, while the derived part still exists (the base destructor would be too
  // late for a thread that has not reached Execute yet). On the main thread WaitFor keeps
  // serving what the thread sends meanwhile.
  try {
    FThread->WaitFor();
  } catch (...) {  // a destructor does not throw; the base destructor joins regardless
  }
  FThread.reset();
}

}  // namespace vantor
