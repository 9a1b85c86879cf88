#pragma once

#include <QWidget>

class QToolButton;

namespace omnar::gui::setup {

// The up and down arrows beside an edit. Each click reports one step as a
// spin control does: -1 for the up arrow, +1 for the down arrow. A held
// arrow does not repeat, so a step is always one click.
class SpinArrows : public QWidget {
    Q_OBJECT
public:
    explicit SpinArrows(QWidget* parent = nullptr);

    QToolButton* upArrow() const { return m_up; }
    QToolButton* downArrow() const { return m_down; }

signals:
    void stepped(int delta);

private:
    QToolButton* m_up;
    QToolButton* m_down;
};

} // namespace omnar::gui::setup
