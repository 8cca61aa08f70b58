#include <gtest/gtest.h>

#include "framework/headless/headless.h"

namespace vantor {

namespace {

constexpr std::uint8_t VkF2 = 0x71, VkF5 = 0x74, VkF8 = 0x77, VkLeft = 0x25, VkShift = 0x10;
constexpr THKModifiers Shift = HKModifierBit(hkShift), Ctrl = HKModifierBit(hkCtrl),
                       Alt = HKModifierBit(hkAlt);
// The main window's rules for its right-hand fields: pairs and triples refused, and
// replaced by no modifier at all.
constexpr THKInvalidKeys PairsAndTriple = HKInvalidBit(hcShiftCtrl) | HKInvalidBit(hcShiftAlt) |
                                          HKInvalidBit(hcCtrlAlt) | HKInvalidBit(hcShiftCtrlAlt);

class HotKeyTest : public ::testing::Test {
 protected:
  void SetUp() override {
    Field->SetInvalidKeys(PairsAndTriple);
    Field->SetModifiers(0);
    Field->SetHotKey(VkF2);
    Field->OnChange = [this](TObject* Sender) {
      EXPECT_EQ(Sender, Field);
      ++Changes;
    };
    Form->Show();
  }
  THeadlessApp H = MakeHeadlessApplication();
  TForm* Form = H.App->CreateForm<TForm>();
  THotKey* Field = Form->MakeOwned<THotKey>();
  int Changes = 0;
};

TEST_F(HotKeyTest, TypedKeysReadBackAsFunctionKeyValuesAndRaiseOnChange) {
  const struct {
    std::uint8_t Key;
    THKModifiers Held;
    TShortCut Value;
  } Cases[] = {
      {VkF5, 0, 116},                   // plain F5
      {VkF5, Shift, 0x2074},            // a single modifier is kept
      {VkF5, Alt, 0x8074},              // also Alt
      {VkF5, Ctrl, 0x4074},             //
      {VkF5, Shift | Ctrl, 116},        // a refused pair becomes the bare key
      {VkF5, Shift | Ctrl | Alt, 116},  // so does the triple
      {VkLeft, 0, VkLeft},              // the extended-key flag is dropped
      {VkShift, 0, scShift},            // a modifier alone: no key yet
  };
  int Expected = 0;
  for (const auto& Case : Cases) {
    H.Backend->TypeKey(*Field, Case.Key, Case.Held);
    EXPECT_EQ(Field->HotKey(), Case.Value) << int(Case.Key) << "/" << int(Case.Held);
    EXPECT_EQ(Changes, ++Expected);
  }
}

TEST_F(HotKeyTest, ARefusedPlainKeyIsReplacedByTheReplacementModifiers) {
  Field->SetInvalidKeys(HKInvalidBit(hcNone));
  Field->SetModifiers(Ctrl | Alt);
  H.Backend->TypeKey(*Field, VkF8, 0);
  EXPECT_EQ(Field->HotKey(), VkF8 | scCtrl | scAlt);
}

TEST_F(HotKeyTest, WritingAValueRaisesNoChangeAndReadsBackWithoutBits8To12) {
  const struct {
    TShortCut Written;
    TShortCut Read;
    const char* Shown;
  } Cases[] = {
      {252, 252, ""},
      {0, 0, "None"},
      {116, 116, "F5"},
      {116, 116, "F5"},
      {0x2074, 0x2074, "Shift + F5"},
      {0x1F74, 0x74, "F5"},
      {0xE000 | 113, 0xE000 | 113, "Ctrl + Shift + Alt + F2"},
  };
  for (const auto& Case : Cases) {
    Field->SetHotKey(Case.Written);
    EXPECT_EQ(Field->HotKey(), Case.Read) << Case.Written;
    EXPECT_EQ(H.Backend->HotKeyText(*Field), Case.Shown) << Case.Written;
  }
  EXPECT_EQ(Changes, 0);
}

TEST_F(HotKeyTest, ReadingAValueNeverWrittenGivesWhatTheUserEntered) {
  H.Backend->TypeKey(*Field, VkF8, 0);
  EXPECT_EQ(Field->HotKey(), VkF8);
  // Changing the rules sends the value again: what the user entered, not the last write.
  Field->SetInvalidKeys(HKInvalidBit(hcNone));
  EXPECT_EQ(Field->HotKey(), VkF8);
}

TEST_F(HotKeyTest, ADisabledOrHiddenFieldIgnoresKeysAndKeepsItsValue) {
  Field->SetEnabled(false);
  H.Backend->TypeKey(*Field, VkF5, 0);
  EXPECT_EQ(Field->HotKey(), VkF2);
  Field->SetEnabled(true);
  Field->SetVisible(false);
  H.Backend->TypeKey(*Field, VkF5, 0);
  EXPECT_EQ(Field->HotKey(), VkF2);
  EXPECT_EQ(Changes, 0);
  Field->SetHotKey(252);  // still settable while it takes no input
  EXPECT_EQ(Field->HotKey(), 252);
}

TEST(HotKeyWithoutWindow, KeepsItsValueAndRulesUntilThePlatformWindowIsMade) {
  auto H = MakeHeadlessApplication();
  auto* Form = H.App->CreateForm<TForm>();
  auto* Field = Form->MakeOwned<THotKey>();
  Field->SetInvalidKeys(PairsAndTriple);
  Field->SetModifiers(0);
  Field->SetHotKey(0x1F00 | 119);
  EXPECT_EQ(Field->HotKey(), 119);
  Form->Show();  // the window gets the rules first, then the stored value
  EXPECT_EQ(Field->HotKey(), 119);
  H.Backend->TypeKey(*Field, VkF5, Shift | Alt);
  EXPECT_EQ(Field->HotKey(), 116);
}

}  // namespace

}  // namespace vantor
