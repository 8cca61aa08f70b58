// What the user's edits of the function-key fields and the check boxes lead to.
#include <gtest/gtest.h>

#include "tests/controller/form_fixture.h"

namespace vantor {

namespace {

constexpr std::uint8_t VK_A = 0x41;
constexpr std::uint8_t VK(std::uint16_t Key) {
  return static_cast<std::uint8_t>(Key);
}
const std::string kDuplicate = "This function key is already selected";
const std::string kNotSupported = "Key not supported!\r\nSelect key F1 - F12";

class KeyRulesTest : public FormTest {
 protected:
  void SetUp() override {
    Start();
    Backend().OnMessageBox = [this](const TMessageBoxRecord&) {
      ValuesWhileShown = {Form->hkKey1->HotKey(), Form->hkKey2->HotKey(), Form->hkKey3->HotKey()};
    };
  }
  void ExpectRefusal(const std::string& Text) {
    ASSERT_EQ(Boxes().size(), 1u);
    EXPECT_EQ(Boxes()[0].Kind, TMessageBoxKind::mbError);
    EXPECT_EQ(Boxes()[0].Caption, "Error");
    EXPECT_EQ(Boxes()[0].Text, Text);
    EXPECT_EQ(Panel(4), "Not saved");
  }
  std::vector<std::uint16_t> ValuesWhileShown;
};

TEST_F(KeyRulesTest, AKeyHeldByAnotherFieldIsRefusedAndTheFieldEmptiedBeforeTheBox) {
  Form->hkKey2->SetHotKey(kF5);
  Backend().TypeKey(*Form->hkKey3, VK(kF5), 0);
  ExpectRefusal(kDuplicate);
  EXPECT_EQ(Form->hkKey3->HotKey(), kNone);
  EXPECT_EQ(ValuesWhileShown, (std::vector<std::uint16_t>{kF8, kF5, kNone}));
}

TEST_F(KeyRulesTest, AKeyWithAModifierIsNotSupported) {
  Form->hkKey1->SetHotKey(kF5);
  Backend().TypeKey(*Form->hkKey2, VK(kF5), HKModifierBit(hkShift));
  ExpectRefusal(kNotSupported);
  EXPECT_EQ(Form->hkKey2->HotKey(), kNone);
  EXPECT_EQ(ValuesWhileShown[1], kNone);
}

TEST_F(KeyRulesTest, ALetterIsNotSupported) {
  Backend().TypeKey(*Form->hkKey3, VK_A, 0);
  ExpectRefusal(kNotSupported);
  EXPECT_EQ(Form->hkKey3->HotKey(), kNone);
}

TEST_F(KeyRulesTest, TheDuplicateTestComesFirstAndComparesModifiersToo) {
  Form->hkKey1->SetHotKey(scShift | kF5);
  Backend().TypeKey(*Form->hkKey3, VK(kF5), HKModifierBit(hkShift));
  ExpectRefusal(kDuplicate);
}

TEST_F(KeyRulesTest, AFreeFunctionKeyIsAcceptedAndMarksNotSaved) {
  Backend().TypeKey(*Form->hkKey2, VK(kF9), 0);
  EXPECT_TRUE(Boxes().empty());
  EXPECT_EQ(Form->hkKey2->HotKey(), kF9);
  EXPECT_EQ(Panel(4), "Not saved");
}

TEST_F(KeyRulesTest, AKeyOfASwitchedOffButtonCountsAsTaken) {
  Form->hkKey3->SetHotKey(kF4);
  ASSERT_FALSE(Form->cbKey3->Checked());
  Backend().TypeKey(*Form->hkKey2, VK(kF4), 0);
  ExpectRefusal(kDuplicate);
  EXPECT_EQ(Form->hkKey2->HotKey(), kNone);
  EXPECT_EQ(Form->hkKey3->HotKey(), kF4);
}

TEST_F(KeyRulesTest, Field1IsComparedWithBothOthers) {
  Form->hkKey3->SetHotKey(kF9);
  Backend().TypeKey(*Form->hkKey1, VK(kF9), 0);
  ExpectRefusal(kDuplicate);
  EXPECT_EQ(Form->hkKey1->HotKey(), kNone);
}

TEST_F(KeyRulesTest, SwitchingAButtonOnlyMarksNotSaved) {
  Form->hkKey2->SetHotKey(kF9);
  Backend().Click(*Form->cbKey2);
  EXPECT_TRUE(Form->cbKey2->Checked());
  EXPECT_EQ(Panel(4), "Not saved");
  Form->StatusBar1->SetPanelText(4, "");
  Backend().Click(*Form->cbKey2);
  EXPECT_EQ(Panel(4), "Not saved");
  EXPECT_EQ(Form->hkKey2->HotKey(), kF9);  // a switched-off button keeps its key
  EXPECT_TRUE(Boxes().empty());
}

}  // namespace

}  // namespace vantor
