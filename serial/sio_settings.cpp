#include "serial/sio_settings.h"

namespace vantor {

void TSioPersistent::EndUpdate() {
  if (FUpdateCount > 0)
    --FUpdateCount;
  Changed();
}

void TSioPersistent::Changed() {
  if (FUpdateCount == 0)
    Fire(FOnChange, this);
}

void TSioBuffers::Store(TSioIntW& Field, TSioIntW Value) {
  if (Field == Value)
    return;
  Field = Value;
  Changed();
}

void TSioBuffers::Assign(const TPersistent& Source) {
  const auto* Other = dynamic_cast<const TSioBuffers*>(&Source);
  if (!Other) {
    TSioPersistent::Assign(Source);
    return;
  }
  BeginUpdate();
  FReadSize = Other->FReadSize;
  FWriteSize = Other->FWriteSize;
  FReadTimeout = Other->FReadTimeout;
  FWriteTimeout = Other->FWriteTimeout;
  FXonLimit = Other->FXonLimit;
  FXoffLimit = Other->FXoffLimit;
  EndUpdate();
}

void TSioFlowControl::Assign(const TPersistent& Source) {
  const auto* Other = dynamic_cast<const TSioFlowControl*>(&Source);
  if (!Other) {
    TSioPersistent::Assign(Source);
    return;
  }
  BeginUpdate();
  SetOutCtsFlow(Other->FOutCtsFlow);
  SetOutDsrFlow(Other->FOutDsrFlow);
  SetControlDtr(Other->FControlDtr);
  SetControlRts(Other->FControlRts);
  SetXonXoffOut(Other->FXonXoffOut);
  SetXonXoffIn(Other->FXonXoffIn);
  SetDsrSensitivity(Other->FDsrSensitivity);
  SetTxContinueOnXoff(Other->FTxContinueOnXoff);
  EndUpdate();
}

void TSioEventChars::Assign(const TPersistent& Source) {
  const auto* Other = dynamic_cast<const TSioEventChars*>(&Source);
  if (!Other) {
    TSioPersistent::Assign(Source);
    return;
  }
  BeginUpdate();
  for (int Index = ixXonChar; Index <= ixEofChar; ++Index) {
    SetEventChar(Index, Other->EventCharAt(Index));
  }
  EndUpdate();
}

void TSioEventChars::SetEventChar(int Index, char Value) {
  switch (Index) {
    case ixXonChar:
      FXonChar = Value;
      break;
    case ixXoffChar:
      FXoffChar = Value;
      break;
    case ixErrorChar:
      FErrorChar = Value;
      break;
    case ixEventChar:
      FEventChar = Value;
      break;
    case ixEofChar:
      FEofChar = Value;
      break;
    default:
      return;
  }
  Changed();
}

char TSioEventChars::EventCharAt(int Index) const {
  switch (Index) {
    case ixXonChar:
      return FXonChar;
    case ixXoffChar:
      return FXoffChar;
    case ixErrorChar:
      return FErrorChar;
    case ixEventChar:
      return FEventChar;
    case ixEofChar:
      return FEofChar;
    default:
      return 0;
  }
}

void TSettingsStore::Assign(const TPersistent& Source) {
  const auto* Other = dynamic_cast<const TSettingsStore*>(&Source);
  if (!Other)
    return;
  FKey = Other->FKey;
  FLocation = Other->FLocation;
  FRegRoot = Other->FRegRoot;
  FSection = Other->FSection;
}

}  // namespace vantor
