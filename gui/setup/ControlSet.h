#pragma once

#include "core/setup/SetupView.h"
#include "gui/setup/DialogContext.h"
#include "gui/widgets/ButtonActivation.h"

#include <QHash>
#include <QObject>

#include <functional>
#include <string_view>

class QAbstractButton;
class QWidget;

namespace omnar::gui::setup {

// The controls of one setup window by control id: names them, applies the
// model's views to them and tells operator actions from the program's own
// changes. GUI thread only.
class ControlSet : public QObject {
    Q_OBJECT
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
    QWidget* widget(int id) const { return m_widgets.value(id, nullptr); }
    // Caption of a label, button or group box; contents of an edit; current
    // entry of a list.
    QString text(int id) const;
    bool isChecked(int id) const;
    // List position, -1 for none.
    int selection(int id) const;

    // Applies a view in its order: texts, list items, tooltips, selections,
    // checks, enable states, modified marks. Title, redraws and the message
    // box are the window's. Nothing it changes counts as the operator's.
    void apply(const omnar::setup::SetupView& view);
    bool applying() const { return m_activation->programChanging(); }
    // Background of an edit with a modified mark.
    void setMarked(int id, bool marked);

    // Runs `action` once per operator activation of a radio button or check
    // box (ButtonActivation); what apply() changes runs nothing.
    void onActivated(QAbstractButton* button, std::function<void()> action);

    // The Yes/No box of a view: through `handler`, or a QMessageBox whose
    // buttons speak the box's language id.
    static void showMessage(const omnar::setup::MessageBox& box, const MessageHandler& handler, QWidget* parent);

private:
    void registerWidget(int id, QWidget* widget);
    void setText(QWidget* w, const QString& text);

    NameOf m_nameOf;
    QHash<int, QWidget*> m_widgets;
    widgets::ButtonActivation* m_activation;
};

} // namespace omnar::gui::setup
