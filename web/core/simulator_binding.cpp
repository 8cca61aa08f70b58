#include "web/core/simulator_binding.h"

#include <memory>
#include <nlohmann/json.hpp>
#include <string>

#include "tools/micsim/device.h"
#include "tools/micsim/host_parser.h"

namespace vantor {

namespace {

struct TSimulated {
  micsim::TMicDevice Device{micsim::TSettings{}, 12, 0};
  micsim::THostFrameParser Parser;
  std::string Answer;
};

std::unique_ptr<TSimulated>& Simulated() {
  static std::unique_ptr<TSimulated> Instance = std::make_unique<TSimulated>();
  return Instance;
}

}  // namespace

}  // namespace vantor

extern "C" {

void micsim_reset(int Version) {
  vantor::Simulated() = std::make_unique<vantor::TSimulated>();
  vantor::Simulated()->Device = vantor::micsim::TMicDevice(vantor::micsim::TSettings{},
                                                           static_cast<std::uint8_t>(Version), 0);
}

const char* micsim_feed(const char* BytesJson) {
  using nlohmann::json;
  vantor::TSimulated& Sim = *vantor::Simulated();
  vantor::micsim::TBytes Bytes;
  const json Host = json::parse(BytesJson, nullptr, false);
  if (Host.is_array()) {
    for (const auto& Byte : Host) {
      if (Byte.is_number_unsigned() && Byte.get<unsigned>() < 256)
        Bytes.push_back(static_cast<std::uint8_t>(Byte.get<unsigned>()));
    }
  }
  json Replies = json::array();
  for (const auto& Input : Sim.Parser.Feed(Bytes.data(), Bytes.size())) {
    if (Input.Kind != vantor::micsim::THostInput::hiFrame)
      continue;
    const vantor::micsim::TDeviceAnswer Answer = Sim.Device.Handle(Input.Bytes);
    if (Answer.Reply)
      Replies.push_back(*Answer.Reply);
  }
  Sim.Answer = Replies.dump();
  return Sim.Answer.c_str();
}
}
