#pragma once

#include <QHash>
#include <QObject>
#include <QString>

#include <functional>
#include <string_view>

class QAbstractButton;
class QWidget;

namespace omnar::gui::widgets {

class ButtonActivation;

// What a control shows as text: the contents of an edit, the caption of a
// button or label, the title of a group box, the current entry of a list.
QString controlText(const QWidget* control);
// Writes it. A caption also names its control for a screen reader; an edit
// or a list is named by the label beside it, not by what it holds.
void setControlText(QWidget* control, const QString& text);

// The controls of one window by control id: each carries its id's name as
// objectName, is read and written by id, and tells the operator's clicks
// and toggles from the program's changes (ButtonActivation). GUI thread only.
class ControlSet : public QObject {
public:
    using NameOf = std::string_view (*)(int id);

    ControlSet(NameOf nameOf, QWidget* window);

    // Registers `widget` under `id` and gives it the id's name as objectName.
    template <typename W>
    W* add(int id, W* widget)
    {
        registerWidget(id, widget);
        return widget;
    }
    // nullptr for an id the window does not have.
    QWidget* widget(int id) const { return m_widgets.value(id, nullptr); }

    QString text(int id) const { return controlText(widget(id)); }
    void setText(int id, const QString& text);
    bool isChecked(int id) const;
    // Checks or unchecks as the program: no operator's action runs.
    void setChecked(int id, bool checked);
    // List position, -1 for none.
    int selection(int id) const;
    void setEnabled(int id, bool enabled);
    void setVisible(int id, bool visible);

    // Runs `action` once per operator activation of a radio button or check box.
    void onActivated(QAbstractButton* button, std::function<void()> action);
    ButtonActivation& activation() const { return *m_activation; }

private:
    void registerWidget(int id, QWidget* widget);

    NameOf m_nameOf;
    QHash<int, QWidget*> m_widgets;
    ButtonActivation* m_activation;
};

} // namespace omnar::gui::widgets
