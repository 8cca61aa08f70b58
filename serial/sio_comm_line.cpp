// Line functions, modem and hold status, properties, the device's defaults and port names.
#include <algorithm>

#include "serial/sio_comm.h"
#include "serial/sio_dcb.h"
#include "serial/sio_errors.h"

namespace vantor {

void TSioCustomComm::CommFunction(std::uint32_t Code) {
  if (!Active())
    return;
  CheckCommResult(FBackend->EscapeCommFunction(Handle(), Code), SioMsg::kCommFunction);
}

void TSioCustomComm::SetDTR(bool Value) {
  if (FFlowControl->ControlDtr() == dtrHandshake)
    RaiseRuleError(SioMsg::kDtrHandshake);
  CommFunction(Value ? kSetDtr : kClrDtr);
}

void TSioCustomComm::SetRTS(bool Value) {
  const TSioControlRts Rts = FFlowControl->ControlRts();
  if (Rts == rtsHandshake || Rts == rtsToggle)
    RaiseRuleError(SioMsg::kRtsHandshake);
  CommFunction(Value ? kSetRts : kClrRts);
}

void TSioCustomComm::SetBreak(bool Value) {
  CommFunction(Value ? kSetBreak : kClrBreak);
}

void TSioCustomComm::SetXon(bool Value) {
  CommFunction(Value ? kSetXon : kSetXoff);
}

void TSioCustomComm::ResetDev() {
  CommFunction(kResetDev);
}

std::uint32_t TSioCustomComm::ModemStatus() {
  std::uint32_t Status = 0;
  if (Active() && !FBackend->GetCommModemStatus(Handle(), Status)) {
    Status = 0;
    RaiseCommError(SioMsg::kModemState);
  }
  return Status;
}

bool TSioCustomComm::CTS() {
  return (ModemStatus() & kMsCtsOn) != 0;
}
bool TSioCustomComm::DSR() {
  return (ModemStatus() & kMsDsrOn) != 0;
}
bool TSioCustomComm::RING() {
  return (ModemStatus() & kMsRingOn) != 0;
}
bool TSioCustomComm::RLSD() {
  return (ModemStatus() & kMsRlsdOn) != 0;
}

bool TSioCustomComm::HoldFlag(std::uint32_t Bit) {
  TSioPortStatus Status;
  GetComStat(Status);
  return (Status.Flags & Bit) != 0;
}

bool TSioCustomComm::CTSHold() {
  return HoldFlag(0x01);
}
bool TSioCustomComm::DSRHold() {
  return HoldFlag(0x02);
}
bool TSioCustomComm::RLSDHold() {
  return HoldFlag(0x04);
}
bool TSioCustomComm::XOffHold() {
  return HoldFlag(0x08);
}
bool TSioCustomComm::XOffSent() {
  return HoldFlag(0x10);
}

TSioCommProp TSioCustomComm::Properties() {
  FProperties = TSioCommProp{};
  if (Active()) {
    if (!FBackend->GetCommProperties(Handle(), FProperties)) {
      FProperties = TSioCommProp{};
      RaiseCommError(SioMsg::kProperties);
    }
  } else {
    RaiseRuleError(SioMsg::kPortClosed);
  }
  return FProperties;
}

void TSioCustomComm::ResetPortParameters() {
  std::string Name = GetDeviceName();
  // The default configuration is asked for by device name, without the "\\.\" prefix.
  if (Name.rfind("\\\\.\\", 0) == 0)
    Name.erase(0, 4);
  TSioDCB Dcb;
  if (!FBackend->GetDefaultCommConfig(Name, Dcb)) {
    RaiseCommError(SioMsg::kDefaultParams);
    return;
  }
  LoadFromDCB(Dcb);
}

void TSioCustomComm::LoadFromDCB(const TSioDCB& Dcb) {
  FBaudrate = BaudrateFromBits(Dcb.BaudRate, FUserBaudrate);
  FParity = ParityFromValue(Dcb.Parity);
  FDatabits = DatabitsFromValue(Dcb.ByteSize);
  FStopbits = StopbitsFromValue(Dcb.StopBits);

  FFlowControl->SetControlDtr(ControlDtrFromFlags(Dcb.Flags));
  FFlowControl->SetControlRts(ControlRtsFromFlags(Dcb.Flags));
  FFlowControl->SetOutCtsFlow((Dcb.Flags & kDcbOutxCtsFlow) != 0);
  FFlowControl->SetOutDsrFlow((Dcb.Flags & kDcbOutxDsrFlow) != 0);
  FFlowControl->SetXonXoffOut((Dcb.Flags & kDcbOutX) != 0);
  FFlowControl->SetXonXoffIn((Dcb.Flags & kDcbInX) != 0);
  FFlowControl->SetDsrSensitivity((Dcb.Flags & kDcbDsrSensitivity) != 0);
  FFlowControl->SetTxContinueOnXoff((Dcb.Flags & kDcbTxContinueOnXoff) != 0);

  FEventChars->SetEventChar(TSioEventChars::ixXonChar, Dcb.XonChar);
  FEventChars->SetEventChar(TSioEventChars::ixXoffChar, Dcb.XoffChar);
  FEventChars->SetEventChar(TSioEventChars::ixErrorChar, Dcb.ErrorChar);
  FEventChars->SetEventChar(TSioEventChars::ixEventChar, Dcb.EvtChar);
  FEventChars->SetEventChar(TSioEventChars::ixEofChar, Dcb.EofChar);

  FBuffers->SetXonLimit(Dcb.XonLim);
  FBuffers->SetXoffLimit(Dcb.XoffLim);

  FOptions = OptionsFromFlags(Dcb.Flags);
}

void TSioCustomComm::GetComPortNames(std::vector<std::string>& Value) {
  Value.clear();
  std::vector<std::string> Names;
  FBackend->RegistryPortNames(Names);
  for (const auto& Name : Names) {
    if (std::find(Value.begin(), Value.end(), Name) == Value.end())
      Value.push_back(Name);
  }
}

}  // namespace vantor
