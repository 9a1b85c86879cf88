#include "core/setup/SetScreenModel.h"

#include "core/setup/SetupIds.h"
#include "core/setup/SetupTexts.h"

// The setup window's answers to what its jobs report.
namespace omnar::setup {

namespace ids = screen_ids;

void SetScreenModel::writeWindowEdits(SetupView& view, WindowGroup group, const WindowRect& rect)
{
    const WindowControls& c = windowControls(group);
    writeNumber(view, c.hstart, rect.hstart);
    writeNumber(view, c.width, rect.width);
    writeNumber(view, c.vstart, rect.vstart);
    writeNumber(view, c.height, rect.height);
}

void SetScreenModel::setOutputSize(SetupView& view, OutputSize size)
{
    // Every preview scales by the output size.
    if (size != m_out)
        view.redraw.insert({ids::IDC_MAIN_RECT, ids::IDC_PIP_RECT, ids::IDC_OUTPUT_RECT, ids::IDC_OUTPUT2_RECT});
    m_out = size;
    const std::string corner = cornerLabel(m_out);
    for (int id : {ids::IDC_MAIN_CORNER, ids::IDC_OUTPUT_CORNER, ids::IDC_OUTPUT2_CORNER})
        view.texts[id] = corner;
}

SetupView SetScreenModel::apply(const Report& report)
{
    return std::visit([this](const auto& r) { return on(r); }, report);
}

SetupAction SetScreenModel::jobFinished()
{
    return m_jobs.finished();
}

SetupView SetScreenModel::on(const OutputReadBack& r)
{
    SetupView view;
    m_cache.output = r.output;
    writeWindowEdits(view, WindowGroup::Output, r.output);
    setOutputSize(view, sizeForIndex(r.resolutionIndex, m_out));
    view.redraw.insert({ids::IDC_OUTPUT_RECT, ids::IDC_OUTPUT2_RECT});
    return view;
}

SetupView SetScreenModel::on(const CustomResolution& r)
{
    SetupView view;
    setOutputSize(view, adoptCustomSize(r.width, r.height, m_out));
    view.redraw.insert({ids::IDC_OUTPUT_RECT, ids::IDC_OUTPUT2_RECT});
    return view;
}

SetupView SetScreenModel::on(const WindowReadBack& r)
{
    SetupView view;
    if (r.group != WindowGroup::Main && r.group != WindowGroup::Pip)
        return view;
    m_cache.of(r.group) = r.rect;
    writeWindowEdits(view, r.group, r.rect);
    view.redraw.insert(windowControls(r.group).rect);
    return view;
}

SetupView SetScreenModel::on(const MosaicModeReadBack& r)
{
    SetupView view;
    view.checked[ids::IDC_MOSAIC_SYNC] = r.sync;
    view.checked[ids::IDC_MOSAIC_NO_SYNC] = !r.sync;
    writeWindowEdits(view, WindowGroup::Output, m_cache.output);
    view.redraw.insert({ids::IDC_OUTPUT_RECT, ids::IDC_OUTPUT2_RECT});
    return view;
}

SetupView SetScreenModel::on(const PictureReadBack& r)
{
    SetupView view;
    writeNumber(view, ids::IDC_BRIGHTNESS, r.brightness);
    writeNumber(view, ids::IDC_BIAS, r.bias);
    view.checked[ids::IDC_SHARPNESS_NORMAL] = !r.sharp;
    view.checked[ids::IDC_SHARPNESS_SHARP] = r.sharp;
    view.selections[ids::IDC_AUDIO1] = r.audio1;
    view.selections[ids::IDC_AUDIO2] = r.audio2;
    view.checked[ids::IDC_SPARE_V1_V2] = r.hotSpare[0];
    view.checked[ids::IDC_SPARE_HDMI_DVI] = r.hotSpare[1];
    view.checked[ids::IDC_SPARE_VGA1_VGA2] = r.hotSpare[2];
    m_brightnessRange = r.brightnessRange;
    view.texts[ids::IDC_BRIGHTNESS_RANGE] = std::string(brightnessRangeLabel(m_brightnessRange));
    return view;
}

SetupView SetScreenModel::on(const TextKeyingReadBack& r)
{
    SetupView view;
    view.checked[ids::IDC_KEY_BELOW] = !r.aboveThreshold;
    view.checked[ids::IDC_KEY_ABOVE] = r.aboveThreshold;
    writeNumber(view, ids::IDC_KEY_RED, r.red);
    writeNumber(view, ids::IDC_KEY_GREEN, r.green);
    writeNumber(view, ids::IDC_KEY_BLUE, r.blue);
    return view;
}

SetupView SetScreenModel::on(const SourceColoursReadBack& r)
{
    SetupView view;
    writeNumber(view, ids::IDC_COLOUR, r.colour);
    writeNumber(view, ids::IDC_COLOUR_V1, r.colour);
    writeNumber(view, ids::IDC_COLOUR_V2, r.v2);
    writeNumber(view, ids::IDC_COLOUR_HDMI, r.hdmi);
    writeNumber(view, ids::IDC_COLOUR_DP, r.dp);
    writeNumber(view, ids::IDC_COLOUR_EXT, r.ext);
    writeNumber(view, ids::IDC_COLOUR_YPBPR, r.ypbpr);
    return view;
}

SetupView SetScreenModel::on(const FrameSent&)
{
    return m_jobs.frameSent();
}

} // namespace omnar::setup
