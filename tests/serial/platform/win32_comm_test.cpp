// The component under Wine over the pty mapped as a COM port, with the echoing peer: a
// request goes out through the write thread, its echo comes back through OnRxChar on the
// main thread, the port closes from inside that handler and opens again.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "comm_fixture.h"

namespace vantor {

namespace {

const std::string kHandshake("\xAA\x05\x01\x00\xBB", 5);

class Win32Comm : public CommOverPort {
 protected:
  void SetUp() override {
    const char* Name = std::getenv("VANTOR_TEST_COM");
    if (Name == nullptr) {
      GTEST_SKIP() << "no COM port mapped to a pty (run through run-with-pty)";
    }
    MakeComm(Name, false);
  }
};

TEST_F(Win32Comm, RequestIsAnsweredThroughOnRxCharOnTheMainThread) {
  Comm->Open();
  ASSERT_TRUE(Comm->Active());
  EXPECT_EQ(Comm->GetDeviceName().rfind("\\\\.\\COM", 0), 0u);
  Write(kHandshake);
  ASSERT_TRUE(ReceivedAtLeast(5));
  EXPECT_EQ(Received, kHandshake);
  EXPECT_TRUE(OnMainThread);
  Comm->Close();
  EXPECT_EQ(Closes, 1);
}

TEST_F(Win32Comm, CloseFromInsideTheHandlerThenOpenAgain) {
  AfterRead = [this] { Comm->Close(); };
  Comm->Open();
  Write(kHandshake);
  ASSERT_TRUE(PumpUntil([&] { return Closes == 1; }));
  EXPECT_FALSE(Comm->Active());

  AfterRead = nullptr;
  Received.clear();
  Comm->Open();
  ASSERT_TRUE(Comm->Active());
  Write(kHandshake);
  ASSERT_TRUE(ReceivedAtLeast(5));
  EXPECT_EQ(Received, kHandshake);
  Comm->Close();
  EXPECT_EQ(Closes, 2);
}

TEST_F(Win32Comm, ManyOpenCloseCycles) {
  for (int I = 0; I < 50; ++I) {
    Comm->Open();
    ASSERT_TRUE(Comm->Active()) << "cycle " << I;
    Comm->Close();
  }
  EXPECT_EQ(Closes, 50);
}

}  // namespace

}  // namespace vantor
