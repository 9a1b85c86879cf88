#include "gui/setup/SetupControls.h"

#include "gui/widgets/QtText.h"

#include <QComboBox>
#include <QMessageBox>
#include <QPushButton>

namespace omnar::gui::setup {

namespace core = omnar::setup;

void SetupControls::setMarked(int id, bool marked)
{
    QWidget* w = widget(id);
    if (!w)
        return;
    const core::Rgb c = core::markColour(marked);
    QPalette p = w->palette();
    // Every colour group: the key-colour edits are disabled and painted all the
    // same, their figures dark enough to read on it.
    p.setColor(QPalette::Base, QColor(c.r, c.g, c.b));
    p.setColor(QPalette::Disabled, QPalette::Text, QColor(90, 90, 90));
    w->setPalette(p);
}

void SetupControls::apply(const core::SetupView& view)
{
    const widgets::ButtonActivation::ProgramChange change(activation());
    for (const auto& [id, text] : view.texts)
        setText(id, qs(text));
    for (const auto& [id, items] : view.items) {
        if (auto* c = qobject_cast<QComboBox*>(widget(id))) {
            c->clear();
            for (const auto& item : items)
                c->addItem(qs(item));
            c->setCurrentIndex(-1);
        }
    }
    for (const auto& [id, tip] : view.tooltips)
        if (QWidget* w = widget(id))
            w->setToolTip(qs(tip));
    for (const auto& [id, position] : view.selections)
        if (auto* c = qobject_cast<QComboBox*>(widget(id)))
            c->setCurrentIndex(position >= 0 && position < c->count() ? position : -1);
    // Unchecking first: checking a radio then unchecks its partners itself.
    for (const auto& [id, checked] : view.checked)
        if (!checked)
            setChecked(id, false);
    for (const auto& [id, checked] : view.checked)
        if (checked)
            setChecked(id, true);
    for (const auto& [id, enabled] : view.enabled)
        setEnabled(id, enabled);
    for (const auto& [id, marked] : view.marks)
        setMarked(id, marked);
}

void SetupControls::showMessage(const core::MessageBox& box, const MessageHandler& handler, QWidget* parent)
{
    const QString caption = qs(box.caption);
    const QString text = qs(box.text);
    if (handler) {
        handler(caption, text);
        return;
    }
    QMessageBox m(QMessageBox::NoIcon, caption, text, QMessageBox::Yes | QMessageBox::No, parent);
    // The buttons speak the language the box was raised with.
    const bool chinese = box.languageId == 2052;
    m.button(QMessageBox::Yes)->setText(chinese ? QStringLiteral("是(&Y)") : QStringLiteral("&Yes"));
    m.button(QMessageBox::No)->setText(chinese ? QStringLiteral("否(&N)") : QStringLiteral("&No"));
    m.exec();
}

} // namespace omnar::gui::setup
