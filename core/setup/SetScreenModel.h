#pragma once

#include "core/setup/DialogJobs.h"
#include "core/setup/ReadBack.h"
#include "core/setup/Resolution.h"
#include "core/setup/SetupChecks.h"
#include "core/setup/SetupView.h"
#include "core/setup/WindowGeometry.h"

#include <cstdint>
#include <set>
#include <string>
#include <string_view>

namespace omnar::setup {

// What the setup window takes from the panel when it opens.
struct SetupContext {
    std::uint8_t deviceId = 1;
    bool chinese = false;
    bool pipOpen = false;  // status mode 1 or 2
    bool textOpen = false; // status mode 3 or 4
    bool mosaicOn = false;
    bool v2IsYPbPr = false;
    int pipLayout = 0; // status reply byte 10: 0 M1, 1 M2, 2 M3
};

// The four edits of a window group, as the operator left them.
struct WindowTexts {
    std::string width;
    std::string hstart;
    std::string height;
    std::string vstart;
};

// The setup window ("Screen Program", CSetScreen) without its widgets: every
// decision it makes, the state it keeps (output size, window command code,
// brightness range flag, modified marks) and the device work of each
// action. The window applies the views, starts the jobs on its DeviceJob,
// hands their reports to apply() and their end to jobFinished(), all on
// its own thread. GUI thread only.
class SetScreenModel {
public:
    explicit SetScreenModel(const SetupContext& context, WindowCache& cache = sharedWindowCache());

    // ---- opening, busy toggle, enable rules
    // Texts and tooltips for the language, list entries, the layout radio of
    // the panel's layout, the enable rules; and the Refresh that opening
    // runs, which drops what the link already holds first. When that Refresh
    // ends, the opening rules apply once more after the busy toggle.
    SetupAction open();
    // The busy toggle: what Refresh, the layout radios and every Save and
    // Reset disable first and enable at the end.
    SetupView busyView(bool enable) const;
    // The enable and check rules of the opening (PIP/PBP, TEXT, MOSAIC, V2 mode).
    SetupView openingRules() const;

    // ---- operator actions. While a job runs, an action waits its turn and
    // returns an empty action; jobFinished() hands it out later.
    SetupAction refresh();
    // M1 / M2 / M3 radio: layout 0 / 1 / 2.
    SetupAction selectLayout(int layout);
    SetupAction saveWindow(WindowGroup group, const WindowTexts& texts);
    SetupAction saveKeying(bool aboveThreshold, std::string_view red, std::string_view green, std::string_view blue);
    // Brightness, bias, colour and colour-per-source Saves, by the Save's id.
    SetupAction saveSetting(int saveId, std::string_view text);
    // Their Resets, by the Reset's id.
    SetupAction resetSetting(int resetId);
    SetupAction setSharpness(bool sharp);
    // Audio lists by position (-1: no selection).
    SetupAction saveAudio(int position1, int position2);
    SetupAction saveHotSpare(bool v1v2, bool hdmiDvi, bool vga1Vga2);
    SetupAction setMosaicMode(bool sync);
    SetupAction setV2Mode(bool ypbpr);

    // ---- no device traffic
    // A key-colour spin notification: its control id, the edit's text and
    // the delta the platform reports (-1 up, +1 down; others do nothing).
    SetupView spin(int spinId, std::string_view editText, int delta);
    // An audio list's selection changed (by the operator).
    SetupView audioChanged(int listId, int position1, int position2);
    // The operator typed into an edit (program writes are counted by the
    // views already): sets its modified mark.
    SetupView editChanged(int editId);

    // ---- the running job
    SetupView apply(const Report& report);
    SetupAction jobFinished();
    bool busy() const { return m_jobs.busy(); }

    // ---- state
    OutputSize outputSize() const { return m_out; }
    std::uint8_t windowCode() const { return m_windowCode; }
    int layout() const { return layoutForWindowCode(m_windowCode); }
    int brightnessRange() const { return m_brightnessRange; }
    bool marked(int editId) const { return m_marked.contains(editId); }
    const WindowCache& cache() const { return m_cache; }
    // Where a preview rectangle (1164, 1163, 1165, 1166) goes inside its area.
    PixelRect previewRect(int rectId, const PixelRect& area) const;

private:
    // Writes a text; into a marked edit it sets the mark, as the edit's change does.
    void write(SetupView& view, int id, std::string text);
    void writeNumber(SetupView& view, int id, long long value);
    void clearMarks(SetupView& view, std::initializer_list<int> ids);
    void clearAllMarks(SetupView& view);
    SetupView failureView(const CheckFailure& failure);
    SetupView infoSuccess() const;
    SetupView layoutRadios(int layout) const;
    void writeWindowEdits(SetupView& view, WindowGroup group, const WindowRect& rect);
    void setOutputSize(SetupView& view, OutputSize size);
    DialogJobs::Plan busyPlan(link::cmd::Command command, std::function<SetupView()> onSent);
    DialogJobs::Plan refusedPlan(const CheckFailure& failure);

    SetupView on(const OutputReadBack& r);
    SetupView on(const CustomResolution& r);
    SetupView on(const WindowReadBack& r);
    SetupView on(const MosaicModeReadBack& r);
    SetupView on(const PictureReadBack& r);
    SetupView on(const TextKeyingReadBack& r);
    SetupView on(const SourceColoursReadBack& r);
    SetupView on(const FrameSent& r);

    SetupContext m_context;
    WindowCache& m_cache;
    OutputSize m_out{1024, 768};
    std::uint8_t m_windowCode = kWindowCodeM1;
    int m_brightnessRange = 0;
    std::set<int> m_marked;
    DialogJobs m_jobs;
};

} // namespace omnar::setup
