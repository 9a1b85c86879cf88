#include "core/ctl/CtlRun.h"

#include "core/ctl/DeviceCommands.h"
#include "core/ctl/PlanCommands.h"
#include "core/ctl/StatusReport.h"
#include "core/ctl/TimerService.h"
#include "core/plans/PlanFormat.h"
#include "core/settings/ProfileLocation.h"

#include <string>
#include <vector>

namespace omnar::ctl {

namespace {

int fail(const CtlIo& io, const Failure& f, const std::string& detail = {})
{
    io.err("omnar-ctl: " + f.message + (detail.empty() ? std::string() : " (" + detail + ")") + "\n");
    return f.code;
}

int usage(const CtlIo& io, const std::string& message)
{
    return fail(io, {kExitUsage, message + "; see omnar-ctl --help"});
}

// The device commands: connect and identify, then `body`.
template <class Body>
int withDevice(const CtlOptions& o, const std::string& path, const CtlIo& io, std::stop_token stop, Body body)
{
    settings::ProfileFile file(path);
    ConsoleScope console(ConsoleScope::Mode::Collect, io.err, *io.clock, false);
    const auto choice = chooseTarget(o, file);
    if (!choice.target)
        return fail(io, *choice.failure);
    std::optional<ConsoleScope> traced;
    if (o.trace)
        traced.emplace(ConsoleScope::Mode::ToErr, io.err, *io.clock, true);
    DeviceConnection device(*io.clock);
    auto failure = device.open(*choice.target, stop);
    if (!failure)
        failure = body(device);
    if (failure)
        return fail(io, *failure, console.takeCollected());
    return kExitDone;
}

int plansCommand(const CtlOptions& o, const std::string& path, const CtlIo& io)
{
    const auto& w = o.words;
    if (w.size() < 2)
        return usage(io, "plans needs list, add, delete or today");
    const std::string& sub = w[1];
    if (o.kinds && sub != "today")
        return usage(io, "--kinds goes with plans today and timer");
    // The plan store's own lines (entries that are no plans) are warnings
    // after a success; a failure says its one line only.
    ConsoleScope console(ConsoleScope::Mode::Collect, io.err, *io.clock, false);
    int code = kExitUsage;
    if (sub == "list") {
        std::optional<plans::PlanKind> kind;
        if (w.size() > 3)
            return usage(io, "plans list takes at most a KIND");
        if (w.size() == 3 && !(kind = parsePlanKind(w[2])))
            return usage(io, "unknown plan kind \"" + w[2] + "\" (daily, weekly, monthly, once)");
        code = plansList(path, kind, o.json, io);
    } else if (sub == "add") {
        std::string why;
        const auto request = parseAddRequest({w.begin() + 2, w.end()}, why);
        if (!request)
            return usage(io, why);
        code = plansAdd(path, *request, io);
    } else if (sub == "delete") {
        if (w.size() != 4)
            return usage(io, "plans delete needs KIND N");
        const auto kind = parsePlanKind(w[2]);
        if (!kind)
            return usage(io, "unknown plan kind \"" + w[2] + "\" (daily, weekly, monthly, once)");
        const auto index = plans::entryIndex(w[3].starts_with("Time") ? w[3] : "Time" + w[3]);
        if (!index)
            return usage(io, "not a plan number: \"" + w[3] + "\" (N of TimeN, as plans list shows it)");
        code = plansDelete(path, *kind, *index, io);
    } else if (sub == "today") {
        if (w.size() != 2)
            return usage(io, "plans today takes no argument");
        const auto kinds = parsePlanKinds(o.kinds.value_or("day,week,month,once"));
        if (!kinds)
            return usage(io, "--kinds needs a list of day, week, month, once");
        code = plansToday(path, *kinds, o.json, io);
    } else {
        return usage(io, "unknown plans command \"" + sub + "\" (list, add, delete, today)");
    }
    const std::string warnings = console.takeCollected();
    if (code == kExitDone && !warnings.empty())
        io.err("omnar-ctl: " + warnings + "\n");
    return code;
}

int timerCommand(const CtlOptions& o, const std::string& path, const CtlIo& io, std::stop_token stop)
{
    if (o.words.size() != 1)
        return usage(io, "timer takes no argument");
    const auto kinds = parsePlanKinds(o.kinds.value_or("day,week,month,once"));
    if (!kinds)
        return usage(io, "--kinds needs a list of day, week, month, once");
    settings::ProfileFile file(path);
    TargetChoice choice;
    {
        ConsoleScope quiet(ConsoleScope::Mode::Collect, io.err, *io.clock, false);
        choice = chooseTarget(o, file);
    }
    if (!choice.target)
        return fail(io, *choice.failure);
    int code = kExitDone;
    {
        ConsoleScope log(ConsoleScope::Mode::Timestamped, io.out, *io.clock, o.trace);
        TimerService service(path, *choice.target, *kinds, *io.clock);
        code = service.run(stop);
    }
    if (code == kExitLink)
        return fail(io, {code, "cannot connect to the device; see the log above"});
    if (code == kExitFile)
        return fail(io, {code, "cannot read " + path});
    return code;
}

} // namespace

int runCtl(const CtlOptions& o, const CtlIo& io, std::stop_token stop)
{
    if (o.help) {
        io.out(usageText());
        return kExitDone;
    }
    if (o.version) {
        io.out("omnar-ctl " + io.version + "\n");
        return kExitDone;
    }
    const auto& w = o.words;
    const std::string& command = w.front();
    if (o.fade && command != "switch")
        return usage(io, "--fade goes with switch");
    if (o.kinds && command != "timer" && command != "plans")
        return usage(io, "--kinds goes with plans today and timer");
    if (o.json && command != "status" && command != "plans")
        return usage(io, "--json goes with status and plans");
    const std::string path = settings::resolveProfilePath(o.config);
    settings::ensureProfileFolder(path);

    if (command == "status") {
        if (w.size() != 1)
            return usage(io, "status takes no argument");
        return withDevice(o, path, io, stop, [&](DeviceConnection& d) -> std::optional<Failure> {
            if (auto f = d.readStatus(stop))
                return f;
            const auto items = describeStatus(d.mirror());
            io.out(o.json ? statusJson(items) : statusText(items));
            return std::nullopt;
        });
    }
    if (command == "switch") {
        if (w.size() != 2)
            return usage(io, "switch needs one SOURCE");
        const auto key = sourceKeyId(w[1]);
        if (!key)
            return usage(io, "unknown source \"" + w[1] + "\" (V1, V2, VGA, VGA2, HDMI, DVI, DP, EXT.)");
        std::optional<int> fade;
        if (o.fade && !(fade = fadeRadioId(*o.fade)))
            return usage(io, "--fade needs 0, 0.5, 1.0 or 1.5, not \"" + *o.fade + "\"");
        return withDevice(o, path, io, stop, [&](DeviceConnection& d) -> std::optional<Failure> {
            if (fade) {
                if (auto f = d.press(*fade, stop))
                    return f;
            }
            return d.press(*key, stop);
        });
    }
    if (command == "key") {
        if (w.size() != 2)
            return usage(io, "key needs one NAME");
        const auto key = functionKeyId(w[1]);
        if (!key)
            return usage(io, "unknown key \"" + w[1] + "\" (pip, text, bypass, freeze, mosaic, auto, m1, m2, m3)");
        return withDevice(o, path, io, stop, [&](DeviceConnection& d) { return d.press(*key, stop); });
    }
    if (command == "plans")
        return plansCommand(o, path, io);
    if (command == "timer")
        return timerCommand(o, path, io, stop);
    return usage(io, "unknown command \"" + command + "\"");
}

} // namespace omnar::ctl
