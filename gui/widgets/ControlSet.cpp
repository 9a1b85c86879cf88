#include "gui/widgets/ControlSet.h"

#include "gui/widgets/ButtonActivation.h"
#include "gui/widgets/QtText.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>

#include <utility>

namespace omnar::gui::widgets {

QString controlText(const QWidget* w)
{
    if (auto* e = qobject_cast<const QLineEdit*>(w))
        return e->text();
    if (auto* b = qobject_cast<const QAbstractButton*>(w))
        return b->text();
    if (auto* g = qobject_cast<const QGroupBox*>(w))
        return g->title();
    if (auto* l = qobject_cast<const QLabel*>(w))
        return l->text();
    if (auto* c = qobject_cast<const QComboBox*>(w))
        return c->currentText();
    return {};
}

void setControlText(QWidget* w, const QString& text)
{
    if (auto* e = qobject_cast<QLineEdit*>(w)) {
        e->setText(text);
        return;
    }
    if (auto* c = qobject_cast<QComboBox*>(w)) {
        c->setEditText(text);
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
    // Blanks that place a caption are nothing to read out.
    w->setAccessibleName(text.trimmed());
}

ControlSet::ControlSet(NameOf nameOf, QWidget* window)
    : QObject(window)
    , m_nameOf(nameOf)
    , m_activation(new ButtonActivation(this))
{
}

void ControlSet::registerWidget(int id, QWidget* widget)
{
    widget->setObjectName(qs(m_nameOf(id)));
    m_widgets.insert(id, widget);
}

void ControlSet::setText(int id, const QString& text)
{
    if (QWidget* w = widget(id))
        setControlText(w, text);
}

bool ControlSet::isChecked(int id) const
{
    auto* b = qobject_cast<QAbstractButton*>(widget(id));
    return b && b->isChecked();
}

void ControlSet::setChecked(int id, bool checked)
{
    if (auto* b = qobject_cast<QAbstractButton*>(widget(id)))
        m_activation->setChecked(b, checked);
}

int ControlSet::selection(int id) const
{
    auto* c = qobject_cast<QComboBox*>(widget(id));
    return c ? c->currentIndex() : -1;
}

void ControlSet::setEnabled(int id, bool enabled)
{
    if (QWidget* w = widget(id))
        w->setEnabled(enabled);
}

void ControlSet::setVisible(int id, bool visible)
{
    if (QWidget* w = widget(id))
        w->setVisible(visible);
}

void ControlSet::onActivated(QAbstractButton* button, std::function<void()> action)
{
    m_activation->onActivated(button, std::move(action));
}

} // namespace omnar::gui::widgets
