#include "gui/setup/PreviewArea.h"

#include "core/setup/SetupView.h"

#include <QLabel>
#include <QPainter>

namespace omnar::gui::setup {

namespace {

QColor colour(const omnar::setup::Rgb& c)
{
    return QColor(c.r, c.g, c.b);
}

} // namespace

PreviewArea::PreviewArea(QSize size, QWidget* parent)
    : QWidget(parent)
    , m_size(size)
{
    setFixedSize(size);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

QLabel* PreviewArea::addRect(int rectId, const QColor& fill)
{
    auto* r = new QLabel(this);
    r->setAlignment(Qt::AlignCenter);
    r->setAutoFillBackground(true);
    QPalette p = r->palette();
    p.setColor(QPalette::Window, fill);
    p.setColor(QPalette::WindowText, Qt::black);
    r->setPalette(p);
    m_rects.insert(rectId, r);
    place(rectId);
    return r;
}

void PreviewArea::place(int rectId)
{
    QLabel* r = rectLabel(rectId);
    if (!r || !m_placer)
        return;
    const auto at = m_placer(rectId, omnar::setup::PixelRect{0, 0, width(), height()});
    r->setGeometry(at.x, at.y, std::max(0, at.width), std::max(0, at.height));
    r->update();
}

void PreviewArea::placeAll()
{
    for (auto it = m_rects.cbegin(); it != m_rects.cend(); ++it)
        place(it.key());
}

void PreviewArea::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.fillRect(rect(), colour(omnar::setup::kPreviewAreaColour));
}

void PreviewArea::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    placeAll();
}

} // namespace omnar::gui::setup
