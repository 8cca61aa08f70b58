// The microphone's firmware as the host sees it: four stored settings, a version byte and
// the answers to the four commands.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>

#include "tools/micsim/bytes.h"

namespace vantor {

namespace micsim {

// Settings 1 to 4: button 1 key, button 2 key, button 3 key (255 = off), mute when not PTT.
struct TSettings {
  std::array<std::uint8_t, 4> Values{65, 255, 255, 0};  // F8, off, off, mute off
  std::uint8_t& operator[](int Index) { return Values[static_cast<std::size_t>(Index - 1)]; }
  std::uint8_t operator[](int Index) const { return Values[static_cast<std::size_t>(Index - 1)]; }
  bool operator==(const TSettings&) const = default;
};

struct TDeviceAnswer {
  std::optional<TBytes> Reply;  // nothing when the device keeps quiet
  std::string Note;             // what the frame was, for the log
  bool Stored = false;          // a setting was written: the memory must be saved
};

class TMicDevice {
 public:
  // AnswerAfter: the first AnswerAfter - 1 handshakes go unanswered (0 and 1: none do).
  TMicDevice(TSettings Settings, std::uint8_t Version, unsigned AnswerAfter);

  // Frame is a whole frame as the parser cut it: AA, length, command, payload, BB.
  TDeviceAnswer Handle(const TBytes& Frame);

  const TSettings& Settings() const { return FSettings; }
  // Writes are answered as usual (not at all) but leave the stored values as they were.
  void SetIgnoreWrites(bool Value) { FIgnoreWrites = Value; }

 private:
  TDeviceAnswer Handshake(const TBytes& Frame);
  TDeviceAnswer ReadSetting(const TBytes& Frame);
  TDeviceAnswer WriteSetting(const TBytes& Frame);
  TDeviceAnswer ReadVersion(const TBytes& Frame);

  TSettings FSettings;
  std::uint8_t FVersion;
  unsigned FAnswerAfter;
  unsigned FHandshakes = 0;
  bool FIgnoreWrites = false;
};

}  // namespace micsim

}  // namespace vantor
