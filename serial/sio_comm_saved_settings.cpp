// Saving the main settings to an INI file and loading them back. A file of its own, so that
// a program that never saves links no file streams (they double the Windows program's size).
#include "serial/sio_comm.h"
#include "serial/sio_ini.h"

namespace vantor {

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
