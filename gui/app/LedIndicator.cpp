#include "gui/app/LedIndicator.h"

#include <QPainter>
#include <QRadialGradient>

namespace omnar::gui::app {

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

QSize LedIndicator::sizeHint() const
{
    return {14, 14};
}

void LedIndicator::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const qreal d = qMin(width(), height()) - 2.0;
    const QRectF r((width() - d) / 2.0, (height() - d) / 2.0, d, d);

    const QColor body = m_lit ? m_litColour : m_litColour.darker(400);
    QRadialGradient g(r.center() - QPointF(d / 5.0, d / 5.0), d / 1.4);
    g.setColorAt(0.0, m_lit ? body.lighter(170) : body.lighter(130));
    g.setColorAt(1.0, body);
    p.setPen(QPen(QColor(60, 60, 60), 1.0));
    p.setBrush(g);
    p.drawEllipse(r);
}

} // namespace omnar::gui::app
