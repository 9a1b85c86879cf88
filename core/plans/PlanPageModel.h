#pragma once

#include "core/plans/AddPlanForm.h"
#include "core/plans/CInfoPlan.h"
#include "core/plans/PlanItem.h"
#include "core/plans/PlanTexts.h"

#include <optional>
#include <string>
#include <vector>

namespace omnar::plans {

// A message box of the plan editor: English, language id 1033, Yes and No buttons.
struct PlanMessage {
    std::string text;
    std::string caption;
    // Says that the plans could not be stored or read: one such message is
    // enough however many pages ran into the file.
    bool aboutFile = false;

    friend bool operator==(const PlanMessage&, const PlanMessage&) = default;
};

// One list row: its Name ("TimeN") and the cells after it, and the plan it shows.
struct PlanRow {
    std::string name;
    std::vector<std::string> cells;
    PlanItem plan;
};

struct PlanColumn {
    PlanText caption;
    int widthNumerator;   // share of the list view's width
    int widthDenominator;
};

// The logic of one list page of the plan editor (CDayPlan, CWeekPlan,
// CMonthPlan, COncePlan): its rows, Add, Modify and Delete, and the
// rewriting of its section of the profile file. The page's list mirrors the
// store's list of its kind; every change is written to the file at once.
//
// Actions that open the plan dialog come in two steps: begin… tells what to
// show (a message, or the dialog's preset), finish… takes the dialog's
// result (nothing for Cancel). Every result lists the messages to show, in
// order; it ends with one that says so when the action's last write of the
// section failed, so the list never passes for what the file holds.
class PlanPageModel {
public:
    // A page lists at most this many rows while it reads the file.
    static constexpr int kRowLimit = 240;

    PlanPageModel(PlanKind kind, CInfoPlan& store, bool chinese = false);

    PlanKind kind() const { return m_kind; }
    // The language of the moment: weekday labels of new rows, and the
    // 10-second rule's message.
    void setChinese(bool chinese) { m_chinese = chinese; }
    bool chinese() const { return m_chinese; }

    static PlanText tabCaption(PlanKind kind);
    // Name first, then the cells' columns.
    static std::vector<PlanColumn> columns(PlanKind kind);

    const std::vector<PlanRow>& rows() const { return m_rows; }

    // Page initialisation: FillListFromFile, then ApplyPlanOrder.
    std::vector<PlanMessage> open();

    std::vector<PlanMessage> add(const std::optional<AddPlanInput>& dialog);

    struct ModifyStart {
        std::optional<int> row;           // the row to edit; none: show `message` and stop
        AddPlanInput preset;              // what the dialog shows
        std::optional<PlanMessage> message;
    };
    // The first (lowest) selected row is the one edited.
    ModifyStart beginModify(const std::vector<int>& selectedRows) const;
    std::vector<PlanMessage> finishModify(int row, const std::optional<AddPlanInput>& dialog);

    struct DeleteStart {
        bool ask = false;    // true: `message` is the question, answer with finishDelete
        PlanMessage message; // false: show it and stop
    };
    DeleteStart beginDelete(const std::vector<int>& selectedRows) const;
    std::vector<PlanMessage> finishDelete(const std::vector<int>& selectedRows, bool answeredYes);

    // The steps the actions are made of.
    // Reads the section as the file has it into the rows (at most kRowLimit;
    // one message when there are more).
    std::vector<PlanMessage> FillListFromFile();
    // Reorders the store's list by PlanOrder, rebuilds the rows from it and
    // rewrites the section.
    void ApplyPlanOrder();
    // Replaces the section by the rows, numbered from 0 (followed by the
    // entries that were not usable, kept as they were), and stores the count
    // of entries written. Returns whether the file holds them now.
    bool RewriteSection();

private:
    // The message that ends an action: the file could not be read, or its
    // last rewrite failed; none when the file holds the list.
    std::vector<PlanMessage> withFileMessage(std::vector<PlanMessage> messages);
    std::vector<std::string> cellsFor(const PlanItem& plan) const;
    PlanMessage selectMessage(bool forModify) const;
    PlanMessage intervalMessage() const;
    std::vector<int> validSelection(const std::vector<int>& selectedRows) const;

    PlanKind m_kind;
    CInfoPlan& m_store;
    bool m_chinese;
    std::vector<PlanRow> m_rows;
    std::optional<std::string> m_readProblem; // why the last FillListFromFile could not read the file
    std::optional<std::string> m_saveProblem; // why the last RewriteSection failed
};

} // namespace omnar::plans
