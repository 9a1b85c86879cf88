#pragma once

#include "core/link/LinkSession.h"
#include "core/panel/DeviceMirror.h"
#include "core/panel/PanelRules.h"
#include "core/plans/CInfoPlan.h"
#include "core/plans/PlanRunner.h"
#include "core/plans/PlanRunnerEvents.h"
#include "core/settings/ProfileFile.h"

#include <QObject>

#include <atomic>
#include <cstdint>
#include <functional>

namespace omnar::gui::plans {
class CProgram;
}

namespace omnar::gui::app {

class CZelvicControlDlg;

// The panel's timer: Start and Stop with the plan runner behind them, the
// Current/Next Timer panel the runner writes, and the plan editor (Program).
// The timer bar's rules are the core's (core/panel/PanelRules); this applies
// them and runs the runner on the session's link.
class TimerController : public QObject, private omnar::plans::PlanRunnerEvents {
    Q_OBJECT
public:
    // `state` and `mirror` are the panel controller's, read on the GUI thread.
    TimerController(CZelvicControlDlg& panel, panel::PanelState& state, const panel::DeviceMirror& mirror,
                    settings::ProfileFile& profile, omnar::link::LinkSession& session);
    ~TimerController() override;

    // The editor store's plan counts: loaded before anything may start the timer.
    void loadPlanCounts();

    // As the Start button: without a plan kind it says so and starts
    // nothing. True when the timer runs.
    bool start();
    // As the Stop button; also when the link goes away or the panel closes.
    // Every wait of the runner ends on the stop request, so it returns at once.
    void stop();
    bool running() const { return m_state.timerRunning; }
    const omnar::plans::PlanRunner& planRunner() const { return m_runner; }

    // What the runner's frames and its daily plans depend on.
    void setDeviceId(std::uint8_t id) { m_runner.setDeviceId(id); }
    void setV2IsYPbPr(bool on) { m_runner.setV2IsYPbPr(on); }

    // Program: the plan editor over the panel's profile file, modal.
    void openProgram();
    // Runs the editor; tests replace it (the default calls exec()).
    void setProgramRunner(std::function<void(gui::plans::CProgram&)> runner);

private:
    // PlanRunnerEvents, called on the runner's thread.
    void timerEntry(omnar::plans::TimerHalf half, const omnar::plans::TimerEntry& entry) override;
    void showTimerEntry(unsigned run, omnar::plans::TimerHalf half, const omnar::plans::TimerEntry& entry);

    CZelvicControlDlg& m_panel;
    panel::PanelState& m_state;
    const panel::DeviceMirror& m_mirror;
    omnar::link::LinkSession& m_session;
    std::function<void(gui::plans::CProgram&)> m_programRunner;
    // The editor's store; the runner reads the file into a store of its own.
    omnar::plans::CInfoPlan m_plans;
    omnar::plans::PlanRunner m_runner;
    // Counts the timer's runs, so a report of an earlier run is not shown.
    std::atomic<unsigned> m_timerRun{0};
};

} // namespace omnar::gui::app
