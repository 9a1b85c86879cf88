#include "gui/setup/ControlSet.h"

#include "gui/widgets/QtText.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>

namespace omnar::gui::setup {

namespace core = omnar::setup;

ControlSet::ControlSet(NameOf nameOf, QWidget* window)
    : QObject(window)
    , m_nameOf(nameOf)
    , m_activation(new widgets::ButtonActivation(this))
{
}

void ControlSet::registerWidget(int id, QWidget* widget)
{
    widget->setObjectName(qs(m_nameOf(id)));
    m_widgets.insert(id, widget);
}

QString ControlSet::text(int id) const
{
    QWidget* w = widget(id);
    if (auto* e = qobject_cast<QLineEdit*>(w))
        return e->text();
    if (auto* b = qobject_cast<QAbstractButton*>(w))
        return b->text();
    if (auto* g = qobject_cast<QGroupBox*>(w))
        return g->title();
    if (auto* l = qobject_cast<QLabel*>(w))
        return l->text();
    if (auto* c = qobject_cast<QComboBox*>(w))
        return c->currentText();
    return {};
}

bool ControlSet::isChecked(int id) const
{
    auto* b = qobject_cast<QAbstractButton*>(widget(id));
    return b && b->isChecked();
}

int ControlSet::selection(int id) const
{
    auto* c = qobject_cast<QComboBox*>(widget(id));
    return c ? c->currentIndex() : -1;
}

void ControlSet::setText(QWidget* w, const QString& text)
{
    if (auto* e = qobject_cast<QLineEdit*>(w)) {
        // An edit is named by its label, not by what it holds.
        e->setText(text);
        return;
    }
    if (auto* b = qobject_cast<QAbstractButton*>(w))
        b->setText(text);
    else if (auto* g = qobject_cast<QGroupBox*>(w))
        g->setTitle(text);
    else if (auto* l = qobject_cast<QLabel*>(w))
        l->setText(text);
    else
        return;
    w->setAccessibleName(text);
}

void ControlSet::setMarked(int id, bool marked)
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

void ControlSet::apply(const core::SetupView& view)
{
    const widgets::ButtonActivation::ProgramChange change(*m_activation);
    for (const auto& [id, text] : view.texts)
        if (QWidget* w = widget(id))
            setText(w, qs(text));
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
            if (auto* b = qobject_cast<QAbstractButton*>(widget(id)))
                m_activation->setChecked(b, false);
    for (const auto& [id, checked] : view.checked)
        if (checked)
            if (auto* b = qobject_cast<QAbstractButton*>(widget(id)))
                m_activation->setChecked(b, true);
    for (const auto& [id, enabled] : view.enabled)
        if (QWidget* w = widget(id))
            w->setEnabled(enabled);
    for (const auto& [id, marked] : view.marks)
        setMarked(id, marked);
}

void ControlSet::onActivated(QAbstractButton* button, std::function<void()> action)
{
    m_activation->onActivated(button, std::move(action));
}

void ControlSet::showMessage(const core::MessageBox& box, const MessageHandler& handler, QWidget* parent)
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
