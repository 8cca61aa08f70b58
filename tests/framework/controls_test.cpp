#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "framework/headless/headless.h"

namespace vantor {

namespace {

class ControlsTest : public ::testing::Test {
 protected:
  THeadlessApp H = MakeHeadlessApplication();
  TForm* Form = H.App->CreateForm<TForm>();
};

TEST_F(ControlsTest, ControlsSitOnTheFormInCreationOrder) {
  auto* A = Form->MakeOwned<TLabel>();
  auto* B = Form->MakeOwned<TButton>();
  EXPECT_EQ(A->Parent(), Form);
  EXPECT_EQ(Form->Controls(), (std::vector<TControl*>{A, B}));
  EXPECT_EQ(Form->Color(), 0xFFFFFFu);
  EXPECT_EQ(Form->FontName(), "Tahoma");
  EXPECT_EQ(Form->FontHeight(), 12);
}

TEST_F(ControlsTest, ACheckBoxSetFromCodeClicksExactlyWhenItsStateChanges) {
  auto* Box = Form->MakeOwned<TCheckBox>();
  int Clicks = 0;
  Box->OnClick = [&](TObject* Sender) {
    EXPECT_EQ(Sender, Box);
    ++Clicks;
  };
  const struct {
    bool Set;
    int ClicksAfter;
  } Steps[] = {{false, 0}, {true, 1}, {true, 1}, {false, 2}, {false, 2}};
  for (const auto& Step : Steps) {
    Box->SetChecked(Step.Set);
    EXPECT_EQ(Box->Checked(), Step.Set);
    EXPECT_EQ(Clicks, Step.ClicksAfter);
  }
  Box->Click();
  EXPECT_TRUE(Box->Checked());
  EXPECT_EQ(Clicks, 3);
}

TEST_F(ControlsTest, UserClicksReachOnlyEnabledVisibleControls) {
  auto* Box = Form->MakeOwned<TCheckBox>();
  auto* Button = Form->MakeOwned<TButton>();
  int ButtonClicks = 0;
  Button->OnClick = [&](TObject*) { ++ButtonClicks; };
  Box->SetEnabled(false);
  H.Backend->Click(*Box);
  EXPECT_FALSE(Box->Checked());
  Box->SetEnabled(true);
  Box->SetVisible(false);
  H.Backend->Click(*Box);
  EXPECT_FALSE(Box->Checked());
  Box->SetVisible(true);
  H.Backend->Click(*Box);
  EXPECT_TRUE(Box->Checked());
  Button->SetEnabled(false);
  H.Backend->Click(*Button);
  EXPECT_EQ(ButtonClicks, 0);
  Button->SetEnabled(true);
  H.Backend->Click(*Button);
  EXPECT_EQ(ButtonClicks, 1);
}

TEST_F(ControlsTest, SettingAPanelToItsOwnTextChangesNothing) {
  auto* Bar = Form->MakeOwned<TStatusBar>();
  Bar->AddPanel({50, taCenter, pbNone, "Status :", ""});
  Bar->AddPanel({100, taLeftJustify, pbLowered, "", ""});
  Form->Show();
  Bar->SetPanelText(1, "Not connected");
  Bar->SetPanelText(1, "Not connected");
  Bar->SetPanelText(0, "Status :");
  EXPECT_EQ(Bar->PanelText(1), "Not connected");
  EXPECT_EQ(H.Backend->PanelRedraws(*Bar, 1), 1);
  EXPECT_EQ(H.Backend->PanelRedraws(*Bar, 0), 0);
  EXPECT_FALSE(Bar->SizeGrip());
  EXPECT_THROW(Bar->SetPanelText(2, "x"), std::out_of_range);
}

// The main window's focus order: hidden and disabled controls and non-focus kinds are
// skipped; Tab and Shift+Tab cycle.
class TabOrderTest : public ControlsTest {
 protected:
  void SetUp() override {
    Form->MakeOwned<TLabel>()->SetName("label");
    Add<TCheckBox>("cb1", 0)->SetEnabled(false);
    Add<TCheckBox>("cb2", 1);
    Add<TCheckBox>("cb3", 2);
    Add<TCheckBox>("mute", 3)->SetVisible(false);
    Add<TButton>("save", 4);
    Add<THotKey>("hk1", 5);
    Add<THotKey>("hk3", 7);  // made before hk2, later in tab order
    Add<THotKey>("hk2", 6);
    Form->MakeOwned<TImage>()->SetTabOrder(8);  // an image never takes the focus
  }
  template <class T>
  T* Add(const std::string& Name, int TabOrder) {
    auto* Control = Form->MakeOwned<T>();
    Control->SetName(Name);
    Control->SetTabOrder(TabOrder);
    return Control;
  }
  std::string Focus() const {
    return Form->ActiveControl() ? Form->ActiveControl()->Name() : std::string("none");
  }
};

TEST_F(TabOrderTest, ActivationFocusesTheFirstAndTabCyclesOverWhatCanTakeFocus) {
  Form->Show();
  EXPECT_EQ(Focus(), "cb2");
  std::vector<std::string> Forward;
  for (int I = 0; I < 7; ++I) {
    H.Backend->PressTab(true);
    Forward.push_back(Focus());
  }
  EXPECT_EQ(Forward, (std::vector<std::string>{"cb3", "save", "hk1", "hk2", "hk3", "cb2", "cb3"}));
  H.Backend->PressTab(false);
  H.Backend->PressTab(false);
  EXPECT_EQ(Focus(), "hk3");
}

TEST_F(TabOrderTest, AControlThatCannotTakeFocusIsNotFocusedFromCode) {
  Form->Show();
  static_cast<TControl*>(Form->FindComponent("cb1"))->SetFocus();
  EXPECT_EQ(Focus(), "cb2");
  static_cast<TControl*>(Form->FindComponent("hk2"))->SetFocus();
  EXPECT_EQ(Focus(), "hk2");
}

TEST_F(ControlsTest, AFormWithNothingFocusableHasNoActiveControl) {
  Form->MakeOwned<TLabel>();
  Form->Show();
  EXPECT_EQ(Form->ActiveControl(), nullptr);
  H.Backend->PressTab(true);
  EXPECT_EQ(Form->ActiveControl(), nullptr);
}

}  // namespace

}  // namespace vantor
