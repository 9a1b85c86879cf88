#include "gui/app/TimerController.h"

#include "core/panel/PanelIds.h"
#include "gui/app/CZelvicControlDlg.h"
#include "gui/plans/CProgram.h"
#include "gui/widgets/QtText.h"

#include <QMetaObject>

namespace omnar::gui::app {

using namespace panel::ids;

TimerController::TimerController(CZelvicControlDlg& panel, panel::PanelState& state,
                                 const panel::DeviceMirror& mirror, settings::ProfileFile& profile,
                                 omnar::link::LinkSession& session)
    : m_panel(panel)
    , m_state(state)
    , m_mirror(mirror)
    , m_session(session)
    , m_programRunner([](gui::plans::CProgram& p) { p.exec(); })
    , m_plans(profile)
    , m_runner(profile, session.link(), *this)
{
    connect(&panel, &CZelvicControlDlg::timerStartRequested, this, &TimerController::start);
    connect(&panel, &CZelvicControlDlg::timerStopRequested, this, &TimerController::stop);
    // The boxes stay usable while the timer runs; the runner takes them at its next rebuild.
    connect(&panel, &CZelvicControlDlg::timerKindsChanged, this, [this] {
        const auto s = m_panel.timerSelection();
        m_runner.setKinds({s.day, s.week, s.month, s.once});
    });
}

TimerController::~TimerController()
{
    // The runner reports to this object and runs on the session's link.
    m_runner.stop();
}

void TimerController::loadPlanCounts()
{
    m_plans.LoadPlanCounts();
}

bool TimerController::start()
{
    if (m_runner.running())
        return true; // a second Start changes nothing
    const auto selection = m_panel.timerSelection();
    auto decision = panel::startTimer(m_state, selection, m_panel.isChinese());
    if (decision.refusal) {
        m_panel.showRefusal(*decision.refusal);
        return false;
    }
    m_panel.applyView(decision.view);
    // The runner takes the selection as it stands now.
    m_runner.setKinds({selection.day, selection.week, selection.month, selection.once});
    m_runner.setV2IsYPbPr(m_mirror.v2IsYPbPr);
    m_runner.setDeviceId(m_session.deviceId());
    ++m_timerRun;
    m_runner.start();
    return true;
}

void TimerController::stop()
{
    m_runner.stop();
    if (m_state.timerRunning)
        m_panel.applyView(panel::stopTimer(m_state));
}

void TimerController::setProgramRunner(std::function<void(gui::plans::CProgram&)> runner)
{
    m_programRunner = std::move(runner);
}

void TimerController::openProgram()
{
    gui::plans::CProgram::Options options;
    options.chinese = m_panel.isChinese();
    options.v2IsYPbPr = m_mirror.v2IsYPbPr;
    options.clock = &m_session.clock();
    gui::plans::CProgram editor(m_plans, options, &m_panel);
    m_programRunner(editor);
}

void TimerController::timerEntry(omnar::plans::TimerHalf half, const omnar::plans::TimerEntry& entry)
{
    const unsigned run = m_timerRun;
    QMetaObject::invokeMethod(this, [this, run, half, entry] { showTimerEntry(run, half, entry); },
                              Qt::QueuedConnection);
}

void TimerController::showTimerEntry(unsigned run, omnar::plans::TimerHalf half,
                                     const omnar::plans::TimerEntry& entry)
{
    // A report that crossed Stop (or Stop and a new Start) is stale.
    if (run != m_timerRun || !m_state.timerRunning)
        return;
    const bool current = half == omnar::plans::TimerHalf::Current;
    const bool chinese = m_panel.isChinese();
    m_panel.setTimerField(current ? IDC_CUR_TIME : IDC_NEXT_TIME, qs(entry.time));
    m_panel.setTimerField(current ? IDC_CUR_SIGNAL : IDC_NEXT_SIGNAL, qs(entry.signal));
    m_panel.setTimerField(current ? IDC_CUR_STATUS : IDC_NEXT_STATUS, qs(entry.status.in(chinese)));
    m_panel.setTimerField(current ? IDC_CUR_RESULT : IDC_NEXT_RESULT, qs(entry.result.in(chinese)));
}

} // namespace omnar::gui::app
