// The settings objects of a port: buffer sizes and time-outs, flow control and special
// characters. Each tells its owner (OnChange) when a value changes, so that the component
// can bring an open port up to date; BeginUpdate/EndUpdate gather changes into one notice.
#pragma once

#include <cstdint>
#include <string>

#include "framework/events.h"
#include "framework/object.h"
#include "serial/sio_types.h"

namespace vantor {

class TSioPersistent : public TPersistent {
 public:
  void BeginUpdate() { ++FUpdateCount; }
  void EndUpdate();

  const TNotifyEvent& OnChange() const { return FOnChange; }
  void SetOnChange(TNotifyEvent Handler) { FOnChange = std::move(Handler); }

 protected:
  void Changed();

 private:
  std::int32_t FUpdateCount = 0;
  TNotifyEvent FOnChange;
};

class TSioBuffers : public TSioPersistent {
 public:
  void Assign(const TPersistent& Source) override;

  TSioIntW ReadSize() const { return FReadSize; }
  void SetReadSize(TSioIntW Value) { Store(FReadSize, Value); }
  TSioIntW WriteSize() const { return FWriteSize; }
  void SetWriteSize(TSioIntW Value) { Store(FWriteSize, Value); }
  // The time-outs are read at each use, so they change without a notice.
  TSioIntW ReadTimeout() const { return FReadTimeout; }
  void SetReadTimeout(TSioIntW Value) { FReadTimeout = Value; }
  TSioIntW WriteTimeout() const { return FWriteTimeout; }
  void SetWriteTimeout(TSioIntW Value) { FWriteTimeout = Value; }
  TSioIntW XonLimit() const { return FXonLimit; }
  void SetXonLimit(TSioIntW Value) { Store(FXonLimit, Value); }
  TSioIntW XoffLimit() const { return FXoffLimit; }
  void SetXoffLimit(TSioIntW Value) { Store(FXoffLimit, Value); }

 private:
  void Store(TSioIntW& Field, TSioIntW Value);

  TSioIntW FReadSize = 4096;
  TSioIntW FWriteSize = 2048;
  TSioIntW FReadTimeout = 1000;
  TSioIntW FWriteTimeout = 1000;
  TSioIntW FXonLimit = 1024;
  TSioIntW FXoffLimit = 1024;
};

class TSioFlowControl : public TSioPersistent {
 public:
  void Assign(const TPersistent& Source) override;

  bool OutCtsFlow() const { return FOutCtsFlow; }
  void SetOutCtsFlow(bool Value) { Store(FOutCtsFlow, Value); }
  bool OutDsrFlow() const { return FOutDsrFlow; }
  void SetOutDsrFlow(bool Value) { Store(FOutDsrFlow, Value); }
  TSioControlDtr ControlDtr() const { return FControlDtr; }
  void SetControlDtr(TSioControlDtr Value) { Store(FControlDtr, Value); }
  TSioControlRts ControlRts() const { return FControlRts; }
  void SetControlRts(TSioControlRts Value) { Store(FControlRts, Value); }
  bool XonXoffOut() const { return FXonXoffOut; }
  void SetXonXoffOut(bool Value) { Store(FXonXoffOut, Value); }
  bool XonXoffIn() const { return FXonXoffIn; }
  void SetXonXoffIn(bool Value) { Store(FXonXoffIn, Value); }
  bool DsrSensitivity() const { return FDsrSensitivity; }
  void SetDsrSensitivity(bool Value) { Store(FDsrSensitivity, Value); }
  bool TxContinueOnXoff() const { return FTxContinueOnXoff; }
  void SetTxContinueOnXoff(bool Value) { Store(FTxContinueOnXoff, Value); }

 private:
  template <class T>
  void Store(T& Field, T Value) {
    if (Field == Value)
      return;
    Field = Value;
    Changed();
  }

  bool FOutCtsFlow = false;
  bool FOutDsrFlow = false;
  TSioControlDtr FControlDtr = dtrDisabled;
  TSioControlRts FControlRts = rtsDisabled;
  bool FXonXoffOut = false;
  bool FXonXoffIn = false;
  bool FDsrSensitivity = false;
  bool FTxContinueOnXoff = false;
};

class TSioEventChars : public TSioPersistent {
 public:
  // Indexes of the one setter, in field order.
  enum : int { ixXonChar = 1, ixXoffChar, ixErrorChar, ixEventChar, ixEofChar };

  void Assign(const TPersistent& Source) override;

  // Stores the value and notifies every time, also when it is unchanged: a rewrite of the
  // port's settings is what the caller asks for.
  void SetEventChar(int Index, char Value);
  char EventCharAt(int Index) const;

  char XonChar() const { return FXonChar; }
  void SetXonChar(char Value) { SetEventChar(ixXonChar, Value); }
  char XoffChar() const { return FXoffChar; }
  void SetXoffChar(char Value) { SetEventChar(ixXoffChar, Value); }
  char ErrorChar() const { return FErrorChar; }
  void SetErrorChar(char Value) { SetEventChar(ixErrorChar, Value); }
  char EventChar() const { return FEventChar; }
  void SetEventChar(char Value) { SetEventChar(ixEventChar, Value); }
  char EofChar() const { return FEofChar; }
  void SetEofChar(char Value) { SetEventChar(ixEofChar, Value); }

 private:
  char FXonChar = 17;
  char FXoffChar = 19;
  char FErrorChar = 0;
  char FEventChar = 0;
  char FEofChar = 0;
};

// Where saved settings go: an INI file (Key) and its section, or a registry key.
class TSettingsStore : public TPersistent {
 public:
  // Copies from another store; any other source is ignored.
  void Assign(const TPersistent& Source) override;

  const std::string& Key() const { return FKey; }
  void SetKey(const std::string& Value) { FKey = Value; }
  TSettingsLocation Location() const { return FLocation; }
  void SetLocation(TSettingsLocation Value) { FLocation = Value; }
  TRegRootKey RegRoot() const { return FRegRoot; }
  void SetRegRoot(TRegRootKey Value) { FRegRoot = Value; }
  const std::string& Section() const { return FSection; }
  void SetSection(const std::string& Value) { FSection = Value; }

 private:
  std::string FKey;
  TSettingsLocation FLocation = slINIFile;
  TRegRootKey FRegRoot = rrCURRENTUSER;
  std::string FSection;
};

}  // namespace vantor
