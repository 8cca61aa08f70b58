// The window as assistive technology (AT-SPI on Linux) sees it. Qt names each widget from
// its accessible name; what it cannot know is kept here: the status bar draws its panels
// itself, so they are made its children (each a static text, "Connection: Connected"), and
// the form's window and the picture are plain widgets, which Qt would call a client area.
#pragma once

#include <QAccessible>

class QWidget;

namespace vantor {

// Qt's accessibility learns of the backend's widgets; once, before any is asked for.
void InstallAccessibleWidgets();

// The role assistive technology is told for a plain widget (Window, Graphic).
void SetAccessibleRole(QWidget& Widget, QAccessible::Role Role);

}  // namespace vantor
