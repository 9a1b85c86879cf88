#include "gui/widgets/CSpinButton.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QStyleOption>

namespace omnar::gui::widgets {

namespace {

constexpr int kRepeatDelayMs = 400;
constexpr int kRepeatIntervalMs = 60;

// A screen reader's view: a spin box whose increase is the up arrow.
class AccessibleSpinButton : public QAccessibleWidget {
public:
    explicit AccessibleSpinButton(QWidget* w)
        : QAccessibleWidget(w, QAccessible::SpinBox)
    {
    }

    QStringList actionNames() const override
    {
        if (!widget()->isEnabled())
            return {};
        return {increaseAction(), decreaseAction()};
    }

    void doAction(const QString& action) override
    {
        auto* spin = static_cast<CSpinButton*>(widget());
        if (!spin->isEnabled())
            return;
        if (action == increaseAction())
            spin->step(-1);
        else if (action == decreaseAction())
            spin->step(+1);
    }

    QStringList keyBindingsForAction(const QString& action) const override
    {
        if (action == increaseAction())
            return {QStringLiteral("Up")};
        if (action == decreaseAction())
            return {QStringLiteral("Down")};
        return {};
    }
};

QAccessibleInterface* accessibleFactory(const QString& className, QObject* object)
{
    if (className == QLatin1String(CSpinButton::staticMetaObject.className()) && object && object->isWidgetType())
        return new AccessibleSpinButton(static_cast<QWidget*>(object));
    return nullptr;
}

} // namespace

CSpinButton::CSpinButton(QWidget* parent)
    : QWidget(parent)
{
    static const bool factoryInstalled = [] {
        QAccessible::installFactory(accessibleFactory);
        return true;
    }();
    Q_UNUSED(factoryInstalled);

    setFocusPolicy(Qt::TabFocus);
    m_repeat.setSingleShot(false);
    connect(&m_repeat, &QTimer::timeout, this, [this] {
        m_repeat.setInterval(kRepeatIntervalMs);
        if (m_pressed != Part::None)
            step(m_pressed == Part::Up ? -1 : +1);
    });
}

void CSpinButton::step(int delta)
{
    if (isEnabled())
        emit stepped(delta);
}

CSpinButton::Part CSpinButton::partAt(int y) const
{
    return y < height() / 2 ? Part::Up : Part::Down;
}

void CSpinButton::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    const int half = height() / 2;
    const QRect halves[] = {QRect(0, 0, width(), half), QRect(0, half, width(), height() - half)};
    for (int i = 0; i < 2; ++i) {
        const Part part = i == 0 ? Part::Up : Part::Down;
        QStyleOptionButton button;
        button.initFrom(this);
        button.rect = halves[i];
        button.state |= m_pressed == part ? QStyle::State_Sunken : QStyle::State_Raised;
        style()->drawPrimitive(QStyle::PE_PanelButtonBevel, &button, &p, this);

        QStyleOption arrow;
        arrow.initFrom(this);
        arrow.rect = halves[i].adjusted(3, 2, -3, -2);
        if (m_pressed == part)
            arrow.rect.translate(1, 1);
        style()->drawPrimitive(i == 0 ? QStyle::PE_IndicatorArrowUp : QStyle::PE_IndicatorArrowDown, &arrow, &p,
                               this);
    }
    if (hasFocus()) {
        QStyleOptionFocusRect focus;
        focus.initFrom(this);
        focus.rect = rect().adjusted(2, 2, -2, -2);
        style()->drawPrimitive(QStyle::PE_FrameFocusRect, &focus, &p, this);
    }
}

void CSpinButton::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton) {
        QWidget::mousePressEvent(event);
        return;
    }
    m_pressed = partAt(event->position().toPoint().y());
    update();
    step(m_pressed == Part::Up ? -1 : +1);
    m_repeat.start(kRepeatDelayMs);
}

void CSpinButton::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton)
        release();
    QWidget::mouseReleaseEvent(event);
}

void CSpinButton::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Up)
        step(-1);
    else if (event->key() == Qt::Key_Down)
        step(+1);
    else
        QWidget::keyPressEvent(event);
}

void CSpinButton::changeEvent(QEvent* event)
{
    // A field that turns busy must not keep stepping on a held arrow.
    if (event->type() == QEvent::EnabledChange && !isEnabled())
        release();
    QWidget::changeEvent(event);
}

void CSpinButton::release()
{
    m_repeat.stop();
    m_pressed = Part::None;
    update();
}

} // namespace omnar::gui::widgets
