#pragma once

#include <QColor>

class QWidget;

namespace omnar::gui::widgets {

// The blue of section titles.
inline const QColor kCaptionBlue(0, 0, 255);

// Writes a section title in blue: a group box's title only (the controls
// inside keep their colours, which a palette or style sheet on the box would
// not), or a label's whole text.
void markBlueCaption(QWidget* widget);

} // namespace omnar::gui::widgets
