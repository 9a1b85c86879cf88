#include "gui/widgets/CColorButton.h"

#include <QFontMetrics>
#include <QPainter>
#include <QStringList>

namespace omnar::gui::widgets {

namespace {

// Edges of a rectangle with the right and bottom edges outside it.
struct Box {
    int left, top, right, bottom;

    void shrink() { ++left, ++top, --right, --bottom; }
};

void topLeft(QPainter& p, const Box& b, const QColor& c)
{
    p.fillRect(QRect(b.left, b.top, b.right - b.left, 1), c);
    p.fillRect(QRect(b.left, b.top, 1, b.bottom - b.top), c);
}

// One pixel inside the box's bottom and right edges.
void bottomRight(QPainter& p, const Box& b, const QColor& c)
{
    p.fillRect(QRect(b.left, b.bottom - 1, b.right - b.left, 1), c);
    p.fillRect(QRect(b.right - 1, b.top, 1, b.bottom - b.top), c);
}

void outline(QPainter& p, const Box& b, const QColor& c)
{
    topLeft(p, b, c);
    bottomRight(p, b, c);
}

// The dotted focus frame: every other pixel.
void focusFrame(QPainter& p, const Box& b, const QColor& c)
{
    for (int x = b.left; x < b.right; x += 2) {
        p.fillRect(QRect(x, b.top, 1, 1), c);
        p.fillRect(QRect(x, b.bottom - 1, 1, 1), c);
    }
    for (int y = b.top; y < b.bottom; y += 2) {
        p.fillRect(QRect(b.left, y, 1, 1), c);
        p.fillRect(QRect(b.right - 1, y, 1, 1), c);
    }
}

} // namespace

CColorButton::CColorButton(QWidget* parent)
    : CColorButton(QString(), parent)
{
}

CColorButton::CColorButton(const QString& caption, QWidget* parent)
    : QPushButton(caption, parent)
{
    const QPalette pal = palette();
    m_text = pal.color(QPalette::ButtonText);
    m_background = pal.color(QPalette::Button);
    m_disabledBackground = pal.color(QPalette::Button);
    m_highlight = pal.color(QPalette::Light);
    m_light = pal.color(QPalette::Midlight);
    m_shadow = pal.color(QPalette::Dark);
    m_darkShadow = pal.color(QPalette::Shadow);
}

void CColorButton::setColours(const QColor& text, const QColor& background)
{
    m_text = text;
    m_background = background;
    update();
}

void CColorButton::setDisabledBackgroundColour(const QColor& c)
{
    m_disabledBackground = c;
    update();
}

void CColorButton::setBevelColours(const QColor& highlight, const QColor& light, const QColor& shadow,
                                   const QColor& darkShadow)
{
    m_highlight = highlight;
    m_light = light;
    m_shadow = shadow;
    m_darkShadow = darkShadow;
    update();
}

void CColorButton::setMultiLine(bool on)
{
    m_multiLine = on;
    update();
}

void CColorButton::setCaptionAlignment(Qt::Alignment alignment)
{
    m_alignment = alignment;
    update();
}

void CColorButton::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    const bool enabled = isEnabled();
    const bool pressed = isDown();
    const bool focused = hasFocus();

    p.fillRect(rect(), enabled ? m_background : m_disabledBackground);

    Box box{0, 0, width(), height()};
    if (pressed) {
        outline(p, box, m_darkShadow);
        box.shrink();
        outline(p, box, m_shadow);
    } else {
        if (focused || isDefault()) {
            outline(p, box, Qt::black);
            box.shrink();
        }
        topLeft(p, box, m_highlight);
        bottomRight(p, box, m_darkShadow);
        box.shrink();
        topLeft(p, box, m_light);
        bottomRight(p, box, m_shadow);
    }

    const QRect normalText = rect().translated(-1, -1);
    const QRect pressedText = rect().translated(1, 1);
    if (!enabled) {
        // Embossed: a white caption down-right, the grey one over it up-left.
        drawCaption(p, pressedText, Qt::white);
        drawCaption(p, normalText, QColor(0x80, 0x80, 0x80));
    } else {
        drawCaption(p, pressed ? pressedText : normalText, m_text);
    }

    if (focused)
        focusFrame(p, Box{4, 4, width() - 4, height() - 4}, Qt::black);
}

void CColorButton::drawCaption(QPainter& p, const QRect& r, const QColor& colour) const
{
    const QString caption = text();
    const QStringList lines = m_multiLine ? caption.split(QLatin1Char('\n')) : QStringList{caption};
    const int lineHeight = QFontMetrics(font()).height();
    const int count = static_cast<int>(lines.size());
    const int top = r.top();
    const int bottom = r.top() + r.height();
    const int left = r.left();
    const int right = r.left() + r.width();

    const bool vcentre = m_alignment.testFlag(Qt::AlignVCenter);
    const bool alignTop = vcentre || m_alignment.testFlag(Qt::AlignTop);
    const bool alignBottom = vcentre || m_alignment.testFlag(Qt::AlignBottom);
    int y;
    // A centred block is placed from the rectangle's own top, so a pressed
    // caption moves down as well as right.
    if (alignTop == alignBottom)
        y = top + (bottom - top - count * lineHeight) / 2 - 1;
    else if (alignBottom)
        y = bottom - count * lineHeight - 2;
    else
        y = top + 2;

    const bool hcentre = m_alignment.testFlag(Qt::AlignHCenter);
    const bool alignLeft = hcentre || m_alignment.testFlag(Qt::AlignLeft);
    const bool alignRight = hcentre || m_alignment.testFlag(Qt::AlignRight);
    int flags = Qt::TextShowMnemonic;
    if (alignLeft && alignRight)
        flags |= Qt::AlignHCenter | Qt::AlignTop;
    else if (alignLeft)
        flags |= Qt::AlignLeft | Qt::AlignTop;
    else if (alignRight)
        flags |= Qt::AlignRight | Qt::AlignTop;
    else
        flags |= Qt::AlignHCenter | Qt::AlignVCenter | Qt::TextSingleLine;

    p.save();
    p.setPen(colour);
    for (const QString& line : lines) {
        p.drawText(QRect(left + 3, y, (right - 3) - (left + 3), lineHeight), flags, line);
        y += lineHeight;
    }
    p.restore();
}

} // namespace omnar::gui::widgets
