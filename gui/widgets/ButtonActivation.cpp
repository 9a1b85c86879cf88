#include "gui/widgets/ButtonActivation.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QRadioButton>

#include <utility>

namespace omnar::gui::widgets {

ButtonActivation::ButtonActivation(QObject* parent)
    : QObject(parent)
{
}

void ButtonActivation::onActivated(QAbstractButton* button, std::function<void()> action)
{
    // A click toggles between pressed and released and reports clicked
    // afterwards, also on a radio that is checked already; the toggle action
    // only toggles. A radio's toggle that unchecks it is its partner's news.
    connect(button, &QAbstractButton::pressed, this, [this, button] { m_pressed = button; });
    connect(button, &QAbstractButton::released, this, [this, button] {
        if (m_pressed == button)
            m_pressed = nullptr;
    });
    connect(button, &QAbstractButton::clicked, this, [this, action] {
        if (!m_programChange)
            action();
    });
    const bool radio = qobject_cast<QRadioButton*>(button) != nullptr;
    connect(button, &QAbstractButton::toggled, this, [this, button, radio, action](bool on) {
        if (m_programChange || m_pressed == button || (radio && !on))
            return;
        action();
    });
}

void ButtonActivation::setChecked(QAbstractButton* button, bool checked)
{
    const ProgramChange change(*this);
    if (checked) {
        button->setChecked(true);
        return;
    }
    // An exclusive group, and an auto-exclusive radio, refuse to uncheck
    // their checked button.
    QButtonGroup* group = button->group();
    const bool exclusive = group && group->exclusive();
    const bool autoExclusive = button->autoExclusive();
    if (exclusive)
        group->setExclusive(false);
    if (autoExclusive)
        button->setAutoExclusive(false);
    button->setChecked(false);
    if (exclusive)
        group->setExclusive(true);
    if (autoExclusive)
        button->setAutoExclusive(true);
}

ButtonActivation::ProgramChange::ProgramChange(ButtonActivation& activation)
    : m_activation(activation)
    , m_outer(!std::exchange(activation.m_programChange, true))
{
}

ButtonActivation::ProgramChange::~ProgramChange()
{
    if (m_outer)
        m_activation.m_programChange = false;
}

} // namespace omnar::gui::widgets
