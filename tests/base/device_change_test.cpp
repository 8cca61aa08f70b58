// The port record of a device-change message, as the Linux device monitor and the Wine
// helpers build it and the serial component's hook reads it.
#include "base/device_change.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

namespace vantor {

namespace {

TEST(PortBroadcast, IsAPortRecordWithANulTerminatedUtf16Name) {
  const TPortBroadcast Record("/dev/ttyACM0");
  const TDevBroadcastHdr* Header = Record.Header();
  EXPECT_EQ(Header->dbch_devicetype, kDbtDevtypPort);
  EXPECT_EQ(Header->dbch_reserved, 0u);
  EXPECT_EQ(Header->dbch_size, 12u + 2u * 13u);
  const auto* Name = reinterpret_cast<const char16_t*>(reinterpret_cast<const char*>(Header) + 12);
  EXPECT_EQ(Name, Record.Name());
  EXPECT_EQ(std::u16string(Name), u"/dev/ttyACM0");
  EXPECT_EQ(Name[12], u'\0');
  EXPECT_EQ(reinterpret_cast<std::uintptr_t>(Header) % alignof(TDevBroadcastHdr), 0u);
}

TEST(PortBroadcast, KeepsNonAsciiNames) {
  const TPortBroadcast Record("/dev/\xc3\xa9");
  EXPECT_EQ(std::u16string(Record.Name()), u"/dev/\u00e9");
  EXPECT_EQ(Record.Header()->dbch_size, 12u + 2u * 7u);
}

TEST(PortBroadcast, ReadsBackWhatWasBuiltAndOnlyPortRecords) {
  const TPortBroadcast Record("COM7");
  EXPECT_EQ(ReadPortBroadcastName(Record.Header()), "COM7");
  const TDevBroadcastHdr Volume{12, 2, 0};  // DBT_DEVTYP_VOLUME
  EXPECT_EQ(ReadPortBroadcastName(&Volume), std::nullopt);
}

}  // namespace

}  // namespace vantor
