#include "protocol/reply.h"

#include "protocol/frames.h"

namespace vantor {

TDeviceReply ReadReply(const std::vector<std::uint8_t>& Frame, std::uint8_t Length) {
  TDeviceReply Reply;
  if (Length < 3 || Frame.size() < Length)
    return Reply;
  const std::uint8_t PayloadLength = static_cast<std::uint8_t>(Length - 4);  // modulo 256
  switch (Frame[2]) {
    case cmdHandshake:
      if (Length < 4) {
        Reply.Kind = TDeviceReply::rkNotConnected;
      } else {
        Reply.Kind = TDeviceReply::rkHandshake;
        Reply.Status = Frame[3];
      }
      break;
    case cmdReadSetting:
      if (PayloadLength == 2 && Frame[3] >= dsButton1Key && Frame[3] <= dsMuteWhenNotPtt) {
        Reply.Kind = TDeviceReply::rkSetting;
        Reply.Index = Frame[3];
        Reply.Value = Frame[4];
      }
      break;
    case cmdReadVersion:
      if (Length < 4) {
        Reply.Kind = TDeviceReply::rkVersionUnknown;
      } else {
        Reply.Kind = TDeviceReply::rkVersion;
        Reply.Version = Frame[3];
      }
      break;
    default:
      break;
  }
  return Reply;
}

}  // namespace vantor
