// The DCB's line settings as Linux termios (termios2, so that any speed can be set).
// Failures leave errno set; a DCB the line cannot carry out is refused with EINVAL.
#pragma once

#include "serial/port_backend.h"

namespace vantor {

// Raw mode: no line editing, echo, signals or translation; reads return at once; modem
// control lines ignored, so that opening or reading never waits for carrier.
bool MakeRawLine(int Fd);

// Speed, character size, parity, stop bits, hardware and software handshake and the
// XON/XOFF characters. FramingKept is false when the driver replaced the character size or
// parity by its own (a pseudo-terminal always carries 8 bits without parity).
bool ApplyLineSettings(int Fd, const TSioDCB& Dcb, bool& FramingKept);

// Fills the fields of Dcb that termios holds; the other fields are left as they are. The
// one CRTSCTS switch is shown as the handshake Dcb already names (CTS output flow unless
// it names the RTS handshake).
bool ReadLineSettings(int Fd, TSioDCB& Dcb);

}  // namespace vantor
