#include <chrono>
#include <optional>
#include <set>

#include "framework/cross_thread.h"
#include "framework/headless/headless.h"
#include "framework/headless/headless_peer.h"
#include "framework/timer_queue.h"

namespace vantor {

namespace {

class THeadlessBackendImpl final : public THeadlessBackend {
 public:
  explicit THeadlessBackendImpl(std::string AExeName) : FExeName(std::move(AExeName)) {}

  // TBackend
  void Attach(TApplication* App) override { FApp = App; }
  std::string ExeName() const override { return FExeName; }

  void RunLoop() override {
    while (FApp && !FApp->Terminated()) {
      Serve();
      if (FApp->Terminated())
        break;
      WaitForWake();
    }
  }
  void ProcessMessages() override { Serve(); }

  void WakeMainThread() override { FWake.Set(); }
  void WaitForWake() override { FWake.Wait(); }

  int StartTimer(unsigned IntervalMs, std::function<void()> Tick) override {
    return FTimers.Start(IntervalMs, FNow, std::move(Tick));
  }
  void StopTimer(int Id) override { FTimers.Stop(Id); }

  void ShowForm(TForm& Form) override {
    EnsurePeer(Form);
    for (TControl* Control : Form.Controls())
      EnsurePeer(*Control);
    FVisible.insert(&Form);
    Form.Activated();
  }
  void CloseForm(TForm& Form) override { FVisible.erase(&Form); }
  TWindowBackend* Windows() override { return this; }

  void MessageBox(TBoxKind Kind, const std::string& Caption, const std::string& Text,
                  const std::string& Button) override {
    TMessageBoxRecord Record{KindOf(Kind), Caption, Text, Button, Kind != TBoxKind::Notice};
    FBoxes.push_back(Record);
    // The box is open while the callback runs: whatever it does is served "under" it.
    const auto Handler = OnMessageBox;
    if (Handler)
      Handler(Record);
  }

  // THeadlessBackend
  std::uint64_t Now() const override { return FNow; }

  void Advance(std::chrono::milliseconds Step) override {
    const std::uint64_t Target = FNow + static_cast<std::uint64_t>(Step.count());
    for (;;) {
      Serve();
      const std::optional<std::uint64_t> Due = FTimers.NextDue();
      if (!Due || *Due > Target)
        break;
      // The clock stands at each tick while it runs, so a clock advanced inside it (from a
      // modal box) sees the timer as the platform would.
      if (*Due > FNow)
        FNow = *Due;
      FTimers.FireNext(FNow);
    }
    if (Target > FNow)
      FNow = Target;
    Serve();
  }

  bool PumpUntil(const std::function<bool()>& Done,
                 std::chrono::milliseconds RealTimeout) override {
    const auto Deadline = std::chrono::steady_clock::now() + RealTimeout;
    for (;;) {
      Serve();
      if (Done())
        return true;
      if (!FWake.WaitUntil(Deadline)) {
        Serve();
        return Done();
      }
    }
  }

  void TypeKey(THotKey& Field, std::uint8_t VirtualKey, THKModifiers Held) override {
    if (!Field.Enabled() || !Field.Visible())
      return;
    THeadlessPeer& Peer = EnsurePeer(Field);
    Field.SetFocus();
    Peer.Word = Peer.TypedWord(VirtualKey, Held);
    Field.ControlChanged();
  }

  void Click(TCheckBox& Box) override {
    if (!Box.Enabled() || !Box.Visible())
      return;
    EnsurePeer(Box);
    Box.SetFocus();
    Box.Click();
  }
  void Click(TButton& Button) override {
    if (!Button.Enabled() || !Button.Visible())
      return;
    EnsurePeer(Button);
    Button.SetFocus();
    Button.Click();
  }

  void PressTab(bool Forward) override {
    if (FApp && FApp->MainForm())
      FApp->MainForm()->SelectNext(Forward);
  }

  const std::vector<TMessageBoxRecord>& MessageBoxes() const override { return FBoxes; }
  void ClearMessageBoxes() override { FBoxes.clear(); }

  bool DeliverMessage(TMessage& Message) override { return FApp && FApp->DispatchToHooks(Message); }

  std::string HotKeyText(const THotKey& Field) const override {
    if (const auto* Peer = dynamic_cast<const THeadlessPeer*>(Field.Peer()))
      return Peer->Text();
    return std::string();
  }
  int PanelRedraws(const TStatusBar& Bar, int Index) const override {
    const auto* Peer = dynamic_cast<const THeadlessPeer*>(Bar.Peer());
    if (!Peer)
      return 0;
    const auto It = Peer->PanelRedraws.find(Index);
    return It == Peer->PanelRedraws.end() ? 0 : It->second;
  }
  int RunningTimers() const override { return FTimers.Running(); }
  bool FormVisible(const TForm& Form) const override { return FVisible.count(&Form) != 0; }

 private:
  static TMessageBoxKind KindOf(TBoxKind Kind) {
    switch (Kind) {
      case TBoxKind::Error:
        return TMessageBoxKind::mbError;
      case TBoxKind::Notice:
        return TMessageBoxKind::mbNotice;
      case TBoxKind::Failure:
        break;
    }
    return TMessageBoxKind::mbFailure;
  }

  void Serve() {
    if (FApp)
      FApp->ServeCrossThreadCalls();
  }

  // Platform windows are made when first needed, as the native toolkit does.
  THeadlessPeer& EnsurePeer(TControl& Control) {
    if (auto* Peer = dynamic_cast<THeadlessPeer*>(Control.Peer()))
      return *Peer;
    auto Made = std::make_unique<THeadlessPeer>();
    THeadlessPeer& Peer = *Made;
    Control.SetPeer(std::move(Made));
    if (auto* Field = dynamic_cast<THotKey*>(&Control))
      Field->SendRulesAndValue();
    return Peer;
  }

  TApplication* FApp = nullptr;
  std::string FExeName;

  TWakeSignal FWake;

  std::uint64_t FNow = 0;
  TTimerQueue FTimers;

  std::vector<TMessageBoxRecord> FBoxes;
  std::set<const TForm*> FVisible;
};

}  // namespace

THeadlessApp MakeHeadlessApplication(const std::string& ExeName) {
  auto Backend = std::make_unique<THeadlessBackendImpl>(ExeName);
  THeadlessBackend* Handle = Backend.get();
  auto App = std::make_unique<TApplication>(std::move(Backend));
  return THeadlessApp{std::move(App), Handle};
}

}  // namespace vantor
