#pragma once

#include "core/setup/AdvancedModel.h"
#include "gui/setup/DialogContext.h"

#include <QDialog>

namespace omnar::gui::link {
class CProgress;
class DialogJob;
} // namespace omnar::gui::link

namespace omnar::gui::setup {

class SetupControls;

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
class CCAdvanced : public QDialog {
    Q_OBJECT
public:
    explicit CCAdvanced(const DialogContext& context, QWidget* parent = nullptr);
    ~CCAdvanced() override;

    // The widget of a control id (advanced_ids), or nullptr.
    QWidget* control(int id) const;
    QString controlText(int id) const;
    // A device job runs.
    bool isBusy() const;
    // The please-wait window shown while a change runs.
    link::CProgress* progress() const { return m_progress; }

public slots:
    void done(int result) override;

private:
    void buildUi();
    void wire();
    void run(omnar::setup::SetupAction action);
    void applyView(const omnar::setup::SetupView& view);
    void onListActivated(int position);

    DialogContext m_context;
    omnar::setup::AdvancedModel m_model;
    SetupControls* m_controls = nullptr;
    link::DialogJob* m_job = nullptr;
    link::CProgress* m_progress = nullptr;
    int m_listShows = -1; // the position the list showed before the operator's pick
    bool m_closing = false;
};

} // namespace omnar::gui::setup
