#include "gui/link/CProgress.h"

#include "core/link/LinkTexts.h"
#include "gui/widgets/QtText.h"

#include <QCloseEvent>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QPixmap>

namespace omnar::gui::link {

namespace {

// The hourglass-like picture on the left of the window.
QPixmap busyPicture()
{
    QPixmap pm(32, 32);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(30, 60, 120), 2));
    p.setBrush(QColor(200, 220, 250));
    p.drawEllipse(QRectF(2, 2, 28, 28));
    p.setPen(QPen(QColor(30, 60, 120), 2.5, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(16, 16), QPointF(16, 7));
    p.drawLine(QPointF(16, 16), QPointF(23, 19));
    return pm;
}

} // namespace

CProgress::CProgress(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint)
{
    setModal(true);
    setObjectName(QStringLiteral("CProgress"));
    setAccessibleName(QStringLiteral("Please wait"));

    auto* picture = new QLabel(this);
    picture->setObjectName(QStringLiteral("IDC_PROGRESS_PICTURE"));
    picture->setAccessibleName(QStringLiteral("Busy"));
    picture->setPixmap(busyPicture());

    m_text = new QLabel(qs(omnar::link::kProgressTemplateText), this);
    m_text->setObjectName(QStringLiteral("IDC_PROGRESS_TEXT"));
    m_text->setAccessibleName(m_text->text());

    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(12, 8, 12, 8);
    layout->setSpacing(12);
    layout->addWidget(picture);
    layout->addWidget(m_text, 1);
    // 229 x 26 dialog units
    setFixedSize(400, 52);
}

QString CProgress::text(int kind, bool chinese)
{
    return qs(omnar::link::progressText(kind).in(chinese));
}

QString CProgress::shownText() const
{
    return m_text->text();
}

void CProgress::requestClose()
{
    m_closeRequested.store(true);
    QMetaObject::invokeMethod(this, &CProgress::closeIfRequested, Qt::QueuedConnection);
}

int CProgress::exec()
{
    m_closing = false;
    m_text->setText(text(m_kind, m_chinese));
    m_text->setAccessibleName(m_text->text());
    // The worker may already be done; exec() would then wait for a close that never comes.
    int result = QDialog::Accepted;
    if (!m_closeRequested.load())
        result = QDialog::exec();
    // One request ends one run, so the window can be shown again.
    m_closeRequested.store(false);
    return result;
}

void CProgress::reject()
{
    if (m_closing)
        QDialog::reject();
}

void CProgress::showEvent(QShowEvent* event)
{
    // Shown again without exec(): only the next request may end this showing.
    m_closing = false;
    m_text->setText(text(m_kind, m_chinese));
    m_text->setAccessibleName(m_text->text());
    QDialog::showEvent(event);
    if (m_closeRequested.load())
        QMetaObject::invokeMethod(this, &CProgress::closeIfRequested, Qt::QueuedConnection);
}

void CProgress::closeIfRequested()
{
    if (!m_closeRequested.load() || !isVisible())
        return;
    m_closing = true;
    done(QDialog::Accepted);
}

// Only the worker ends the wait: Esc and the close box do nothing.
void CProgress::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

void CProgress::closeEvent(QCloseEvent* event)
{
    if (!m_closing) {
        event->ignore();
        return;
    }
    QDialog::closeEvent(event);
}

} // namespace omnar::gui::link
