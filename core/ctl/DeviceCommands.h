#pragma once

#include "core/ctl/CtlIo.h"
#include "core/ctl/CtlOptions.h"
#include "core/link/Link.h"
#include "core/link/LinkSession.h"
#include "core/panel/StatusDecoder.h"
#include "core/settings/ProfileFile.h"

#include <cstdint>
#include <optional>
#include <stop_token>
#include <string>
#include <string_view>

namespace omnar::ctl {

// Where to connect: --port or --tcp and --id, else the CONNECT section of the
// profile file as the panel left it (ComName for a serial port, DeviceID
// when it holds an id).
struct TargetChoice {
    std::optional<link::ConnectTarget> target;
    std::optional<Failure> failure;
};
TargetChoice chooseTarget(const CtlOptions& options, const settings::ProfileFile& file);

// "192.168.1.20:5000" or "localhost:5000"; nothing when unusable.
std::optional<std::pair<std::uint32_t, std::uint16_t>> parseHostPort(std::string_view text);

// The control id of a source key by name (V1 V2 VGA VGA2 HDMI DVI DP EXT.,
// any case, EXT without its dot), of a key (pip text bypass freeze mosaic
// auto/take m1 m2 m3), and of a Cut/Fade radio (0 or cut, 0.5, 1.0, 1.5).
std::optional<int> sourceKeyId(std::string_view name);
std::optional<int> functionKeyId(std::string_view name);
std::optional<int> fadeRadioId(std::string_view text);

// The device as one command sees it: the link opened and the device
// identified, its state read and decoded as the panel decodes it, and keys
// pressed through the panel's guards with the command worker's pacing (the
// command's delay, then a status query). Every transaction holds the link lock.
class DeviceConnection {
public:
    explicit DeviceConnection(util::Clock& clock,
                              link::LinkSession::TransportOpener opener = link::openTransport);
    ~DeviceConnection();

    std::optional<Failure> open(const link::ConnectTarget& target, std::stop_token stop = {});
    // One status query (the command worker's 5000 ms); the mirror follows it.
    std::optional<Failure> readStatus(std::stop_token stop = {});
    // A key of the panel by control id: refused as the panel refuses it (its
    // text, or a key the panel shows disabled), else sent and followed by a
    // status query. Reads the status first when none was read yet.
    std::optional<Failure> press(int controlId, std::stop_token stop = {});

    const panel::DeviceMirror& mirror() const { return m_mirror; }
    link::Link& link() { return m_link; }

private:
    std::optional<Failure> linkGone(std::string_view what) const;
    // One status query, the caller holding the link lock: a reply for our
    // device becomes the mirror and the view; false when none came.
    bool queryStatus(std::stop_token stop);

    link::Link m_link;
    link::LinkSession::TransportOpener m_opener;
    std::uint8_t m_deviceId = 1;
    panel::DeviceMirror m_mirror;
    panel::PanelView m_view; // of the last status reply: which keys the panel enables
    bool m_haveStatus = false;
};

// Why the panel shows a key disabled, for the refusal line.
std::string disabledKeyText(int controlId);

} // namespace omnar::ctl
