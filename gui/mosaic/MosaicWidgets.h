#pragma once

#include "core/util/TextPair.h"

#include <QFont>
#include <QString>

class QWidget;

// Helpers the Fast Mosaic window shares between its construction and its
// behaviour.
namespace omnar::gui::mosaic {

// Names screen readers give the controls without a caption of their own.
inline constexpr util::TextPair kAddressListName{"Device address", "设备地址"};
inline constexpr util::TextPair kCellFrameName{"Window", "窗口"};
inline constexpr util::TextPair kSelectedWindowDescription{"selected", "已选中"};

// The dialog's own font, and the cells' font at a pixel size. Sizes are in
// pixels because the controls are: text must fit its fixed box whatever
// the screen's resolution.
QFont dialogFont();
QFont cellFont(int pixelSize);
// A Windows point size at 96 dots per inch, in pixels.
int pointsToPixels(int points);

} // namespace omnar::gui::mosaic
