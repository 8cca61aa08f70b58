// The device core as the page calls it: plain C functions that take and give JSON text, so
// the WebAssembly module needs no binding library. One microphone at a time: the binding
// keeps the conversation on the open port and what the microphone was last seen to hold.
//
// Times are milliseconds on the page's clock (performance.now()). Every conversation call
// answers with the same view:
//   {"phase": "greeting", "outcome": "none", "failure": "", "firmware": "1.2",
//    "settings": {"centre": "F8", "left": "off", "right": "F2", "mute": "off"},
//    "frame": [170, 5, 1, 0, 187] or null,  the next frame to write whole, then call sent
//    "wake": 1234.0 or null,                 when tick is next needed
//    "events": [{"kind": "greeted"}, {"kind": "checked", "setting": "left",
//                "matches": false}, {"kind": "verified"}, {"kind": "failed", "text": ...}],
//    "differences": [{"setting": "left", "wrote": "F2", "read": "off"}]}
// The returned text stays valid until the next call.
#pragma once

extern "C" {

// {"settings": ["centre", "left", "right", "mute"], "keys": ["F1", ..., "F12"],
//  "off": "off", "allowed": {"centre": "F1 to F12", ...}}
const char* vantor_key_table();
// A key as a person or the browser names it ("F5", "f5", "off") in the table's spelling;
// "" for anything the microphone cannot send.
const char* vantor_key_name(const char* Text);

// A new conversation on the port just opened: greets, then reads and stays open.
const char* vantor_begin(double Now, double TimeoutMs);
// Bytes from the port, as a JSON array of numbers.
const char* vantor_receive(double Now, const char* BytesJson);
const char* vantor_tick(double Now);
// The view's frame went out whole, or could not be written (the port is lost).
const char* vantor_sent(double Now);
const char* vantor_send_failed(double Now);
// The port failed or vanished; Why is for the user.
const char* vantor_lost(double Now, const char* Why);
// Ends the conversation (the page closes the port).
void vantor_end();

// Judges named values ({"left": "F3", "mute": "on"}; a setting not named keeps what the
// microphone holds) against the microphone's settings:
//   {"refusals": [{"setting": "left", "text": "left: F2 is already set for right"}],
//    "changed": true, "settings": {...what would be written...}}
const char* vantor_plan(const char* NamedJson);
// From a conversation that has just read the settings: plans again on what it read and,
// when nothing is refused and something changes, writes and reads back. The view, with
// "plan" holding vantor_plan's answer.
const char* vantor_write(double Now, const char* NamedJson);

// The backup document of what the microphone was last seen to hold.
const char* vantor_backup();
// Reads a backup file: {"error": "settings.left: ..."} or {"settings": {named values}},
// ready for vantor_plan and vantor_write.
const char* vantor_read_backup(const char* Text);
}
