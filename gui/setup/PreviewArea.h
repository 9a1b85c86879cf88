#pragma once

#include "core/setup/WindowGeometry.h"

#include <QColor>
#include <QHash>
#include <QWidget>

#include <functional>

class QLabel;

namespace omnar::gui::setup {

// A black area that draws windows of the output raster to scale: each one a
// filled rectangle (a label, so it can carry a caption) placed where the
// placer says. Placed again whenever the area changes size.
class PreviewArea : public QWidget {
    Q_OBJECT
public:
    // Where a rectangle goes, in the area's own coordinates.
    using Placer = std::function<omnar::setup::PixelRect(int rectId, const omnar::setup::PixelRect& area)>;

    PreviewArea(QSize size, QWidget* parent = nullptr);

    void setPlacer(Placer placer) { m_placer = std::move(placer); }
    // A rectangle filled with `fill`, its caption in black; later ones lie on top.
    QLabel* addRect(int rectId, const QColor& fill);
    QLabel* rectLabel(int rectId) const { return m_rects.value(rectId, nullptr); }
    bool hasRect(int rectId) const { return m_rects.contains(rectId); }
    void place(int rectId);
    void placeAll();

    QSize sizeHint() const override { return m_size; }
    QSize minimumSizeHint() const override { return m_size; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    QSize m_size;
    Placer m_placer;
    QHash<int, QLabel*> m_rects;
};

} // namespace omnar::gui::setup
