#include "core/setup/SetupView.h"

#include "core/setup/SetupIds.h"

#include <algorithm>

namespace omnar::setup {

namespace ids = screen_ids;

MessageBox makeMessageBox(MessageId id, bool chinese)
{
    const MessageText& m = messageText(id);
    return {id, std::string(m.text.in(chinese)), std::string(m.caption.in(chinese)),
            chinese ? m.languageIdZh : m.languageIdEn};
}

namespace {

template <typename T>
void overwrite(std::map<int, T>& into, const std::map<int, T>& from)
{
    for (const auto& [id, value] : from)
        into[id] = value;
}

} // namespace

void SetupView::merge(const SetupView& later)
{
    if (later.title)
        title = later.title;
    overwrite(texts, later.texts);
    overwrite(items, later.items);
    overwrite(tooltips, later.tooltips);
    overwrite(selections, later.selections);
    overwrite(checked, later.checked);
    overwrite(enabled, later.enabled);
    overwrite(marks, later.marks);
    redraw.insert(later.redraw.begin(), later.redraw.end());
    if (later.message)
        message = later.message;
}

bool SetupView::empty() const
{
    return !title && texts.empty() && items.empty() && tooltips.empty() && selections.empty() && checked.empty()
        && enabled.empty() && marks.empty() && redraw.empty() && !message;
}

std::optional<Rgb> previewFill(int controlId)
{
    switch (controlId) {
    case ids::IDC_MAIN_AREA:
    case ids::IDC_OUTPUT_AREA:
    case ids::IDC_OUTPUT2_AREA: return kPreviewAreaColour;
    case ids::IDC_MAIN_RECT: return Rgb{0, 255, 0};
    case ids::IDC_PIP_RECT: return Rgb{255, 0, 0};
    case ids::IDC_OUTPUT_RECT:
    case ids::IDC_OUTPUT2_RECT: return Rgb{0, 0, 255};
    default: return std::nullopt;
    }
}

bool isSectionTitle(int controlId)
{
    constexpr int kTitles[] = {ids::IDC_BRIGHTNESS_TITLE, ids::IDC_BIAS_TITLE,    ids::IDC_COLOUR_TITLE,
                               ids::IDC_MOSAIC_MODE_GROUP, ids::IDC_SHARPNESS_TITLE, ids::IDC_AUDIO_GROUP,
                               ids::IDC_SPARE_GROUP,      ids::IDC_KEY_GROUP,       ids::IDC_INFO_LABEL,
                               ids::IDC_V2_MODE_LABEL};
    return std::ranges::find(kTitles, controlId) != std::end(kTitles);
}

const std::array<int, 28> kMarkedEdits{
    ids::IDC_MAIN_WIDTH,    ids::IDC_MAIN_HSTART,   ids::IDC_MAIN_HEIGHT,   ids::IDC_MAIN_VSTART,
    ids::IDC_PIP_WIDTH,     ids::IDC_PIP_HSTART,    ids::IDC_PIP_HEIGHT,    ids::IDC_PIP_VSTART,
    ids::IDC_OUTPUT_WIDTH,  ids::IDC_OUTPUT_HSTART, ids::IDC_OUTPUT_HEIGHT, ids::IDC_OUTPUT_VSTART,
    ids::IDC_OUTPUT2_WIDTH, ids::IDC_OUTPUT2_HSTART, ids::IDC_OUTPUT2_HEIGHT, ids::IDC_OUTPUT2_VSTART,
    ids::IDC_KEY_RED,       ids::IDC_KEY_GREEN,     ids::IDC_KEY_BLUE,      ids::IDC_BRIGHTNESS,
    ids::IDC_COLOUR_V1,     ids::IDC_BIAS,          ids::IDC_COLOUR_V2,     ids::IDC_COLOUR_HDMI,
    ids::IDC_COLOUR,        ids::IDC_COLOUR_DP,     ids::IDC_COLOUR_EXT,    ids::IDC_COLOUR_YPBPR,
};

bool isMarkedEdit(int controlId)
{
    return std::ranges::find(kMarkedEdits, controlId) != kMarkedEdits.end();
}

} // namespace omnar::setup
