#include "gui/app/LedIndicator.h"

#include <QFontMetrics>
#include <QPainter>
#include <QRadialGradient>

namespace omnar::gui::app {

namespace {
constexpr int kLamp = 14; // the lamp's diameter and its widget's side
}

LedIndicator::LedIndicator(QColor litColour, QWidget* parent)
    : QWidget(parent)
    , m_litColour(litColour)
{
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    setAccessibleDescription(QStringLiteral("off"));
}

void LedIndicator::setLit(bool lit)
{
    if (m_lit == lit)
        return;
    m_lit = lit;
    setAccessibleDescription(lit ? QStringLiteral("lit") : QStringLiteral("off"));
    update();
}

void LedIndicator::setCaption(const QString& caption)
{
    if (m_caption == caption)
        return;
    m_caption = caption;
    updateGeometry();
    update();
}

QSize LedIndicator::sizeHint() const
{
    if (m_caption.isEmpty())
        return {kLamp, kLamp};
    const QFontMetrics fm(font());
    return {qMax(kLamp, fm.horizontalAdvance(m_caption) + 4), kLamp + 2 + fm.height()};
}

void LedIndicator::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const qreal d = kLamp - 2.0;
    const QRectF r((width() - d) / 2.0, m_caption.isEmpty() ? (height() - d) / 2.0 : 1.0, d, d);
    if (!m_caption.isEmpty()) {
        p.setPen(palette().color(QPalette::WindowText));
        p.drawText(QRect(0, kLamp + 2, width(), height() - kLamp - 2), Qt::AlignHCenter | Qt::AlignTop, m_caption);
    }

    const QColor body = m_lit ? m_litColour : m_litColour.darker(400);
    QRadialGradient g(r.center() - QPointF(d / 5.0, d / 5.0), d / 1.4);
    g.setColorAt(0.0, m_lit ? body.lighter(170) : body.lighter(130));
    g.setColorAt(1.0, body);
    p.setPen(QPen(QColor(60, 60, 60), 1.0));
    p.setBrush(g);
    p.drawEllipse(r);
}

} // namespace omnar::gui::app
