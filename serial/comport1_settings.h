// The stored settings of the window's serial port component, Comport1: the window and
// vantor-mic open their ports with them.
#pragma once

namespace vantor {

class TSioComm;

// 115200 bit/s, 8 data bits, no parity, one stop bit, DTR and RTS on, no handshake;
// watches break, line errors, received bytes and the end of transmission.
void ApplyComport1Settings(TSioComm& Comport1);

}  // namespace vantor
