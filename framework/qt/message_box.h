// The program's message boxes on Qt: a QMessageBox with the given caption, the error icon
// or none, the text (a line break starts a new line) and exactly one button, which Enter,
// Escape and the title bar's close button all press. Modal over the whole application and
// centred on the available area of the owner's screen (where the platform lets a program
// place its windows: X11 yes, Wayland no); the event loop goes on meanwhile, so timers and
// cross-thread calls are still served.
#pragma once

#include <string>

class QWidget;

namespace vantor {

void ShowQtMessageBox(QWidget* Owner, bool ErrorIcon, const std::string& Caption,
                      const std::string& Text, const std::string& Button);

}  // namespace vantor
