#pragma once

#include "core/setup/DialogJobs.h"
#include "gui/setup/DialogContext.h"
#include "gui/widgets/ControlSet.h"

#include <QDialog>

namespace omnar::gui::link {
class CProgress;
class DialogJob;
} // namespace omnar::gui::link

namespace omnar::gui::setup {

class SetupControls;

// What the Setup and Resolution windows share: their controls by id and the
// way they carry out their model's actions. An action's view is applied,
// its job runs off the GUI thread with each report applied as it comes and
// its end handed back to the model, and its message box comes last, once
// the job is on its way: the device does not wait for the operator.
// Closing the window stops the job at its next transaction boundary; what
// it has not reported yet is dropped and nothing more is sent.
class SetupDialog : public QDialog {
public:
    // The widget of a control id, or nullptr.
    QWidget* control(int id) const;
    QString controlText(int id) const;
    // A device job runs.
    virtual bool isBusy() const = 0;

    void done(int result) override;

protected:
    SetupDialog(const DialogContext& context, widgets::ControlSet::NameOf nameOf, QWidget* parent);
    ~SetupDialog() override;

    // The model's answers to a job's report and to its end.
    virtual omnar::setup::SetupView applyReport(const omnar::setup::Report& report) = 0;
    virtual omnar::setup::SetupAction jobFinished() = 0;
    // What the window draws of a view beyond its controls (after them,
    // before the message box).
    virtual void viewApplied(const omnar::setup::SetupView& view) { (void)view; }

    void run(omnar::setup::SetupAction action);
    void applyView(const omnar::setup::SetupView& view);

    DialogContext m_context;
    SetupControls* m_controls;
    // The please-wait window of a job with a progress kind; a window whose
    // model asks for one sets it.
    link::CProgress* m_progress = nullptr;

private:
    link::DialogJob* m_job;
    bool m_closing = false;
};

} // namespace omnar::gui::setup
