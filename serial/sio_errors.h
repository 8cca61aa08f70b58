// Every message of the serial port component, and the formatting of the error report.
#pragma once

#include <cstdint>
#include <string>

#include "base/system_error.h"

namespace vantor {

// The one code for which an open reports "Specified device not found": ERROR_FILE_NOT_FOUND
// on Windows, and ENOENT, which has the same number, on Linux.
constexpr std::uint32_t kSioDeviceNotFoundCode = 2;

namespace SioMsg {
inline constexpr const char* kPortOpen = "Can't perform this operation while port is open";
inline constexpr const char* kPortClosed = "Can't perform this operation while port is closed";
inline constexpr const char* kDeviceNotFound = "Specified device not found (%s).";
inline constexpr const char* kCantOpen = "Can't open specified device %s";
inline constexpr const char* kCantOpenDetail = " (Error %d, %s)";
inline constexpr const char* kWriteDcb = "Error writing dcb (%d), %s";
inline constexpr const char* kInitBuffers = "Error initializing buffers (%d), %s";
inline constexpr const char* kTimeouts = "Error setting timeouts (%d), %s";
inline constexpr const char* kEventMask = " Error setting EventMask (%d), %s";
inline constexpr const char* kCommFunction = "Error calling comm function (%d), %s";
inline constexpr const char* kModemState = "Error reading modem state (%d), %s";
inline constexpr const char* kProperties = "Error reading port properties (%d), %s";
inline constexpr const char* kDefaultParams = "Error reading default port parameters.";
inline constexpr const char* kDtrHandshake =
    "DTR line updates not allowed when flowcontrol is set to Handshake.";
inline constexpr const char* kRtsHandshake =
    "RTS line updates not allowed when flowcontrol is set to Handshake or Toggle.";
inline constexpr const char* kStatistics = "Error retrieving statistics (%d), %s";
inline constexpr const char* kClearBuffers = "Error clearing buffers (%d), %s";
inline constexpr const char* kReadError = "Read error (%d), %s";
inline constexpr const char* kWriteError = "Write error (%d), %s";
inline constexpr const char* kOutputFull = "Output buffer is full. Please check comm status.";
}  // namespace SioMsg

// Fills the placeholders of Msg in order: the first takes Code, the second Text; "%d"
// prints an integer and "%s" a text, "%%" is a percent sign. A text without placeholders
// comes out unchanged.
std::string FormatCommMessage(const std::string& Msg, std::int32_t Code, const std::string& Text);

// Puts Value in place of every "%d" ("%%" gives "%"): the device name format.
std::string FormatPortNumber(const std::string& Format, std::int32_t Value);

// Doubles every '%', so that a text can go through FormatCommMessage untouched.
std::string EscapePercent(const std::string& Text);

}  // namespace vantor
