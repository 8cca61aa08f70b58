#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

#include "base/device_change.h"
#include "framework/dialogs.h"
#include "framework/headless/headless.h"
#include "framework/thread.h"
#include "framework/timer.h"

namespace vantor {

namespace {

using namespace std::chrono_literals;

TEST(ApplicationTitle, IsTheFileNameCutAtItsFirstFullStopInLowerCaseAfterTheFirst) {
  const struct {
    const char* ExeName;
    const char* Title;
  } Cases[] = {
      {"C:\\x\\VantorTableTopMicrophoneSettings.exe", "Vantortabletopmicrophonesettings"},
      {"/opt/vantor/TestProgram.exe", "Testprogram"},
      {"C:\\Apps\\my.Tool.v2.exe", "my"},  // the first character stays as it is
      {"C:/mixed\\Sep/ABC.EXE", "Abc"},
      {"noextension", "noextension"},
      {"C:\\dir.with.dots\\Prog.exe", "Prog"},
      {".hidden", ""},
      {"", ""},
  };
  for (const auto& Case : Cases) {
    auto H = MakeHeadlessApplication(Case.ExeName);
    EXPECT_EQ(H.App->Title(), Case.Title) << Case.ExeName;
  }
}

TEST(ApplicationObject, IsTheCurrentInstanceUntilFreed) {
  auto H = MakeHeadlessApplication();
  EXPECT_EQ(Application(), H.App.get());
  H.App.reset();
  EXPECT_EQ(Application(), nullptr);
}

class ApplicationTest : public ::testing::Test {
 protected:
  THeadlessApp H = MakeHeadlessApplication("C:\\Tools\\MicSettings.exe");
  const std::vector<TMessageBoxRecord>& Boxes() { return H.Backend->MessageBoxes(); }
};

TEST_F(ApplicationTest, AnUncaughtFailureGetsAFullStopWhenItsLastCharacterIsAboveOne) {
  const struct {
    std::string Message;
    std::string Shown;
  } Cases[] = {
      {"abc", "abc."}, {"abc.", "abc."}, {"abc!", "abc!"}, {"a/", "a/."},
      {"", ""},        {"1", "1."},      {"a-", "a-"},     {"Port COM3 gone\n", "Port COM3 gone\n"},
      {"é", "é."},
  };
  for (const auto& Case : Cases) {
    H.Backend->ClearMessageBoxes();
    try {
      throw Exception(Case.Message);
    } catch (...) {
      H.App->HandleException(nullptr);
    }
    ASSERT_EQ(Boxes().size(), 1u) << Case.Message;
    EXPECT_EQ(Boxes()[0].Text, Case.Shown) << Case.Message;
  }
}

TEST_F(ApplicationTest, TheFailureBoxCarriesTheTitleAnErrorIconAndOneOk) {
  try {
    throw std::runtime_error("disk full");
  } catch (...) {
    H.App->HandleException(nullptr);
  }
  ASSERT_EQ(Boxes().size(), 1u);
  EXPECT_EQ(Boxes()[0].Kind, TMessageBoxKind::mbFailure);
  EXPECT_EQ(Boxes()[0].Caption, "Micsettings");
  EXPECT_EQ(Boxes()[0].Text, "disk full.");
  EXPECT_EQ(Boxes()[0].Button, "OK");
  EXPECT_TRUE(Boxes()[0].ErrorIcon);
}

TEST_F(ApplicationTest, HandleExceptionOutsideACatchShowsNothing) {
  H.App->HandleException(nullptr);
  EXPECT_TRUE(Boxes().empty());
}

TEST_F(ApplicationTest, TheThreeBoxesHaveTheirCaptionsIconsAndButtons) {
  ErrorBox("line one\nline two");
  NoticeBox("notice");
  FailureBox("failure");
  ASSERT_EQ(Boxes().size(), 3u);
  EXPECT_EQ(Boxes()[0].Kind, TMessageBoxKind::mbError);
  EXPECT_EQ(Boxes()[0].Caption, "Error");
  EXPECT_EQ(Boxes()[0].Text, "line one\nline two");
  EXPECT_EQ(Boxes()[0].Button, "Cancel");
  EXPECT_TRUE(Boxes()[0].ErrorIcon);
  EXPECT_EQ(Boxes()[1].Kind, TMessageBoxKind::mbNotice);
  EXPECT_EQ(Boxes()[1].Caption, "Micsettings");
  EXPECT_EQ(Boxes()[1].Button, "OK");
  EXPECT_FALSE(Boxes()[1].ErrorIcon);
  EXPECT_EQ(Boxes()[2].Kind, TMessageBoxKind::mbFailure);
  EXPECT_EQ(Boxes()[2].Text, "failure");
}

TEST_F(ApplicationTest, TimersGoOnTickingWhileABoxIsOpen) {
  TTimer Timer(nullptr);
  Timer.SetInterval(500);
  int Ticks = 0;
  Timer.OnTimer = [&](TObject*) { ++Ticks; };
  int TicksWhileOpen = -1;
  H.Backend->OnMessageBox = [&](const TMessageBoxRecord&) {
    H.Backend->Advance(1000ms);
    TicksWhileOpen = Ticks;
  };
  ErrorBox("modal");
  EXPECT_EQ(TicksWhileOpen, 2);
}

TEST_F(ApplicationTest, ABoxOpenedByATickLetsTheSameTimerTickAgain) {
  TTimer Timer(nullptr);
  Timer.SetInterval(100);
  std::vector<std::uint64_t> Ticks;
  Timer.OnTimer = [&](TObject*) {
    Ticks.push_back(H.Backend->Now());
    if (Ticks.size() == 1)
      ErrorBox("from a tick");
  };
  H.Backend->OnMessageBox = [&](const TMessageBoxRecord&) { H.Backend->Advance(200ms); };
  H.Backend->Advance(100ms);
  EXPECT_EQ(Ticks, (std::vector<std::uint64_t>{100, 200, 300}));
}

// The hook list: Result 0 first, order of adding, first true wins, failures reported.
class HookTest : public ApplicationTest {
 protected:
  std::vector<std::string> Calls;
  TWindowHook Hook(const std::string& Name, bool Handles) {
    return [this, Name, Handles](TMessage& M) {
      Calls.push_back(Name + ":" + std::to_string(M.Result));
      M.Result = 5;
      return Handles;
    };
  }
  int Owners[4] = {};
};

TEST_F(HookTest, HooksRunInOrderEachSeeingResultZeroFirstAndTheFirstTrueEndsIt) {
  H.App->HookMainWindow(&Owners[0], Hook("a", false));
  H.App->HookMainWindow(&Owners[1], Hook("b", true));
  H.App->HookMainWindow(&Owners[2], Hook("c", false));
  TMessage M{kWmDeviceChange, 0, 0, 99};
  EXPECT_TRUE(H.Backend->DeliverMessage(M));
  EXPECT_EQ(Calls, (std::vector<std::string>{"a:0", "b:5"}));
  EXPECT_EQ(M.Result, 5);
}

TEST_F(HookTest, UnhookRemovesOnlyThatOwnersHook) {
  H.App->HookMainWindow(&Owners[0], Hook("a", false));
  H.App->HookMainWindow(&Owners[1], Hook("b", false));
  H.App->UnhookMainWindow(&Owners[0]);
  TMessage M{1, 0, 0, 0};
  EXPECT_FALSE(H.Backend->DeliverMessage(M));
  EXPECT_EQ(Calls, (std::vector<std::string>{"b:0"}));
}

TEST_F(HookTest, AFailingHookIsReportedAndTheLaterHooksAreSkipped) {
  H.App->HookMainWindow(&Owners[0], [](TMessage&) -> bool { throw Exception("hook broke"); });
  H.App->HookMainWindow(&Owners[1], Hook("b", false));
  TMessage M{1, 0, 0, 0};
  H.Backend->DeliverMessage(M);
  EXPECT_TRUE(Calls.empty());
  ASSERT_EQ(Boxes().size(), 1u);
  EXPECT_EQ(Boxes()[0].Text, "hook broke.");
  // The next message reaches both hooks again.
  H.App->UnhookMainWindow(&Owners[0]);
  H.Backend->DeliverMessage(M);
  EXPECT_EQ(Calls, (std::vector<std::string>{"b:0"}));
}

TEST_F(HookTest, AHookMayUnhookItselfOrALaterOneWhileDispatching) {
  H.App->HookMainWindow(&Owners[0], [&](TMessage&) {
    Calls.push_back("a");
    H.App->UnhookMainWindow(&Owners[0]);
    H.App->UnhookMainWindow(&Owners[1]);
    return false;
  });
  H.App->HookMainWindow(&Owners[1], Hook("b", false));
  H.App->HookMainWindow(&Owners[2], Hook("c", false));
  TMessage M{1, 0, 0, 0};
  H.Backend->DeliverMessage(M);
  H.Backend->DeliverMessage(M);
  EXPECT_EQ(Calls, (std::vector<std::string>{"a", "c:0", "c:0"}));
}

TEST_F(HookTest, SendAppMessageOnTheMainThreadDispatchesAtOnce) {
  H.App->HookMainWindow(&Owners[0], Hook("a", false));
  TMessage M{kWmDeviceChange, 0, 0, 0};
  H.App->SendAppMessage(M);
  EXPECT_EQ(Calls, (std::vector<std::string>{"a:0"}));
}

TEST_F(ApplicationTest, ClosingTheMainFormEndsRun) {
  auto* Form = H.App->CreateForm<TForm>();
  // Run waits in real time: the close comes from another thread, through the loop.
  std::thread Closer([&] { TThread::Synchronize(nullptr, [&] { Form->Close(); }); });
  H.App->Run();
  Closer.join();
  EXPECT_TRUE(H.App->Terminated());
  EXPECT_FALSE(H.Backend->FormVisible(*Form));
}

TEST_F(ApplicationTest, AFailureInTheCreationHandlerIsReportedAndStartUpGoesOn) {
  struct TFailingForm : TForm {
    explicit TFailingForm(TComponent* AOwner) : TForm(AOwner) {
      OnCreate = [](TObject*) { throw Exception("creation failed"); };
    }
  };
  auto* Form = H.App->CreateForm<TFailingForm>();
  EXPECT_EQ(H.App->MainForm(), Form);
  ASSERT_EQ(Boxes().size(), 1u);
  EXPECT_EQ(Boxes()[0].Text, "creation failed.");
}

TEST_F(ApplicationTest, OnCloseCanRefuseTheClose) {
  auto* Form = H.App->CreateForm<TForm>();
  Form->Show();
  Form->OnClose = [](TObject*, TCloseAction& Action) { Action = caNone; };
  Form->Close();
  EXPECT_FALSE(H.App->Terminated());
  EXPECT_TRUE(H.Backend->FormVisible(*Form));
}

}  // namespace

}  // namespace vantor
