#pragma once

#include <QTimer>
#include <QWidget>

namespace omnar::gui::widgets {

// An up-down arrow pair beside a field, without a value of its own: each
// step is reported and the owner decides what it means. Steps follow the
// convention the mosaic logic expects: −1 for the up arrow, +1 for the down
// arrow. Held arrows repeat; Up and Down keys step too. A screen reader
// steps it with the increase (up) and decrease (down) actions.
class CSpinButton : public QWidget {
    Q_OBJECT
public:
    explicit CSpinButton(QWidget* parent = nullptr);

    // As a click on an arrow: −1 up, +1 down.
    void step(int delta);

    QSize sizeHint() const override { return {18, 22}; }

signals:
    void stepped(int delta);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    enum class Part { None, Up, Down };
    Part partAt(int y) const;
    void release();

    Part m_pressed = Part::None;
    QTimer m_repeat;
};

} // namespace omnar::gui::widgets
