// Line functions, modem and hold status, properties, the device's defaults, port names,
// and the main settings saved to an INI file and loaded back.
#include <algorithm>

#include "serial/sio_comm.h"
#include "serial/sio_dcb.h"
#include "serial/sio_errors.h"
#include "serial/sio_ini.h"

namespace vantor {

void TSioCustomComm::CommFunction(std::uint32_t Code) {
  if (!Active())
    return;
  CheckCommResult(FBackend->EscapeCommFunction(Handle(), Code), SioMsg::kCommFunction);
}

void TSioCustomComm::SetDTR(bool Value) {
  if (FFlowControl->ControlDtr() == dtrHandshake)
    RaiseCommError(SioMsg::kDtrHandshake);
  CommFunction(Value ? kSetDtr : kClrDtr);
}

void TSioCustomComm::SetRTS(bool Value) {
  const TSioControlRts Rts = FFlowControl->ControlRts();
  if (Rts == rtsHandshake || Rts == rtsToggle)
    RaiseCommError(SioMsg::kRtsHandshake);
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
    RaiseCommError(SioMsg::kPortClosed);
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

// --- Saved settings ---

std::string TSioCustomComm::IniFileName() {
  if (FSettingsStore->Key().empty()) {
    std::string Path = Application() ? Application()->ExeName() : std::string();
    const auto Slash = Path.find_last_of("/\\");
    const auto Dot = Path.find_last_of('.');
    if (Dot != std::string::npos && (Slash == std::string::npos || Dot > Slash))
      Path.erase(Dot);
    FSettingsStore->SetKey(Path + ".INI");
  }
  return FSettingsStore->Key();
}

std::string TSioCustomComm::IniSection() {
  if (FSettingsStore->Section().empty())
    FSettingsStore->SetSection(Name());
  return FSettingsStore->Section();
}

bool TSioCustomComm::SaveSettings() {
  // The registry location is not carried: nothing is saved there.
  if (FSettingsStore->Location() != slINIFile)
    return false;
  TSioIniFile Ini(IniFileName());
  const std::string Section = IniSection();
  Ini.WriteInteger(Section, "USERBAUDRATE", FUserBaudrate);
  Ini.WriteInteger(Section, "BAUDRATE", FBaudrate);
  Ini.WriteInteger(Section, "PARITY", FParity);
  Ini.WriteInteger(Section, "DATABITS", FDatabits);
  Ini.WriteInteger(Section, "PORTNUM", FPortNum);
  Ini.WriteInteger(Section, "STOPBITS", FStopbits);
  Ini.WriteString(Section, "COMNAME", "COM" + std::to_string(FPortNum));
  int Flow = 0;
  if (FFlowControl->ControlDtr() == dtrEnabled || FFlowControl->ControlRts() == rtsEnabled) {
    Flow = 1;
  } else if (FFlowControl->XonXoffOut() || FFlowControl->XonXoffIn()) {
    Flow = 2;
  }
  Ini.WriteInteger(Section, "FLOWCONTROL", Flow);
  Ini.WriteInteger(Section, "FLAG", 1);
  return Ini.UpdateFile();
}

namespace {

template <class E>
E EnumFrom(std::int32_t Value, E Last, E Fallback) {
  return Value >= 0 && Value <= static_cast<std::int32_t>(Last) ? static_cast<E>(Value) : Fallback;
}

}  // namespace

bool TSioCustomComm::LoadSettings() {
  if (FSettingsStore->Location() != slINIFile)
    return false;
  const TSioIniFile Ini(IniFileName());
  const std::string Section = IniSection();
  if (Ini.ReadInteger(Section, "FLAG", 0) != 1)
    return false;
  SetBaudrate(EnumFrom(Ini.ReadInteger(Section, "BAUDRATE", 0), br256000, brUser));
  SetUserBaudrate(Ini.ReadInteger(Section, "USERBAUDRATE", 0));
  SetParity(EnumFrom(Ini.ReadInteger(Section, "PARITY", 0), paSpace, paNone));
  SetDatabits(EnumFrom(Ini.ReadInteger(Section, "DATABITS", 0), db8, db4));
  SetPortNum(Ini.ReadInteger(Section, "PORTNUM", 0));
  SetStopbits(EnumFrom(Ini.ReadInteger(Section, "STOPBITS", 0), sb2, sb1));
  switch (Ini.ReadInteger(Section, "FLOWCONTROL", 0)) {
    case 0:
      FFlowControl->SetControlDtr(dtrDisabled);
      FFlowControl->SetControlRts(rtsDisabled);
      FFlowControl->SetXonXoffOut(false);
      FFlowControl->SetXonXoffIn(false);
      break;
    case 1:
      FFlowControl->SetControlDtr(dtrEnabled);
      FFlowControl->SetControlRts(rtsEnabled);
      FFlowControl->SetXonXoffOut(false);
      FFlowControl->SetXonXoffIn(false);
      break;
    case 2:
      FFlowControl->SetControlDtr(dtrDisabled);
      FFlowControl->SetControlRts(rtsDisabled);
      FFlowControl->SetXonXoffOut(true);
      FFlowControl->SetXonXoffIn(true);
      break;
    default:
      break;
  }
  return true;
}

}  // namespace vantor
