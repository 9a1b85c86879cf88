#pragma once

#include "core/setup/DialogJobs.h"
#include "core/setup/ReadBack.h"
#include "core/setup/SetupView.h"

#include <cstdint>
#include <string_view>

namespace omnar::setup {

// CProgress kinds the resolution window shows while its frame is at work.
inline constexpr int kProgressChangingResolution = 2;
inline constexpr int kProgressChangingDotClock = 3;

// The output resolution window (CCAdvanced) without its widgets: the list
// of modes with the device's current one selected, the custom form and the
// device work of each change. The window applies the views, starts the jobs
// on its DeviceJob (showing the progress window while a job with a progress
// kind runs, and closing it when that job ends, whenever the window
// appeared), hands reports to apply() and the end to jobFinished(). GUI
// thread only.
class AdvancedModel {
public:
    AdvancedModel(std::uint8_t deviceId, bool chinese);

    // Texts, the ten list entries, the custom form disabled, and the
    // read-back of the current mode. The list stays disabled until that
    // read-back ended, so a pick cannot be overwritten by it.
    SetupAction open();
    // The operator picked list position 0..9: its frame, then ten seconds
    // for the device, under the "Changing resolution" progress window.
    SetupAction select(int position);
    // Save of the custom form: the dot-clock check, then the frame and ten
    // seconds under the "Changing dotlock" progress window.
    SetupAction saveCustom(std::string_view width, std::string_view height, std::string_view refreshRate);

    SetupView apply(const Report& report);
    SetupAction jobFinished();
    bool busy() const { return m_jobs.busy(); }

private:
    SetupView customForm(bool enabled) const;

    std::uint8_t m_deviceId;
    bool m_chinese;
    DialogJobs m_jobs;
};

} // namespace omnar::setup
