#pragma once

#include <QIcon>
#include <QImage>

namespace omnar::gui::app {

// The program's icon, drawn at the sizes the window manager asks for.
QIcon appIcon();

// The same drawing as an image, for the icon file the package installs.
// Needs no QGuiApplication.
QImage appIconImage(int size);

} // namespace omnar::gui::app
