#pragma once

#include "core/ctl/CtlIo.h"
#include "core/link/LinkSession.h"
#include "core/panel/DeviceMirror.h"
#include "core/plans/PlanRunner.h"
#include "core/settings/ProfileFile.h"

#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <stop_token>
#include <string>

namespace omnar::ctl {

// The plan runner without a window, as a service: it connects and
// identifies as the panel does, runs today's plans of the chosen kinds
// (rebuilt at midnight by the runner), reads the plan file again when it
// changes, and after a lost link connects again with the growing pause of
// the panel's AutoConnect while the runner keeps its schedule (a plan that
// falls due meanwhile is told as missed). Every line goes to the console:
// the connect attempts, each switch with the moment its frame went out,
// each missed plan, the file re-read.
class TimerService final : private link::LinkSession::Events, private plans::PlanRunnerEvents {
public:
    // How often the plan file is looked at.
    static constexpr int kFileCheckMs = 1000;
    // How long the first status reply (V2's mode, which filters daily plans) is awaited.
    static constexpr int kFirstStatusWaitMs = 3000;

    TimerService(const std::string& profilePath, const link::ConnectTarget& target, plans::PlanKindSelection kinds,
                 util::Clock& clock);
    ~TimerService() override;

    void setTransportOpener(link::LinkSession::TransportOpener opener);

    // Runs until `stop`; the exit code. A first connect that fails, or a
    // plan file that cannot be read, ends it at once.
    int run(std::stop_token stop);

    // "Timer: plan 08:30:00 HDMI sent at 08:30:00.012 (12 ms late)\n"
    static std::string sentLine(const plans::PlanItem& plan, util::Clock::WallTime sentAt);

private:
    // LinkSession::Events
    void info(const std::string& en, const std::string& zh) override;
    void portOutOfRange() override;
    void connectEnded(bool connected) override;
    void statusReply(const link::Frame& reply) override;
    void commandStarted() override {}
    void commandFinished() override {}
    void linkLost(const std::string& reason) override;
    // PlanRunnerEvents
    void timerEntry(plans::TimerHalf, const plans::TimerEntry&) override {}
    void planSending(const plans::PlanItem& plan) override;
    void planSwitched(const plans::PlanItem& plan) override;

    struct FileStamp {
        bool exists = false;
        unsigned long long device = 0, inode = 0, size = 0;
        long long modifiedNs = 0;
        friend bool operator==(const FileStamp&, const FileStamp&) = default;
    };
    FileStamp stampOf() const;
    // Waits for the first connect's end; false when it failed or a stop came.
    bool awaitConnect(std::stop_token stop);
    void awaitFirstStatus(std::stop_token stop);

    std::string m_path;
    link::ConnectTarget m_target;
    util::Clock& m_clock;
    settings::ProfileFile m_file;
    link::LinkSession m_session;
    std::unique_ptr<plans::PlanRunner> m_runner;
    plans::PlanKindSelection m_kinds;

    std::mutex m_mutex;
    std::condition_variable_any m_changed;
    std::optional<bool> m_connectResult;
    int m_statusReplies = 0;
    panel::DeviceMirror m_mirror;
    util::Clock::WallTime m_sendingAt{};
};

} // namespace omnar::ctl
