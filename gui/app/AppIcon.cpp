#include "gui/app/AppIcon.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPixmap>

namespace omnar::gui::app {

namespace {

// A screen with a two-by-two wall on it: the processor's job in one picture.
QImage drawIcon(int size)
{
    QImage pm(size, size, QImage::Format_ARGB32_Premultiplied);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    const qreal s = size;

    QLinearGradient bezel(0, 0, 0, s);
    bezel.setColorAt(0, QColor(70, 80, 95));
    bezel.setColorAt(1, QColor(25, 30, 40));
    p.setPen(Qt::NoPen);
    p.setBrush(bezel);
    p.drawRoundedRect(QRectF(s * 0.04, s * 0.10, s * 0.92, s * 0.68), s * 0.08, s * 0.08);

    const QColor tiles[] = {QColor(40, 150, 255), QColor(40, 200, 120), QColor(255, 170, 0),
                            QColor(230, 70, 70)};
    const qreal x0 = s * 0.11, y0 = s * 0.17, w = s * 0.38, h = s * 0.26, gap = s * 0.02;
    for (int i = 0; i < 4; ++i) {
        p.setBrush(tiles[i]);
        p.drawRect(QRectF(x0 + (i % 2) * (w + gap), y0 + (i / 2) * (h + gap), w, h));
    }

    p.setBrush(QColor(50, 55, 65));
    p.drawRect(QRectF(s * 0.44, s * 0.78, s * 0.12, s * 0.10));
    p.drawRoundedRect(QRectF(s * 0.26, s * 0.86, s * 0.48, s * 0.07), s * 0.03, s * 0.03);
    p.end();
    return pm;
}

} // namespace

QIcon appIcon()
{
    QIcon icon;
    for (int size : {16, 24, 32, 48, 64})
        icon.addPixmap(QPixmap::fromImage(drawIcon(size)));
    return icon;
}

QImage appIconImage(int size)
{
    return drawIcon(size);
}

} // namespace omnar::gui::app
