#pragma once

#include <QIcon>

namespace omnar::gui::app {

// The program's icon, drawn at the sizes the window manager asks for.
QIcon appIcon();

} // namespace omnar::gui::app
