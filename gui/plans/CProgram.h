#pragma once

// Qt before the core: moc cannot read <compare> ahead of Qt's own headers.
#include <QDialog>
#include <QHash>

#include "core/plans/AddPlanForm.h"
#include "core/plans/CInfoPlan.h"
#include "core/plans/PlanEditorModel.h"
#include "core/util/Clock.h"

#include <array>
#include <functional>
#include <optional>

class QTabWidget;

namespace omnar::gui::plans {

class CAddPlan;
class PlanPage;

// The plan editor: one tab per plan kind, each a list page that edits the
// store's list of its kind and the kind's section of the profile file. It
// talks to no device. Opening it reloads the plans from the file and
// rewrites the four sections in list order.
class CProgram : public QDialog {
    Q_OBJECT
public:
    // Answers a Yes/No message box; true for Yes.
    using MessageHandler = std::function<bool(const QString& caption, const QString& text)>;
    // Runs the plan dialog modally; returns its result code. Tests fill it in and press OK.
    using PlanDialogRunner = std::function<int(CAddPlan&)>;

    struct Options {
        bool chinese = false;
        // The device runs its V2 input as YPbPr: the V2 radio stands for YPbPr.
        bool v2IsYPbPr = false;
        // Presets the plan dialog's date and time; the real clock when none.
        util::Clock* clock = nullptr;
        // Both default to the real modal windows.
        MessageHandler messageHandler;
        PlanDialogRunner planDialogRunner;
    };

    CProgram(omnar::plans::CInfoPlan& store, Options options, QWidget* parent = nullptr);
    ~CProgram() override;

    // The widget of a control id (the editor's and its pages'), or nullptr.
    QWidget* control(int id) const;
    QTabWidget* tabs() const { return m_tabs; }
    PlanPage* page(omnar::plans::PlanKind kind) const;

    // For the pages: the plan dialog for their kind, preset with the plan
    // being modified; nothing when it was cancelled.
    std::optional<omnar::plans::AddPlanInput> runAddPlan(
        omnar::plans::PlanKind kind, const std::optional<omnar::plans::AddPlanInput>& modify);
    // For the pages: an editor message box (English Yes and No buttons).
    bool showPlanMessage(const QString& caption, const QString& text);

private:
    void buildUi();

    Options m_options;
    omnar::plans::PlanEditorModel m_model;
    QHash<int, QWidget*> m_controls;
    QTabWidget* m_tabs = nullptr;
    std::array<PlanPage*, omnar::plans::PlanEditorModel::kPageCount> m_pages{};
};

} // namespace omnar::gui::plans
