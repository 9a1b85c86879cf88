#pragma once

#include "core/panel/DeviceMirror.h"
#include "core/setup/SetScreenModel.h"

#include <QString>

#include <cstdint>
#include <functional>

namespace omnar::link {
class Link;
}

namespace omnar::gui::setup {

// Answers a Yes/No message box (caption, text); true for Yes. The setup
// windows do not act on the answer. Tests record the boxes with one.
using MessageHandler = std::function<bool(const QString& caption, const QString& text)>;

// What the main window hands the Setup and Resolution windows when it opens
// one: the link (each of their transactions takes its lock), the device id,
// the language and the decoded status of the moment.
struct DialogContext {
    explicit DialogContext(omnar::link::Link& l)
        : link(l)
    {
    }

    omnar::link::Link& link;
    // Device id, language, PIP/PBP and TEXT open, MOSAIC, V2 as YPbPr, the PIP layout.
    omnar::setup::SetupContext device;
    // The panel runs with --advanced: the groups normally kept hidden show.
    bool advanced = false;
    // Empty: a QMessageBox with Yes and No.
    MessageHandler messageHandler;
};

// The decoded status as the setup windows need it.
inline omnar::setup::SetupContext deviceContext(const omnar::panel::DeviceMirror& mirror, std::uint8_t deviceId,
                                                bool chinese)
{
    omnar::setup::SetupContext c;
    c.deviceId = deviceId;
    c.chinese = chinese;
    c.pipOpen = mirror.pipOpen();
    c.textOpen = mirror.textOpen();
    c.mosaicOn = mirror.mosaic;
    c.v2IsYPbPr = mirror.v2IsYPbPr;
    c.pipLayout = mirror.pipLayoutIndex;
    return c;
}

} // namespace omnar::gui::setup
