// Byte scripts for the conversation machine: plain text that plays the device and the
// clock, and says what must go out on the wire and how the conversation ends. The same
// scripts run natively, under Wine and in the browser's WebAssembly build.
//
//   timeout 1000               the time limit (before start)
//   start [keep]               the port is open: greet (keep: stay open after the read)
//   at 250 | wait 250          advance the clock, waking the machine when it asks
//   device AA 05 01 01 BB      bytes from the device, in hex
//   reply hello | version 12 | settings F8 off F2 off
//                              well-formed replies, spelt by meaning
//   write F8 off F2 on         a write of four settings
//   lost why...                the port failed
//   fail-send N                the Nth frame from now cannot be written
//   sent AA 05 01 00 BB        the next frame on the wire; also: sent handshake | version
//                              | reads | writes F8 off F2 off
//   quiet                      nothing more was sent
//   expect phase|outcome|firmware|failure|settings|readback|differences|events ...
//
// Blank lines and text after '#' are ignored.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace vantor {

// The failures, each "line N: what was wrong"; empty when the script holds.
std::vector<std::string> RunConversationScript(std::string_view Script);

}  // namespace vantor
