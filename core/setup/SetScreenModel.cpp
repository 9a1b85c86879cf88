#include "core/setup/SetScreenModel.h"

#include "core/link/Sources.h"
#include "core/setup/SetupFrames.h"
#include "core/setup/SetupIds.h"
#include "core/setup/SetupTexts.h"

#include <array>

namespace omnar::setup {

namespace ids = screen_ids;

namespace {

// Enabled only while no job runs: keying, every picture Save, audio, hot
// spare, the sharpness radios and the hidden output Save. Resets, edits,
// Refresh, Exit and the output Save are not touched.
constexpr int kBusySet[] = {ids::IDC_KEY_SAVE,        ids::IDC_BRIGHTNESS_SAVE,   ids::IDC_COLOUR_V1_SAVE,
                            ids::IDC_COLOUR_V2_SAVE,  ids::IDC_COLOUR_HDMI_SAVE,  ids::IDC_COLOUR_SAVE,
                            ids::IDC_COLOUR_DP_SAVE,  ids::IDC_COLOUR_EXT_SAVE,   ids::IDC_COLOUR_YPBPR_SAVE,
                            ids::IDC_BIAS_SAVE,       ids::IDC_AUDIO_SAVE,        ids::IDC_SHARPNESS_NORMAL,
                            ids::IDC_SHARPNESS_SHARP, ids::IDC_SPARE_SAVE,        ids::IDC_OUTPUT2_SAVE};
constexpr int kLayoutRadios[] = {ids::IDC_M1, ids::IDC_M2, ids::IDC_M3};

// A picture setting: its edit, Save and Reset, and what its frame carries.
struct SettingRow {
    enum class Kind { Brightness, Bias, Colour };
    int edit;
    int save;
    int reset;
    Kind kind;
    int source; // colour rows: the source code that goes in byte 4
};

constexpr int kResetValue = 50;
constexpr int kBrightnessResetNarrow = 64; // while the range flag is 0

constexpr SettingRow kSettingRows[] = {
    {ids::IDC_BRIGHTNESS, ids::IDC_BRIGHTNESS_SAVE, ids::IDC_BRIGHTNESS_RESET, SettingRow::Kind::Brightness, 0},
    {ids::IDC_BIAS, ids::IDC_BIAS_SAVE, ids::IDC_BIAS_RESET, SettingRow::Kind::Bias, 0},
    {ids::IDC_COLOUR, ids::IDC_COLOUR_SAVE, ids::IDC_COLOUR_RESET, SettingRow::Kind::Colour, link::kSourceV1},
    {ids::IDC_COLOUR_V1, ids::IDC_COLOUR_V1_SAVE, ids::IDC_COLOUR_V1_RESET, SettingRow::Kind::Colour,
     link::kSourceV1},
    {ids::IDC_COLOUR_V2, ids::IDC_COLOUR_V2_SAVE, ids::IDC_COLOUR_V2_RESET, SettingRow::Kind::Colour,
     link::kSourceV2},
    {ids::IDC_COLOUR_HDMI, ids::IDC_COLOUR_HDMI_SAVE, ids::IDC_COLOUR_HDMI_RESET, SettingRow::Kind::Colour,
     link::kSourceHdmi},
    {ids::IDC_COLOUR_DP, ids::IDC_COLOUR_DP_SAVE, ids::IDC_COLOUR_DP_RESET, SettingRow::Kind::Colour,
     link::kSourceDp},
    {ids::IDC_COLOUR_EXT, ids::IDC_COLOUR_EXT_SAVE, ids::IDC_COLOUR_EXT_RESET, SettingRow::Kind::Colour,
     link::kSourceExt},
    {ids::IDC_COLOUR_YPBPR, ids::IDC_COLOUR_YPBPR_SAVE, ids::IDC_COLOUR_YPBPR_RESET, SettingRow::Kind::Colour,
     link::kSourceYPbPr},
};

const SettingRow* settingBySave(int saveId)
{
    for (const auto& row : kSettingRows)
        if (row.save == saveId)
            return &row;
    return nullptr;
}

const SettingRow* settingByReset(int resetId)
{
    for (const auto& row : kSettingRows)
        if (row.reset == resetId)
            return &row;
    return nullptr;
}

link::cmd::Command settingCommand(const SettingRow& row, std::uint8_t deviceId, int value)
{
    switch (row.kind) {
    case SettingRow::Kind::Brightness: return frames::brightness(deviceId, value);
    case SettingRow::Kind::Bias: return frames::bias(deviceId, value);
    case SettingRow::Kind::Colour: return frames::colour(deviceId, value, row.source);
    }
    return {};
}

} // namespace

SetScreenModel::SetScreenModel(const SetupContext& context, WindowCache& cache)
    : m_context(context)
    , m_cache(cache)
{
    // The panel's layout picks the window command code; an unknown layout keeps M1's.
    if (context.pipLayout >= 0 && context.pipLayout <= 2)
        m_windowCode = windowCodeForLayout(context.pipLayout);
}

// ---------------------------------------------------------------- opening

SetupAction SetScreenModel::open()
{
    const bool zh = m_context.chinese;
    SetupView view;
    view.title = std::string(kSetScreenTitle.in(zh));
    for (const Caption& c : setScreenFixedTexts())
        view.texts[c.controlId] = std::string(c.text.in(zh));
    for (const Caption& c : setScreenCaptions())
        view.texts[c.controlId] = std::string(c.text.in(zh));
    for (const WindowGroup g : {WindowGroup::Main, WindowGroup::Pip, WindowGroup::Output, WindowGroup::HiddenOutput}) {
        const WindowControls& w = windowControls(g);
        for (int edit : {w.width, w.hstart, w.height, w.vstart})
            view.tooltips[edit] = std::string(geometryTooltip(edit));
    }
    const std::vector<std::string> channels(kAudioChannels.begin(), kAudioChannels.end());
    view.items[ids::IDC_AUDIO1] = channels;
    view.items[ids::IDC_AUDIO2] = channels;
    // The key colour is changed by the spin arrows only.
    for (int edit : {ids::IDC_KEY_RED, ids::IDC_KEY_GREEN, ids::IDC_KEY_BLUE})
        view.enabled[edit] = false;
    if (m_context.pipLayout >= 0 && m_context.pipLayout <= 2)
        view.merge(layoutRadios(m_context.pipLayout));
    view.merge(openingRules());
    view.merge(busyView(false));

    return m_jobs.submit([this, view] {
        DialogJobs::Plan plan;
        plan.view = view;
        plan.job = refreshSequence({m_context.deviceId, layout(), true});
        plan.onFinished = [this] {
            SetupView end;
            clearAllMarks(end);
            end.merge(busyView(true));
            // At opening the rules come after the Refresh's own busy toggle.
            end.merge(openingRules());
            return end;
        };
        return plan;
    });
}

SetupView SetScreenModel::busyView(bool enable) const
{
    SetupView view;
    for (int id : kBusySet)
        view.enabled[id] = enable;
    const bool pip = m_context.pipOpen;
    view.enabled[ids::IDC_MAIN_SAVE] = enable && pip && !m_context.mosaicOn;
    view.enabled[ids::IDC_PIP_SAVE] = enable && pip;
    for (int id : kLayoutRadios)
        view.enabled[id] = enable && pip;
    return view;
}

SetupView SetScreenModel::openingRules() const
{
    SetupView view;
    const bool pip = m_context.pipOpen;
    view.enabled[ids::IDC_OUTPUT_SAVE] = true;
    for (int id : {ids::IDC_BRIGHTNESS, ids::IDC_BRIGHTNESS_SAVE, ids::IDC_BRIGHTNESS_RESET})
        view.enabled[id] = !m_context.textOpen;
    const bool secondWindow = pip || m_context.textOpen;
    view.enabled[ids::IDC_V2_MODE_V2] = !secondWindow;
    view.enabled[ids::IDC_V2_MODE_YPBPR] = !secondWindow;
    view.checked[ids::IDC_V2_MODE_YPBPR] = m_context.v2IsYPbPr;
    view.checked[ids::IDC_V2_MODE_V2] = !m_context.v2IsYPbPr;
    view.enabled[ids::IDC_MAIN_SAVE] = pip && !m_context.mosaicOn;
    view.enabled[ids::IDC_PIP_SAVE] = pip;
    for (int id : kLayoutRadios)
        view.enabled[id] = pip;
    return view;
}

SetupView SetScreenModel::layoutRadios(int layout) const
{
    SetupView view;
    for (int i = 0; i < 3; ++i)
        view.checked[kLayoutRadios[i]] = i == layout;
    return view;
}

// ---------------------------------------------------------------- helpers

void SetScreenModel::write(SetupView& view, int id, std::string text)
{
    view.texts[id] = std::move(text);
    if (isMarkedEdit(id)) {
        m_marked.insert(id);
        view.marks[id] = true;
    }
}

void SetScreenModel::writeNumber(SetupView& view, int id, long long value)
{
    write(view, id, std::to_string(value));
}

void SetScreenModel::clearMarks(SetupView& view, std::initializer_list<int> editIds)
{
    for (int id : editIds) {
        m_marked.erase(id);
        view.marks[id] = false;
    }
}

void SetScreenModel::clearAllMarks(SetupView& view)
{
    for (int id : kMarkedEdits) {
        m_marked.erase(id);
        view.marks[id] = false;
    }
}

SetupView SetScreenModel::infoSuccess() const
{
    SetupView view;
    view.texts[ids::IDC_INFO] = std::string(kSetSuccessfully.in(m_context.chinese));
    return view;
}

SetupView SetScreenModel::failureView(const CheckFailure& failure)
{
    SetupView view;
    switch (failure.effect) {
    case EditEffect::None: break;
    case EditEffect::Empty: write(view, failure.controlId, ""); break;
    case EditEffect::Zero: write(view, failure.controlId, "0"); break;
    case EditEffect::Mark:
        m_marked.insert(failure.controlId);
        view.marks[failure.controlId] = true;
        break;
    }
    view.message = makeMessageBox(failure.message, m_context.chinese);
    return view;
}

DialogJobs::Plan SetScreenModel::busyPlan(link::cmd::Command command, std::function<SetupView()> onSent)
{
    DialogJobs::Plan plan;
    plan.view = busyView(false);
    plan.job = sendSequence(command);
    plan.onSent = std::move(onSent);
    plan.onFinished = [this] { return busyView(true); };
    return plan;
}

DialogJobs::Plan SetScreenModel::refusedPlan(const CheckFailure& failure)
{
    // The busy toggle still runs: disable, then enable again.
    DialogJobs::Plan plan;
    plan.view = busyView(false);
    plan.view.merge(failureView(failure));
    plan.view.merge(busyView(true));
    return plan;
}

PixelRect SetScreenModel::previewRect(int rectId, const PixelRect& area) const
{
    const auto group = groupForRect(rectId);
    if (!group)
        return {area.x, area.y, 0, 0};
    return setup::previewRect(area, m_out, m_cache.of(*group));
}

// ---------------------------------------------------------------- actions

SetupAction SetScreenModel::refresh()
{
    return m_jobs.submit([this] {
        DialogJobs::Plan plan;
        plan.view = busyView(false);
        plan.job = refreshSequence({m_context.deviceId, layout(), false});
        plan.onFinished = [this] {
            SetupView end;
            clearAllMarks(end);
            end.merge(busyView(true));
            return end;
        };
        return plan;
    });
}

SetupAction SetScreenModel::selectLayout(int layout)
{
    if (layout < 0 || layout > 2)
        return {};
    return m_jobs.submit([this, layout] {
        DialogJobs::Plan plan;
        plan.view = busyView(false);
        plan.job = layoutSequence(m_context.deviceId, layout, m_context.pipOpen);
        plan.onFinished = [this, layout] {
            SetupView end;
            const WindowControls& main = windowControls(WindowGroup::Main);
            const WindowControls& pip = windowControls(WindowGroup::Pip);
            clearMarks(end, {main.width, main.hstart, main.height, main.vstart, pip.width, pip.hstart, pip.height,
                             pip.vstart});
            end.merge(busyView(true));
            m_windowCode = windowCodeForLayout(layout);
            end.merge(layoutRadios(layout));
            return end;
        };
        return plan;
    });
}

SetupAction SetScreenModel::saveWindow(WindowGroup group, const WindowTexts& texts)
{
    return m_jobs.submit([this, group, texts] {
        const WindowValues v{parseTypedNumber(texts.width), parseTypedNumber(texts.hstart),
                             parseTypedNumber(texts.height), parseTypedNumber(texts.vstart)};
        if (const auto failure = checkWindow(group, v, m_out))
            return refusedPlan(*failure);
        // Checked: every value lies within 0..65535.
        const WindowRect rect{static_cast<int>(v.width), static_cast<int>(v.hstart), static_cast<int>(v.height),
                              static_cast<int>(v.vstart)};
        return busyPlan(frames::window(m_context.deviceId, group, m_windowCode, rect), [this, group, rect] {
            // The cache takes what went out, so a job stopped before its
            // frame leaves the earlier window in the cache.
            m_cache.of(group) = rect;
            SetupView view = infoSuccess();
            if (group == WindowGroup::Main || group == WindowGroup::Pip)
                view.redraw.insert({ids::IDC_MAIN_RECT, ids::IDC_PIP_RECT});
            else
                view.redraw.insert({ids::IDC_OUTPUT_RECT, ids::IDC_OUTPUT2_RECT});
            const WindowControls& c = windowControls(group);
            clearMarks(view, {c.width, c.hstart, c.height, c.vstart});
            return view;
        });
    });
}

SetupAction SetScreenModel::saveKeying(bool aboveThreshold, std::string_view red, std::string_view green,
                                       std::string_view blue)
{
    return m_jobs.submit([this, aboveThreshold, r = parseTypedNumber(red), g = parseTypedNumber(green),
                          b = parseTypedNumber(blue)] {
        if (const auto failure = checkKeyColours(r, g, b))
            return refusedPlan(*failure);
        const auto command = frames::textKeying(m_context.deviceId, aboveThreshold, static_cast<int>(r),
                                                static_cast<int>(g), static_cast<int>(b));
        return busyPlan(command, [this] {
            SetupView view = infoSuccess();
            clearMarks(view, {ids::IDC_KEY_RED, ids::IDC_KEY_GREEN, ids::IDC_KEY_BLUE});
            return view;
        });
    });
}

SetupAction SetScreenModel::saveSetting(int saveId, std::string_view text)
{
    const SettingRow* row = settingBySave(saveId);
    if (!row)
        return {};
    return m_jobs.submit([this, row, value = parseTypedNumber(text)] {
        const auto failure = row->kind == SettingRow::Kind::Brightness ? checkBrightness(value, m_brightnessRange)
                                                                        : checkPercent(row->edit, value);
        if (failure)
            return refusedPlan(*failure);
        return busyPlan(settingCommand(*row, m_context.deviceId, static_cast<int>(value)), [this, row] {
            SetupView view = infoSuccess();
            clearMarks(view, {row->edit});
            return view;
        });
    });
}

SetupAction SetScreenModel::resetSetting(int resetId)
{
    const SettingRow* row = settingByReset(resetId);
    if (!row)
        return {};
    return m_jobs.submit([this, row] {
        const int value = row->kind == SettingRow::Kind::Brightness && m_brightnessRange == 0 ? kBrightnessResetNarrow
                                                                                              : kResetValue;
        DialogJobs::Plan plan = busyPlan(settingCommand(*row, m_context.deviceId, value), [this, row] {
            SetupView view = infoSuccess();
            clearMarks(view, {row->edit});
            return view;
        });
        writeNumber(plan.view, row->edit, value);
        return plan;
    });
}

namespace {

// A radio's frame: sent at once, without the busy toggle.
DialogJobs::Plan radioPlan(link::cmd::Command command, std::function<SetupView()> onSent)
{
    DialogJobs::Plan plan;
    plan.job = sendSequence(command);
    plan.onSent = std::move(onSent);
    return plan;
}

} // namespace

SetupAction SetScreenModel::setSharpness(bool sharp)
{
    return m_jobs.submit([this, sharp] {
        return radioPlan(frames::sharpness(m_context.deviceId, sharp), [this] { return infoSuccess(); });
    });
}

SetupAction SetScreenModel::setMosaicMode(bool sync)
{
    return m_jobs.submit([this, sync] {
        return radioPlan(frames::mosaicMode(m_context.deviceId, sync), [this] { return infoSuccess(); });
    });
}

SetupAction SetScreenModel::setV2Mode(bool ypbpr)
{
    return m_jobs.submit([this, ypbpr] { return radioPlan(frames::v2Mode(m_context.deviceId, ypbpr), nullptr); });
}

SetupAction SetScreenModel::saveAudio(int position1, int position2)
{
    return m_jobs.submit([this, position1, position2] {
        return busyPlan(frames::audio(m_context.deviceId, position1, position2, m_context.v2IsYPbPr),
                        [this] { return infoSuccess(); });
    });
}

SetupAction SetScreenModel::saveHotSpare(bool v1v2, bool hdmiDvi, bool vga1Vga2)
{
    return m_jobs.submit([this, v1v2, hdmiDvi, vga1Vga2] {
        return busyPlan(frames::hotSpare(m_context.deviceId, v1v2, hdmiDvi, vga1Vga2),
                        [this] { return infoSuccess(); });
    });
}

// ---------------------------------------------------------------- no device traffic

SetupView SetScreenModel::spin(int spinId, std::string_view editText, int delta)
{
    const int edit = editForSpin(spinId);
    const auto direction = spinDirectionForDelta(delta);
    if (!edit || !direction)
        return {};
    const SpinOutcome outcome = stepKeyColour(spinId, parseTypedNumber(editText), *direction);
    SetupView view;
    // The value goes back into the edit even when it could not move.
    writeNumber(view, edit, outcome.value);
    if (outcome.message)
        view.message = makeMessageBox(*outcome.message, m_context.chinese);
    return view;
}

SetupView SetScreenModel::audioChanged(int listId, int position1, int position2)
{
    const bool first = listId == ids::IDC_AUDIO1;
    if (!first && listId != ids::IDC_AUDIO2)
        return {};
    const auto move = first ? audioConflictMove(position1, position2) : audioConflictMove(position2, position1);
    if (!move)
        return {};
    SetupView view;
    view.selections[listId] = *move;
    view.message = makeMessageBox(MessageId::SameAudioChannel, m_context.chinese);
    return view;
}

SetupView SetScreenModel::editChanged(int editId)
{
    SetupView view;
    if (isMarkedEdit(editId)) {
        m_marked.insert(editId);
        view.marks[editId] = true;
    }
    return view;
}

} // namespace omnar::setup
