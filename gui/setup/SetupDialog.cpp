#include "gui/setup/SetupDialog.h"

#include "gui/link/CProgress.h"
#include "gui/link/DialogJob.h"
#include "gui/setup/SetupControls.h"
#include "gui/widgets/QtText.h"

#include <utility>

namespace omnar::gui::setup {

namespace core = omnar::setup;

SetupDialog::SetupDialog(const DialogContext& context, widgets::ControlSet::NameOf nameOf, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint)
    , m_context(context)
    , m_controls(new SetupControls(nameOf, this))
    , m_job(new link::DialogJob(context.link, this))
{
    setModal(true);
    // Busy, not blocked: the window still moves and Exit still works.
    connect(m_job, &link::DialogJob::busyChanged, this, [this](bool busy) {
        if (busy)
            setCursor(Qt::BusyCursor);
        else
            unsetCursor();
    });
}

SetupDialog::~SetupDialog()
{
    m_closing = true;
    m_job->stop();
}

QWidget* SetupDialog::control(int id) const
{
    return m_controls->widget(id);
}

QString SetupDialog::controlText(int id) const
{
    return m_controls->text(id);
}

void SetupDialog::done(int result)
{
    // Exit, Esc and the close box.
    m_closing = true;
    m_job->stop();
    if (m_progress)
        m_progress->hide();
    QDialog::done(result);
}

void SetupDialog::run(core::SetupAction action)
{
    if (m_closing)
        return;
    const auto message = std::move(action.view.message);
    action.view.message.reset();
    applyView(action.view);
    if (action.job) {
        const bool withProgress = m_progress && action.progressKind != 0;
        m_job->startReporting<core::Report>(
            std::move(*action.job), [this](const core::Report& report) { applyView(applyReport(report)); },
            [this, withProgress](bool) {
                // The window closes with the job, however late it appeared.
                if (withProgress)
                    m_progress->requestClose();
                run(jobFinished());
            });
        if (withProgress) {
            m_progress->reset();
            m_progress->setLanguage(m_context.device.chinese);
            m_progress->setKind(action.progressKind);
            m_progress->show();
        }
    }
    if (message)
        SetupControls::showMessage(*message, m_context.messageHandler, this);
}

void SetupDialog::applyView(const core::SetupView& view)
{
    if (view.title)
        setWindowTitle(qs(*view.title));
    m_controls->apply(view);
    viewApplied(view);
    if (view.message)
        SetupControls::showMessage(*view.message, m_context.messageHandler, this);
}

} // namespace omnar::gui::setup
