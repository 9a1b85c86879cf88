#include "core/ctl/TimerService.h"

#include "core/ctl/CtlOptions.h"
#include "core/link/Sources.h"
#include "core/link/TracingTransport.h"
#include "core/panel/StatusDecoder.h"
#include "core/plans/LocalTime.h"
#include "core/util/Console.h"

#include <chrono>
#include <cstdio>
#include <sys/stat.h>

namespace omnar::ctl {

using namespace std::chrono;

namespace {

std::string kindList(const plans::PlanKindSelection& k)
{
    std::string out;
    for (const auto& [on, name] : {std::pair{k.day, "day"}, {k.week, "week"}, {k.month, "month"}, {k.once, "once"}})
        if (on)
            out += (out.empty() ? "" : ",") + std::string(name);
    return out;
}

} // namespace

TimerService::TimerService(const std::string& profilePath, const link::ConnectTarget& target,
                           plans::PlanKindSelection kinds, util::Clock& clock)
    : m_path(profilePath)
    , m_target(target)
    , m_clock(clock)
    , m_file(profilePath)
    , m_session(*this, clock)
    , m_kinds(kinds)
{
    m_runner = std::make_unique<plans::PlanRunner>(m_file, m_session.link(),
                                                   static_cast<plans::PlanRunnerEvents&>(*this));
    setTransportOpener(link::openTransport);
}

TimerService::~TimerService()
{
    m_runner->stop();
    m_session.disconnect();
}

void TimerService::setTransportOpener(link::LinkSession::TransportOpener opener)
{
    // A network link gets the trace the serial port prints by itself.
    m_session.setTransportOpener([opener = std::move(opener), this](const link::ConnectTarget& t, std::stop_token st)
                                     -> std::unique_ptr<link::Transport> {
        auto transport = opener(t, st);
        if (transport && !t.serial)
            return std::make_unique<link::TracingTransport>(std::move(transport), m_clock);
        return transport;
    });
}

std::string TimerService::sentLine(const plans::PlanItem& plan, util::Clock::WallTime sentAt)
{
    char time[16];
    std::snprintf(time, sizeof time, "%02d:%02d:%02d", plan.time.hour, plan.time.minute, plan.time.second);
    const auto source = link::sourceInfo(plan.source);
    const std::string name = source ? std::string(source->name) : "source " + std::to_string(plan.source);
    std::string line = "Timer: plan " + std::string(time) + " " + name + " sent at " + timestamp(sentAt).substr(11);
    if (const auto due = plans::MakeLocalTime(plan.date, plan.time)) {
        const auto late = duration_cast<milliseconds>(sentAt - plans::wallTimeOf(*due)).count();
        line += " (" + std::to_string(late) + " ms late)";
    }
    return line + "\n";
}

void TimerService::info(const std::string& en, const std::string&)
{
    util::consolePrint("Link: " + en + "\n");
}

void TimerService::portOutOfRange()
{
    util::consolePrint("Link: Port out of range，range is 0~65535\n");
}

void TimerService::connectEnded(bool connected)
{
    {
        std::lock_guard lock(m_mutex);
        if (!m_connectResult)
            m_connectResult = connected;
    }
    m_changed.notify_all();
}

void TimerService::statusReply(const link::Frame& reply)
{
    {
        std::lock_guard lock(m_mutex);
        auto decoded = panel::decodeStatus(reply, m_session.deviceId(), m_mirror, false, true);
        if (decoded.ignored)
            return;
        m_mirror = std::move(decoded.mirror);
        ++m_statusReplies;
        m_runner->setV2IsYPbPr(m_mirror.v2IsYPbPr);
    }
    m_changed.notify_all();
}

void TimerService::linkLost(const std::string&)
{
    // LinkSession has said so on the console; its tries follow as Link: lines.
}

void TimerService::planSending(const plans::PlanItem&)
{
    std::lock_guard lock(m_mutex);
    m_sendingAt = m_clock.wallNow();
}

void TimerService::planSwitched(const plans::PlanItem& plan)
{
    util::Clock::WallTime at;
    {
        std::lock_guard lock(m_mutex);
        at = m_sendingAt;
    }
    util::consolePrint(sentLine(plan, at));
}

TimerService::FileStamp TimerService::stampOf() const
{
    FileStamp s;
    struct stat st{};
    if (::stat(m_path.c_str(), &st) != 0)
        return s;
    s.exists = true;
    s.device = st.st_dev;
    s.inode = st.st_ino;
    s.size = static_cast<unsigned long long>(st.st_size);
    s.modifiedNs = static_cast<long long>(st.st_mtim.tv_sec) * 1'000'000'000LL + st.st_mtim.tv_nsec;
    return s;
}

bool TimerService::awaitConnect(std::stop_token stop)
{
    std::unique_lock lock(m_mutex);
    m_changed.wait(lock, stop, [this] { return m_connectResult.has_value(); });
    return m_connectResult.value_or(false) && !stop.stop_requested();
}

void TimerService::awaitFirstStatus(std::stop_token stop)
{
    // The poller asks at once; on a virtual clock its answer may come only
    // as time moves, so the wait is counted on the clock in short steps.
    for (int waited = 0; waited < kFirstStatusWaitMs; waited += 100) {
        {
            std::lock_guard lock(m_mutex);
            if (m_statusReplies > 0)
                return;
        }
        if (!m_clock.sleepFor(milliseconds(100), stop))
            return;
    }
}

int TimerService::run(std::stop_token stop)
{
    std::string why;
    if (!m_file.read([](const settings::ProfileFile::Editor&) {}, &why)) {
        util::consolePrint("Timer: cannot read the plan file " + m_path + ": " + why + "\n");
        return kExitFile;
    }
    util::consolePrint("Timer: plans of " + kindList(m_kinds) + " from " + m_path + "\n");
    m_session.setAutoReconnect(true);
    if (!m_session.connect(m_target))
        return kExitLink;
    if (!awaitConnect(stop)) {
        m_session.disconnect();
        if (stop.stop_requested())
            return kExitDone;
        util::consolePrint("Timer: no device to run the plans on\n");
        return kExitLink;
    }
    awaitFirstStatus(stop);
    m_runner->setKinds(m_kinds);
    m_runner->setDeviceId(m_target.deviceId);
    m_runner->start();

    FileStamp stamp = stampOf();
    while (m_clock.sleepFor(milliseconds(kFileCheckMs), stop)) {
        const FileStamp now = stampOf();
        if (now == stamp)
            continue;
        stamp = now;
        util::consolePrint("Timer: the plan file changed; reading it again\n");
        m_runner->reload();
    }
    m_runner->stop();
    m_session.disconnect();
    util::consolePrint("Timer: stopped\n");
    return kExitDone;
}

} // namespace omnar::ctl
