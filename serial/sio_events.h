// Event types of the serial port component and the one failure class it raises.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

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

// Every failure of the serial port component; its message is one of the component's texts.
class ESioCommError : public Exception {
 public:
  using Exception::Exception;
};

}  // namespace vantor
