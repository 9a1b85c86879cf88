#pragma once

#include <QObject>
#include <QPointer>

#include <functional>

class QAbstractButton;

namespace omnar::gui::widgets {

// Tells the operator's activation of a radio button or check box from a
// change of state the program makes. The operator acts by a click (mouse,
// keyboard, accessibility press) or by the accessibility toggle, which
// changes the state without a click; either runs the button's action once.
// What the program checks or unchecks (setChecked, or any change made while
// a ProgramChange lives) runs nothing. GUI thread only.
class ButtonActivation : public QObject {
public:
    explicit ButtonActivation(QObject* parent);

    // Runs `action` once per operator activation of `button`.
    void onActivated(QAbstractButton* button, std::function<void()> action);

    // Checks or unchecks `button` as the program. Unchecking works in an
    // exclusive group too: the device may report a state that checks none.
    void setChecked(QAbstractButton* button, bool checked);

    // While one lives, no button's change counts as the operator's. Nests.
    class ProgramChange {
    public:
        explicit ProgramChange(ButtonActivation& activation);
        ~ProgramChange();
        ProgramChange(const ProgramChange&) = delete;
        ProgramChange& operator=(const ProgramChange&) = delete;

    private:
        ButtonActivation& m_activation;
        bool m_outer;
    };
    bool programChanging() const { return m_programChange; }

private:
    // The button between its press and its release: its toggle is part of a
    // click, which the clicked signal reports.
    QPointer<QAbstractButton> m_pressed;
    bool m_programChange = false;
};

} // namespace omnar::gui::widgets
