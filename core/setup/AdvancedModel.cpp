#include "core/setup/AdvancedModel.h"

#include "core/setup/Resolution.h"
#include "core/setup/SetupChecks.h"
#include "core/setup/SetupFrames.h"
#include "core/setup/SetupIds.h"
#include "core/setup/SetupSequences.h"

namespace omnar::setup {

namespace ids = advanced_ids;

AdvancedModel::AdvancedModel(std::uint8_t deviceId, bool chinese)
    : m_deviceId(deviceId)
    , m_chinese(chinese)
{
}

SetupView AdvancedModel::customForm(bool enabled) const
{
    SetupView view;
    for (int id : {ids::IDC_CUSTOM_WIDTH, ids::IDC_CUSTOM_HEIGHT, ids::IDC_CUSTOM_RATE, ids::IDC_CUSTOM_SAVE})
        view.enabled[id] = enabled;
    return view;
}

SetupAction AdvancedModel::open()
{
    SetupView view;
    view.title = std::string(kResolutionTitle.in(m_chinese));
    for (const Caption& c : resolutionCaptions())
        view.texts[c.controlId] = std::string(c.text.in(m_chinese));
    std::vector<std::string> entries;
    for (int index : kResolutionListIndices)
        entries.emplace_back(resolutionName(index));
    view.items[ids::IDC_RESOLUTION_LIST] = std::move(entries);
    view.selections[ids::IDC_RESOLUTION_LIST] = -1;
    view.merge(customForm(false));
    view.enabled[ids::IDC_RESOLUTION_LIST] = false;

    return m_jobs.submit([this, view] {
        DialogJobs::Plan plan;
        plan.view = view;
        plan.job = resolutionOpeningSequence(m_deviceId);
        plan.onFinished = [] {
            SetupView end;
            end.enabled[ids::IDC_RESOLUTION_LIST] = true;
            return end;
        };
        return plan;
    });
}

SetupAction AdvancedModel::select(int position)
{
    const auto index = indexForListPosition(position);
    if (!index)
        return {};
    return m_jobs.submit([this, index = *index] {
        DialogJobs::Plan plan;
        plan.job = changeResolutionSequence(frames::setResolution(m_deviceId, index));
        plan.progressKind = kProgressChangingResolution;
        // The list holds no custom entry, so a pick never leaves the form usable.
        plan.onFinished = [this] { return customForm(false); };
        return plan;
    });
}

SetupAction AdvancedModel::saveCustom(std::string_view width, std::string_view height, std::string_view refreshRate)
{
    const auto w = parseTypedNumber(width);
    const auto h = parseTypedNumber(height);
    const auto f = parseTypedNumber(refreshRate);
    return m_jobs.submit([this, w, h, f] {
        DialogJobs::Plan plan;
        if (!checkDotClock(w, h, f).accepted) {
            plan.view.message = makeMessageBox(MessageId::DotClockOutOfRange, m_chinese);
            return plan;
        }
        plan.job = changeResolutionSequence(frames::customResolution(m_deviceId, static_cast<int>(w),
                                                                     static_cast<int>(h), static_cast<int>(f)));
        plan.progressKind = kProgressChangingDotClock;
        return plan;
    });
}

SetupView AdvancedModel::apply(const Report& report)
{
    SetupView view;
    if (const auto* output = std::get_if<OutputReadBack>(&report)) {
        view.selections[ids::IDC_RESOLUTION_LIST] = listPositionForIndex(output->resolutionIndex).value_or(-1);
        if (output->resolutionIndex == kCustomResolutionIndex)
            view.merge(customForm(true));
    } else if (const auto* custom = std::get_if<CustomResolution>(&report)) {
        view.texts[ids::IDC_CUSTOM_WIDTH] = std::to_string(custom->width);
        view.texts[ids::IDC_CUSTOM_HEIGHT] = std::to_string(custom->height);
        view.texts[ids::IDC_CUSTOM_RATE] = std::to_string(custom->refreshRate);
    } else if (std::holds_alternative<FrameSent>(report)) {
        view = m_jobs.frameSent();
    }
    return view;
}

SetupAction AdvancedModel::jobFinished()
{
    return m_jobs.finished();
}

} // namespace omnar::setup
