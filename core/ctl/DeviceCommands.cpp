#include "core/ctl/DeviceCommands.h"

#include "core/link/CSerialPort.h"
#include "core/link/Catalogue.h"
#include "core/link/Identify.h"
#include "core/link/Sources.h"
#include "core/link/TcpTransport.h"
#include "core/link/TracingTransport.h"
#include "core/panel/PanelIds.h"
#include "core/panel/PanelKeys.h"
#include "core/settings/ConnectionSettings.h"

#include <algorithm>
#include <cctype>
#include <mutex>

namespace omnar::ctl {

namespace {

// Port numbers and device ids: up to nine digits, so leading zeros pass.
std::optional<int> number(std::string_view text, int lo, int hi)
{
    return decimal(text, lo, hi, 9);
}

std::string describe(const link::ConnectTarget& t)
{
    if (t.serial)
        return "the serial port " + link::devicePathForPort(t.comPortName);
    return link::formatIpv4(t.address) + ":" + std::to_string(t.port);
}

struct KeyName {
    std::string_view name;
    int id;
    std::string_view caption;
};
constexpr KeyName kKeys[] = {
    {"PIP", panel::ids::IDC_KEY_PIP, "PIP/PBP"},   {"TEXT", panel::ids::IDC_KEY_TEXT, "TEXT"},
    {"BYPASS", panel::ids::IDC_KEY_BYPASS, "BYPASS"}, {"FREEZE", panel::ids::IDC_KEY_FREEZE, "FREEZE"},
    {"MOSAIC", panel::ids::IDC_KEY_MOSAIC, "MOSAIC"}, {"AUTO", panel::ids::IDC_KEY_AUTO_TAKE, "AUTO/TAKE"},
    {"TAKE", panel::ids::IDC_KEY_AUTO_TAKE, "AUTO/TAKE"}, {"M1", panel::ids::IDC_M1, "M1"},
    {"M2", panel::ids::IDC_M2, "M2"},           {"M3", panel::ids::IDC_M3, "M3"},
};

} // namespace

std::optional<std::pair<std::uint32_t, std::uint16_t>> parseHostPort(std::string_view text)
{
    const auto colon = text.rfind(':');
    if (colon == std::string_view::npos)
        return std::nullopt;
    const std::string host(text.substr(0, colon));
    const auto port = number(text.substr(colon + 1), 1, 65535);
    std::uint32_t address = 0;
    if (host == "localhost")
        address = 0x7F000001;
    else if (!link::parseIpv4(host, address))
        return std::nullopt;
    if (!port)
        return std::nullopt;
    return std::pair{address, static_cast<std::uint16_t>(*port)};
}

TargetChoice chooseTarget(const CtlOptions& options, const settings::ProfileFile& file)
{
    TargetChoice choice;
    auto usage = [&](std::string message) {
        choice.failure = Failure{kExitUsage, std::move(message)};
        return choice;
    };
    link::ConnectTarget t;
    std::optional<int> fileId;
    bool fileMissing = false;
    std::string comName;
    std::string unreadable;
    const bool read = file.read([&](const settings::ProfileFile::Editor& e) {
        fileMissing = e.fileMissing();
        comName = e.getString(settings::kConnectSection, settings::kComNameKey);
        if (const auto id = settings::leadingInteger(e.getString(settings::kConnectSection, settings::kDeviceIdKey));
            id && *id >= settings::kDeviceIdMin && *id <= settings::kDeviceIdMax)
            fileId = static_cast<int>(*id);
    }, &unreadable);

    if (options.id) {
        const auto id = number(*options.id, settings::kDeviceIdMin, settings::kDeviceIdMax);
        if (!id)
            return usage("--id needs a device id 1..255, not \"" + *options.id + "\"");
        t.deviceId = static_cast<std::uint8_t>(*id);
    } else {
        t.deviceId = static_cast<std::uint8_t>(fileId.value_or(1));
    }

    if (options.port) {
        t.serial = true;
        t.comPortName = *options.port;
    } else if (options.tcp) {
        const auto hp = parseHostPort(*options.tcp);
        if (!hp)
            return usage("--tcp needs HOST:PORT with an IPv4 address (or localhost) and a port 1..65535, not \""
                         + *options.tcp + "\"");
        t.serial = false;
        t.address = hp->first;
        t.port = static_cast<std::uint16_t>(hp->second);
    } else {
        if (!read) {
            choice.failure = Failure{kExitFile, "cannot read " + file.path() + ": " + unreadable};
            return choice;
        }
        if (fileMissing)
            return usage("no device given: use --port NAME or --tcp HOST:PORT, or --config with a CONNECT section ("
                         + file.path() + " does not exist)");
        const auto s = settings::ConnectionSettings::load(file, comName);
        t.serial = s.serial;
        if (s.serial) {
            if (s.comName.empty())
                return usage("no serial port in " + file.path() + " (CONNECT ComName): use --port NAME");
            t.comPortName = s.comName;
        } else {
            if (!link::parseIpv4(s.ip, t.address) || (t.address >> 24) == 0)
                return usage("no device address in " + file.path() + " (CONNECT IP): use --tcp HOST:PORT");
            const auto check = settings::checkPort(s.port);
            if (!check.accepted) {
                choice.failure = Failure{kExitLink, std::string(settings::portOutOfRangeMessage(false).text)};
                return choice;
            }
            t.port = check.port;
        }
    }
    choice.target = t;
    return choice;
}

std::optional<int> sourceKeyId(std::string_view name)
{
    std::string n = upper(name);
    if (n == "EXT")
        n = "EXT.";
    for (const auto& s : link::kSources)
        if (s.code != link::kSourceYPbPr && s.name == n)
            return s.keyId;
    return std::nullopt;
}

std::optional<int> functionKeyId(std::string_view name)
{
    const std::string n = upper(name);
    for (const auto& k : kKeys)
        if (k.name == n)
            return k.id;
    return std::nullopt;
}

std::optional<int> fadeRadioId(std::string_view text)
{
    std::string n = upper(text);
    if (n.ends_with("S"))
        n.pop_back();
    const int index = n == "0" || n == "CUT" ? 0 : n == "0.5" ? 1 : n == "1.0" || n == "1" ? 2 : n == "1.5" ? 3 : -1;
    if (index < 0)
        return std::nullopt;
    return link::kFades[static_cast<std::size_t>(index)].radioId;
}

std::string disabledKeyText(int controlId)
{
    std::string_view caption = "the key";
    for (const auto& k : kKeys)
        if (k.id == controlId)
            caption = k.caption;
    std::string_view rule;
    switch (controlId) {
    case panel::ids::IDC_KEY_MOSAIC: rule = "only with the main window alone and DVI on it"; break;
    case panel::ids::IDC_KEY_BYPASS: rule = "only with no PIP or TEXT window open and MOSAIC off"; break;
    case panel::ids::IDC_KEY_FREEZE: rule = "only with no PIP or TEXT window open"; break;
    case panel::ids::IDC_KEY_PIP: rule = "not while TEXT is open"; break;
    case panel::ids::IDC_KEY_TEXT: rule = "only with PIP closed, no pre-selection and MOSAIC off"; break;
    case panel::ids::IDC_M1:
    case panel::ids::IDC_M2:
    case panel::ids::IDC_M3: rule = "only while PIP is open"; break;
    case panel::ids::IDC_KEY_AUTO_TAKE:
        rule = "TAKE only with no PIP or TEXT window open; AUTO only on VGA, VGA2 or EXT. with VGA, with no window "
               "open and BYPASS off";
        break;
    default: rule = "in the device's present state"; break;
    }
    return "the " + std::string(caption) + " key is disabled now (" + std::string(rule) + ")";
}

DeviceConnection::DeviceConnection(util::Clock& clock, link::LinkSession::TransportOpener opener)
    : m_link(clock)
    , m_opener(std::move(opener))
{
}

DeviceConnection::~DeviceConnection()
{
    std::lock_guard lock(m_link.lock());
    m_link.closeTransport();
}

std::optional<Failure> DeviceConnection::linkGone(std::string_view what) const
{
    if (m_link.lost())
        return Failure{kExitLink, "the link went away " + std::string(what) + ": " + m_link.lostReason()};
    return std::nullopt;
}

std::optional<Failure> DeviceConnection::open(const link::ConnectTarget& target, std::stop_token stop)
{
    std::lock_guard lock(m_link.lock());
    auto transport = m_opener(target, stop);
    if (!transport)
        return Failure{kExitLink, "cannot open " + describe(target)};
    // The serial port prints its own trace; a network link gets one here.
    if (!target.serial)
        transport = std::make_unique<link::TracingTransport>(std::move(transport), m_link.clock());
    m_link.setTransport(std::move(transport));
    m_deviceId = target.deviceId;
    if (!link::identifyDevice(m_link, m_deviceId, stop)) {
        if (auto gone = linkGone("while identifying the device"))
            return gone;
        m_link.closeTransport();
        return Failure{kExitLink, "no device with id " + std::to_string(m_deviceId) + " identified itself on "
                                      + describe(target)};
    }
    return std::nullopt;
}

bool DeviceConnection::queryStatus(std::stop_token stop)
{
    const link::Frame query = link::cmd::statusQuery(m_deviceId);
    link::Frame reply{};
    if (m_link.QueryCommand(&query, &reply, link::cmd::kStatusAfterCommandTimeoutMs, stop) != 13
        || reply[0] != link::kLeadByte)
        return false;
    auto decoded = panel::decodeStatus(reply, m_deviceId, m_mirror, false, false);
    if (decoded.ignored)
        return false;
    m_mirror = std::move(decoded.mirror);
    m_view = std::move(decoded.view);
    m_haveStatus = true;
    return true;
}

std::optional<Failure> DeviceConnection::readStatus(std::stop_token stop)
{
    std::lock_guard lock(m_link.lock());
    if (queryStatus(stop))
        return std::nullopt;
    if (auto gone = linkGone("while asking for the status"))
        return gone;
    return Failure{kExitLink, "the device did not answer the status query"};
}

std::optional<Failure> DeviceConnection::press(int controlId, std::stop_token stop)
{
    if (!m_haveStatus) {
        if (auto failure = readStatus(stop))
            return failure;
    }
    if (m_view.isEnabled(controlId) == false)
        return Failure{kExitRefused, disabledKeyText(controlId)};
    auto outcome = panel::pressKey(controlId, m_mirror, m_deviceId, false);
    if (outcome.refusal)
        return Failure{kExitRefused, outcome.refusal->text};
    m_mirror = outcome.mirror;
    if (!outcome.command)
        return std::nullopt; // a Cut/Fade radio: only the panel's choice changes
    std::lock_guard lock(m_link.lock());
    if (m_link.SendCommand(&outcome.command->frame, outcome.command->delayMs, stop) != 13) {
        if (auto gone = linkGone("while sending"))
            return gone;
        return Failure{kExitLink, "the command could not be written"};
    }
    // The command worker's status query; a silent device leaves the mirror as it was.
    queryStatus(stop);
    return linkGone("after the command");
}

} // namespace omnar::ctl
