#pragma once

#include <QColor>
#include <QPushButton>

namespace omnar::gui::widgets {

// A push button that paints itself in colours of its own: a flat fill, a
// hand-drawn 3-D bevel (raised, or sunken while pressed), a black outline
// while it has the focus or is the default button, an embossed caption when
// disabled. The Fast Mosaic grid uses one per screen and colours it by the
// screen's state. It only draws: clicks, keys and accessibility are the
// push button's own, and its accessible name is its caption.
class CColorButton : public QPushButton {
    Q_OBJECT
public:
    explicit CColorButton(QWidget* parent = nullptr);
    explicit CColorButton(const QString& caption, QWidget* parent = nullptr);

    // The colour-setting step: caption colour and fill, then a redraw.
    void setColours(const QColor& text, const QColor& background);

    QColor textColour() const { return m_text; }
    QColor backgroundColour() const { return m_background; }
    void setDisabledBackgroundColour(const QColor& c);
    // Bevel lines: highlight outer and light inner on the top and left,
    // dark shadow outer and shadow inner on the bottom and right.
    void setBevelColours(const QColor& highlight, const QColor& light, const QColor& shadow, const QColor& darkShadow);

    // Captions split at line feeds when set; one line otherwise.
    void setMultiLine(bool on);
    bool isMultiLine() const { return m_multiLine; }
    // Left/Right and Top/Bottom, each alone or both (= centred); none of
    // them centres the caption on one line. AlignHCenter and AlignVCenter
    // count as both bits of their direction.
    void setCaptionAlignment(Qt::Alignment alignment);
    Qt::Alignment captionAlignment() const { return m_alignment; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void drawCaption(class QPainter& p, const QRect& textRect, const QColor& colour) const;

    QColor m_text;
    QColor m_background;
    QColor m_disabledBackground;
    QColor m_highlight;
    QColor m_light;
    QColor m_shadow;
    QColor m_darkShadow;
    bool m_multiLine = false;
    Qt::Alignment m_alignment;
};

} // namespace omnar::gui::widgets
