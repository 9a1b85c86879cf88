#pragma once

#include "core/setup/SetupView.h"
#include "gui/setup/DialogContext.h"
#include "gui/widgets/ButtonActivation.h"
#include "gui/widgets/ControlSet.h"

namespace omnar::gui::setup {

// The controls of one setup window by control id, with the model's views
// applied to them. GUI thread only.
class SetupControls : public widgets::ControlSet {
public:
    using ControlSet::ControlSet;

    // Applies a view in its order: texts, list items, tooltips, selections,
    // checks, enable states, modified marks. Title, redraws and the message
    // box are the window's. Nothing it changes counts as the operator's.
    void apply(const omnar::setup::SetupView& view);
    // Background of an edit with a modified mark.
    void setMarked(int id, bool marked);

    // The Yes/No box of a view: through `handler`, or a QMessageBox whose
    // buttons speak the box's language id.
    static void showMessage(const omnar::setup::MessageBox& box, const MessageHandler& handler, QWidget* parent);
};

} // namespace omnar::gui::setup
