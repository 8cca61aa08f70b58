// Event types of the serial port component and the one failure class it raises.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <utility>

#include "framework/events.h"
#include "framework/object.h"
#include "serial/port_failure.h"

namespace vantor {

using PSioData = const std::uint8_t*;

using TSioCommRxCharEvent = std::function<void(TObject* Sender, int Count)>;
using TSioCommRxBufEvent = std::function<void(TObject* Sender, PSioData Data, int Count)>;
using TSioCommErrorEvent = std::function<void(TObject* Sender, int Errors)>;
using TSioCommErrorExceptionEvent =
    std::function<void(TObject* Sender, int Errors, const std::string& ExceptionMsg)>;
using TSioCommUSBDeviceEvent = std::function<void(TObject* Sender, const std::string& ADeviceName)>;

// Every failure of the serial port component; its message is one of the component's texts.
// Code is the platform's error code that the report took (errno or GetLastError); Category
// what it means (pfOther for the component's own refusals).
class ESioCommError : public Exception {
 public:
  explicit ESioCommError(std::string Message, std::int32_t Code = 0,
                         TPortFailure Category = TPortFailure::pfOther)
      : Exception(std::move(Message)), FCode(Code), FCategory(Category) {}

  std::int32_t Code() const { return FCode; }
  TPortFailure Category() const { return FCategory; }

 private:
  std::int32_t FCode;
  TPortFailure FCategory;
};

}  // namespace vantor
