#pragma once

#include "core/setup/AdvancedModel.h"
#include "gui/setup/SetupDialog.h"

namespace omnar::gui::setup {

// "Resolution": the list of output modes with the device's current one
// selected. Picking another sends it and shows "Changing resolution" for
// the ten seconds the device needs; under --advanced a custom timing form
// (width, height, refresh rate) sends one after the dot-clock check. The
// decisions are the model's (AdvancedModel); the device work runs off the
// GUI thread. Closing stops the running job; nothing more is sent.
//
// The main window opens it modally on the Resolution button:
//     CCAdvanced dlg(context, this);
//     dlg.exec();
// Construction reads the device's mode at once.
class CCAdvanced : public SetupDialog {
    Q_OBJECT
public:
    // Controls by advanced_ids.
    explicit CCAdvanced(const DialogContext& context, QWidget* parent = nullptr);

    bool isBusy() const override { return m_model.busy(); }
    // The please-wait window shown while a change runs.
    link::CProgress* progress() const { return m_progress; }

private:
    omnar::setup::SetupView applyReport(const omnar::setup::Report& report) override { return m_model.apply(report); }
    omnar::setup::SetupAction jobFinished() override { return m_model.jobFinished(); }
    void viewApplied(const omnar::setup::SetupView& view) override;

    void buildUi();
    void wire();
    void onListActivated(int position);

    omnar::setup::AdvancedModel m_model;
    int m_listShows = -1; // the position the list showed before the operator's pick
};

} // namespace omnar::gui::setup
