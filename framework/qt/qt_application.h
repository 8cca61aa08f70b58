// The Qt platform of the framework (the Linux window): the program's entry makes its
// application object here. QtWidgetOf serves the in-process tests and platform glue.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "framework/application.h"
#include "framework/controls.h"

class QWidget;

namespace vantor {

// What the program tells the desktop about itself.
struct TQtApplicationOptions {
  // The X11 window class (res_name and res_class) and Qt's application name; a desktop
  // entry's StartupWMClass names it.
  std::string ApplicationName;
  // The desktop entry's file name without ".desktop": taskbars match windows to entries
  // (and so find the icon) by it on Wayland.
  std::string DesktopFileName;
  std::string Version;
  // The windows' icon, one image per size.
  std::vector<TBitmap32> Icon;
};

// The application object on Qt Widgets (it becomes Application()). The QApplication is
// made here unless one exists already: it takes Qt's own options (-platform, -display,
// ...) out of Argc/Argv, and keeps a reference to Argc, which must outlive the application.
std::unique_ptr<TApplication> MakeQtApplication(int& Argc, char** Argv,
                                                const TQtApplicationOptions& Options);

// The widget of a form or control, or null while it has none.
QWidget* QtWidgetOf(const TControl& Control);

}  // namespace vantor
