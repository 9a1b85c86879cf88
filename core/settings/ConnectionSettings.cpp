#include "core/settings/ConnectionSettings.h"

#include "core/link/TcpTransport.h"

#include <optional>

namespace omnar::settings {

namespace {

// The original converted only this many characters of SerialTcp.
constexpr std::size_t kSerialTcpChars = 20;

// A 0/1 flag; anything else is treated like a missing key.
bool readFlag(const ProfileFile::Editor& e, std::string_view key)
{
    return leadingInteger(e.getString(kConnectSection, key)) == 1;
}

// Operator text written as a value: a line break would end the value and
// start a line of its own, so it becomes a blank.
std::string singleLine(std::string_view text)
{
    std::string out(text);
    for (char& c : out) {
        if (c == '\r' || c == '\n' || c == '\0')
            c = ' ';
    }
    return out;
}

std::string trimmed(std::string_view text)
{
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos)
        return {};
    const auto last = text.find_last_not_of(" \t");
    return std::string(text.substr(first, last - first + 1));
}

} // namespace

PortCheck checkPort(std::string_view portText)
{
    const auto n = leadingInteger(portText);
    if (!n)
        return {true, 0};
    if (*n < 0 || *n > 65535)
        return {false, 0};
    return {true, static_cast<std::uint16_t>(*n)};
}

MessageText portOutOfRangeMessage(bool chinese)
{
    if (chinese)
        return {"端口号超出范围,范围是0~65535", "系统消息", 1033};
    return {"Port out of range，range is 0~65535", "System information", 1033};
}

std::vector<std::string> comPortItems()
{
    std::vector<std::string> items;
    for (int n = 1; n <= kComPortCount; ++n)
        items.push_back("COM" + std::to_string(n));
    return items;
}

std::vector<std::string> deviceIdItems()
{
    std::vector<std::string> items;
    for (int id = kDeviceIdMin; id <= kDeviceIdMax; ++id)
        items.push_back(std::to_string(id));
    return items;
}

ConnectionSettings ConnectionSettings::load(const ProfileFile& file, std::string_view comComboText)
{
    ConnectionSettings s;
    file.read([&](const ProfileFile::Editor& e) {
        const std::string serialTcp = e.getString(kConnectSection, kSerialTcpKey);
        s.serialByDefault = e.fileMissing();
        s.serial = s.serialByDefault || leadingInteger(std::string_view(serialTcp).substr(0, kSerialTcpChars)) == 1;
        if (s.serial) {
            s.comName = std::string(comComboText);
        } else {
            s.ip = e.getString(kConnectSection, kIpKey);
            s.port = e.getString(kConnectSection, kPortKey);
        }
        s.autoConnect = readFlag(e, kConnectFlagKey);
        s.startTimer = readFlag(e, kStartTimerFlagKey);
        if (s.autoConnect) {
            const auto id = leadingInteger(e.getString(kConnectSection, kDeviceIdKey));
            if (id && *id >= kDeviceIdMin && *id <= kDeviceIdMax)
                s.deviceId = static_cast<int>(*id);
        }
    });
    return s;
}

bool ConnectionSettings::save(ProfileFile& file) const
{
    return file.update([&](ProfileFile::Editor& e) {
        if (serial && serialByDefault && !e.hasKey(kConnectSection, kSerialTcpKey))
            e.writeString(kConnectSection, kSerialTcpKey, "1");
        e.writeString(kConnectSection, kConnectFlagKey, autoConnect ? "1" : "0");
        e.writeString(kConnectSection, kComNameKey, singleLine(comName));
        e.writeString(kConnectSection, kStartTimerFlagKey, startTimer ? "1" : "0");
        if (deviceId != 0)
            e.writeString(kConnectSection, kDeviceIdKey, std::to_string(deviceId));
        if (!serial) {
            if (!ip.empty())
                e.writeString(kConnectSection, kIpKey, singleLine(ip));
            if (!port.empty())
                e.writeString(kConnectSection, kPortKey, singleLine(port));
        }
    });
}

bool ConnectionSettings::chooseTransport(ProfileFile& file, bool useSerial)
{
    serial = useSerial;
    serialByDefault = false;
    return file.writeString(kConnectSection, kSerialTcpKey, useSerial ? "1" : "0");
}

bool ConnectionSettings::toggleAutoConnect(ProfileFile& file)
{
    autoConnect = !autoConnect;
    return save(file);
}

bool ConnectionSettings::toggleStartTimer(ProfileFile& file)
{
    startTimer = !startTimer;
    return save(file);
}

bool ConnectionSettings::prepareConnect(ProfileFile& file, std::string_view comComboText)
{
    comName = std::string(comComboText);
    return save(file);
}

bool ConnectionSettings::chooseDeviceId(int id)
{
    if (id < kDeviceIdMin || id > kDeviceIdMax)
        return false;
    deviceId = id;
    return true;
}

link::ConnectTarget ConnectionSettings::connectTarget() const
{
    link::ConnectTarget target;
    target.serial = serial;
    target.comPortName = comName;
    std::uint32_t address = 0;
    if (link::parseIpv4(trimmed(ip), address))
        target.address = address;
    const PortCheck check = checkPort(port);
    target.port = check.port;
    target.portInRange = check.accepted;
    target.deviceId = static_cast<std::uint8_t>(deviceId);
    return target;
}

int ConnectionSettings::deviceIdComboIndex() const
{
    return deviceId >= kDeviceIdMin && deviceId <= kDeviceIdMax ? deviceId - 1 : -1;
}

int ConnectionSettings::deviceIdRadio() const
{
    return deviceId >= 1 && deviceId <= kDeviceIdRadioCount ? deviceId : 0;
}

} // namespace omnar::settings
