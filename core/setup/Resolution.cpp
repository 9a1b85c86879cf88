#include "core/setup/Resolution.h"

namespace omnar::setup {

std::string_view resolutionName(int index)
{
    if (index >= 0 && index < kFixedResolutionCount)
        return kFixedResolutions[static_cast<std::size_t>(index)].name;
    if (index == kCustomResolutionIndex)
        return kCustomResolutionName;
    return {};
}

std::optional<ResolutionMode> fixedResolution(int index)
{
    if (index >= 0 && index < kFixedResolutionCount)
        return kFixedResolutions[static_cast<std::size_t>(index)];
    return std::nullopt;
}

OutputSize sizeForIndex(int index, OutputSize previous)
{
    if (const auto mode = fixedResolution(index))
        return {mode->width, mode->height};
    return previous;
}

std::optional<int> indexForListPosition(int position)
{
    if (position < 0 || position >= kResolutionListSize)
        return std::nullopt;
    return kResolutionListIndices[static_cast<std::size_t>(position)];
}

std::optional<int> listPositionForIndex(int index)
{
    for (int position = 0; position < kResolutionListSize; ++position)
        if (kResolutionListIndices[static_cast<std::size_t>(position)] == index)
            return position;
    return std::nullopt;
}

OutputSize adoptCustomSize(int width, int height, OutputSize previous)
{
    if (width <= 0 || height <= 0)
        return previous;
    return {width, height};
}

} // namespace omnar::setup
