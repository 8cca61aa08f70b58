// The stored description of the main window: its widgets with their positions, sizes,
// tab order and initial states, its timers, and every event binding.
#pragma once

#include "controller/microphone_settings_form.h"

namespace vantor {

class ISerialPort;

// Creates the widgets on Form in their creation order and binds the window's, the
// widgets' and Comport1's events to the form's handlers. Comport1 is made and configured
// by the caller (it is usually owned by Form) and must outlive the form's use of it.
void LoadMicrophoneSettingsForm(TMicrophoneSettingsForm& Form, ISerialPort& Comport1);

}  // namespace vantor
