// The simulator's device model for the page's "Try without a microphone": the same firmware
// model and host frame parser micsim plays on a pseudo-terminal, reached through two C
// functions that exchange JSON text.
#pragma once

extern "C" {

// A fresh microphone with micsim's factory settings (centre F8, left and right off, mute
// off) and firmware Version (tenths: 12 is 1.2).
void micsim_reset(int Version);
// Bytes from the host, as a JSON array of numbers; answers the device's replies, one array
// per reply, in order: [[170, 5, 1, 1, 187], ...]. Valid until the next call.
const char* micsim_feed(const char* BytesJson);
}
