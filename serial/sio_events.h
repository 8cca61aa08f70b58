// Event types of the serial port component and the one failure class it raises.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <utility>

#include "framework/events.h"
#include "framework/object.h"

namespace vantor {

using PSioData = const std::uint8_t*;

using TSioCommRxCharEvent = std::function<void(TObject* Sender, int Count)>;
using TSioCommRxBufEvent = std::function<void(TObject* Sender, PSioData Data, int Count)>;
using TSioCommErrorEvent = std::function<void(TObject* Sender, int Errors)>;
using TSioCommErrorExceptionEvent =
    std::function<void(TObject* Sender, int Errors, const std::string& ExceptionMsg)>;
using TSioCommUSBDeviceEvent = std::function<void(TObject* Sender, const std::string& ADeviceName)>;

// What went wrong, whatever number the platform gives it: callers that tell the user which
// (a port held by another program or one they may not open) compare these, never codes.
enum TSioErrorCategory : std::uint8_t {
  ecNotFound,  // no such device
  ecBusy,      // held by another program
  ecDenied,    // no permission to open it
  ecRemoved,   // the device went away while the port was open
  ecOther,
};

// Every failure of the serial port component; its message is one of the component's texts.
// Code is the platform's error code that the report took (errno or GetLastError).
class ESioCommError : public Exception {
 public:
  explicit ESioCommError(std::string Message, std::int32_t Code = 0,
                         TSioErrorCategory Category = ecOther)
      : Exception(std::move(Message)), FCode(Code), FCategory(Category) {}

  std::int32_t Code() const { return FCode; }
  TSioErrorCategory Category() const { return FCategory; }

 private:
  std::int32_t FCode;
  TSioErrorCategory FCategory;
};

}  // namespace vantor
