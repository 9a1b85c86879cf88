#include "gui/setup/SpinArrows.h"

#include <QToolButton>
#include <QVBoxLayout>

namespace omnar::gui::setup {

namespace {

QToolButton* arrow(Qt::ArrowType type, const QString& name, QWidget* parent)
{
    auto* b = new QToolButton(parent);
    b->setArrowType(type);
    b->setAutoRepeat(false);
    b->setFocusPolicy(Qt::NoFocus);
    b->setFixedSize(18, 12);
    b->setAccessibleName(name);
    return b;
}

} // namespace

SpinArrows::SpinArrows(QWidget* parent)
    : QWidget(parent)
    , m_up(arrow(Qt::UpArrow, QStringLiteral("Up"), this))
    , m_down(arrow(Qt::DownArrow, QStringLiteral("Down"), this))
{
    m_up->setObjectName(QStringLiteral("up"));
    m_down->setObjectName(QStringLiteral("down"));
    auto* v = new QVBoxLayout(this);
    v->setContentsMargins(0, 0, 0, 0);
    v->setSpacing(0);
    v->addWidget(m_up);
    v->addWidget(m_down);
    connect(m_up, &QToolButton::clicked, this, [this] { emit stepped(-1); });
    connect(m_down, &QToolButton::clicked, this, [this] { emit stepped(+1); });
}

} // namespace omnar::gui::setup
