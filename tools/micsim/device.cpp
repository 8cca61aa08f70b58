#include "tools/micsim/device.h"

namespace vantor {

namespace micsim {

namespace {

constexpr std::uint8_t kHandshake = 1;
constexpr std::uint8_t kReadSetting = 2;
constexpr std::uint8_t kWriteSetting = 3;
constexpr std::uint8_t kReadVersion = 4;

bool ValidIndex(std::uint8_t Index) {
  return Index >= 1 && Index <= 4;
}

TDeviceAnswer Ignored(std::string Why) {
  return {std::nullopt, std::move(Why) + ", ignored", false};
}

}  // namespace

TMicDevice::TMicDevice(TSettings Settings, std::uint8_t Version, unsigned AnswerAfter)
    : FSettings(Settings), FVersion(Version), FAnswerAfter(AnswerAfter) {}

TDeviceAnswer TMicDevice::Handle(const TBytes& Frame) {
  if (Frame.size() < 5 || Frame[0] != kStart || Frame[1] != Frame.size()) {
    return Ignored("not a frame");
  }
  switch (Frame[2]) {
    case kHandshake:
      return Handshake(Frame);
    case kReadSetting:
      return ReadSetting(Frame);
    case kWriteSetting:
      return WriteSetting(Frame);
    case kReadVersion:
      return ReadVersion(Frame);
    default:
      return Ignored("unknown command " + std::to_string(Frame[2]));
  }
}

TDeviceAnswer TMicDevice::Handshake(const TBytes& Frame) {
  if (Frame.size() != 5)
    return Ignored("handshake of length " + std::to_string(Frame.size()));
  ++FHandshakes;
  if (FHandshakes < FAnswerAfter) {
    return Ignored("handshake " + std::to_string(FHandshakes) + " of " +
                   std::to_string(FAnswerAfter));
  }
  return {TBytes{kStart, 5, kHandshake, 1, kEnd}, "handshake", false};
}

TDeviceAnswer TMicDevice::ReadSetting(const TBytes& Frame) {
  if (Frame.size() != 5)
    return Ignored("read setting of length " + std::to_string(Frame.size()));
  const std::uint8_t Index = Frame[3];
  if (!ValidIndex(Index))
    return Ignored("read setting " + std::to_string(Index) + ": no such setting");
  return {TBytes{kStart, 6, kReadSetting, Index, FSettings[Index], kEnd},
          "read setting " + std::to_string(Index), false};
}

TDeviceAnswer TMicDevice::WriteSetting(const TBytes& Frame) {
  if (Frame.size() != 6)
    return Ignored("write setting of length " + std::to_string(Frame.size()));
  const std::uint8_t Index = Frame[3];
  if (!ValidIndex(Index)) {
    return Ignored("write setting " + std::to_string(Index) + ": no such setting");
  }
  const std::string Note =
      "write setting " + std::to_string(Index) + " = " + std::to_string(Frame[4]);
  if (FIgnoreWrites)
    return {std::nullopt, Note + ", not stored (--ignore-writes)", false};
  FSettings[Index] = Frame[4];
  return {std::nullopt, Note, true};
}

TDeviceAnswer TMicDevice::ReadVersion(const TBytes& Frame) {
  if (Frame.size() != 5)
    return Ignored("read version of length " + std::to_string(Frame.size()));
  return {TBytes{kStart, 5, kReadVersion, FVersion, kEnd}, "read version", false};
}

}  // namespace micsim

}  // namespace vantor
