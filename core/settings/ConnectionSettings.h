#pragma once

#include "core/link/ConnectTarget.h"
#include "core/settings/ProfileFile.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace omnar::settings {

inline constexpr std::string_view kConnectSection = "CONNECT";
inline constexpr std::string_view kSerialTcpKey = "SerialTcp";
inline constexpr std::string_view kIpKey = "IP";
inline constexpr std::string_view kPortKey = "Port";
inline constexpr std::string_view kConnectFlagKey = "ConnectFlag";
inline constexpr std::string_view kStartTimerFlagKey = "StartTimerFlag";
inline constexpr std::string_view kDeviceIdKey = "DeviceID";
inline constexpr std::string_view kComNameKey = "ComName";

// A device id is one byte; 0 means none has been chosen.
inline constexpr int kDeviceIdMin = 1;
inline constexpr int kDeviceIdMax = 255;
inline constexpr int kDeviceIdRadioCount = 6;
inline constexpr int kComPortCount = 20;

// A message box as the GUI shows it: text, caption and language id.
struct MessageText {
    std::string_view text;
    std::string_view caption;
    int languageId;
};

struct PortCheck {
    bool accepted;
    std::uint16_t port;
};

// The connect sequence's check of the port edit: above 65535 or negative is
// refused; empty or non-numeric text reads as port 0 and passes.
PortCheck checkPort(std::string_view portText);
// Raised with language id 1033 in both languages.
MessageText portOutOfRangeMessage(bool chinese);

// Items of the COM combo, "COM1" to "COM20", and of the device-id combo,
// "1" to "255" (item index = id - 1).
std::vector<std::string> comPortItems();
std::vector<std::string> deviceIdItems();

// Section CONNECT of the profile file and the link box it drives.
struct ConnectionSettings {
    // SerialTcp: exactly 1 is Serial, anything else (a missing key included)
    // Network. With no profile file at all, Serial: the only transport the
    // standard layout offers.
    bool serial = false;
    // Serial came from the missing file, not from SerialTcp: the first write
    // of all settings records it, so the next start stays on Serial.
    bool serialByDefault = false;
    std::string ip;           // IP text, read only for Network
    std::string port;         // Port text, read only for Network
    bool autoConnect = false; // ConnectFlag
    bool startTimer = false;  // StartTimerFlag
    int deviceId = 0;         // DeviceID, read only when AutoConnect is set
    std::string comName;      // ComName: the COM combo's text at the last Connect

    // The start-up load. `comComboText` is the COM combo's preselected text,
    // which becomes the COM port name for Serial. Values outside their range
    // (flags other than 0 or 1, device ids outside 1..255, non-numbers) read
    // as the value of a missing key.
    static ConnectionSettings load(const ProfileFile& file, std::string_view comComboText = {});

    // "Write all settings", in one atomic rewrite: ConnectFlag, ComName,
    // StartTimerFlag, DeviceID, then for Network the IP and Port texts that
    // are not empty. A device id of 0 (none chosen) leaves a stored DeviceID
    // alone instead of overwriting it with 0. A Serial that came by default
    // also writes SerialTcp while the file has none.
    bool save(ProfileFile& file) const;

    // Serial / Network radio: the only writer of SerialTcp.
    bool chooseTransport(ProfileFile& file, bool useSerial);
    // The two checkboxes: flip, then write all settings.
    bool toggleAutoConnect(ProfileFile& file);
    bool toggleStartTimer(ProfileFile& file);
    // Connect button: the COM combo's text becomes the COM port name, then
    // all settings are written (the connect itself follows, whatever the result).
    bool prepareConnect(ProfileFile& file, std::string_view comComboText);

    // Device-id radio n or combo item: ignored outside 1..255. Not written
    // until the next write of all settings.
    bool chooseDeviceId(int id);

    // Where Connect goes: the chosen transport, the COM port name, or the
    // address and port. A blank or unreadable address is 0.0.0.0, which the
    // open refuses (never this machine); a port outside 0..65535 is marked
    // for the port-range message; an empty or non-numeric one is port 0.
    link::ConnectTarget connectTarget() const;

    bool startTimerEnabled() const { return autoConnect; }
    // Selected device-id combo item, or -1 for none.
    int deviceIdComboIndex() const;
    // The device-id radio to check (1..6), or 0 for none.
    int deviceIdRadio() const;
};

} // namespace omnar::settings
