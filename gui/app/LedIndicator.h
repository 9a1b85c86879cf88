#pragma once

#include <QColor>
#include <QString>
#include <QWidget>

namespace omnar::gui::app {

// A small panel lamp. "Shown" indicators of the device mirror are lit, hidden
// ones are dark, so the lamp keeps its place and the panel does not jump.
class LedIndicator : public QWidget {
    Q_OBJECT
public:
    explicit LedIndicator(QColor litColour, QWidget* parent = nullptr);

    bool isLit() const { return m_lit; }
    void setLit(bool lit);

    // Text drawn under the lamp, for a lamp whose key (which names it) is
    // hidden; empty draws the lamp alone.
    QString caption() const { return m_caption; }
    void setCaption(const QString& caption);

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QColor m_litColour;
    bool m_lit = false;
    QString m_caption;
};

} // namespace omnar::gui::app
