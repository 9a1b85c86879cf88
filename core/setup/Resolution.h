#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>

namespace omnar::setup {

// The device's numbers for its output modes: 0..15 are fixed modes, 16 is
// a custom timing whose size is read back separately.
inline constexpr int kFixedResolutionCount = 16;
inline constexpr int kCustomResolutionIndex = 16;

struct ResolutionMode {
    int width;
    int height;
    std::string_view name; // as the resolution lists show it
};

// Fixed modes in index order. The names are the device's own spelling
// (index 0 writes a capital X).
inline constexpr std::array<ResolutionMode, kFixedResolutionCount> kFixedResolutions{{
    {1024, 768, "1024X768@60Hz"},
    {1024, 768, "1024x768@75Hz"},
    {1280, 1024, "1280x1024@60Hz"},
    {1280, 1024, "1280x1024@75Hz"},
    {1600, 1200, "1600x1200@60Hz"},
    {1920, 1080, "1920x1080@50Hz"},
    {1920, 1080, "1920x1080@60Hz"},
    {1366, 768, "1366x768@60Hz"},
    {1440, 900, "1440x900@60Hz"},
    {2048, 1152, "2048x1152@60Hz"},
    {2560, 816, "2560x816@60Hz"},
    {2304, 1152, "2304x1152@60Hz"},
    {1920, 1200, "1920x1200@60Hz"},
    {1200, 1600, "1200x1600@60Hz"},
    {1080, 1920, "1080x1920@60Hz"},
    {1536, 1536, "1536x1536@60Hz"},
}};

inline constexpr std::string_view kCustomResolutionName = "自定义分辨率(Custom resolution)";

// The list text of an index: a fixed mode's name, the custom entry for 16,
// empty for anything else.
std::string_view resolutionName(int index);

// The output size of a fixed mode; empty for the custom index (its size
// comes from the custom read-back) and for unknown indices (17..255), which
// leave the size the caller had.
std::optional<ResolutionMode> fixedResolution(int index);

struct OutputSize {
    int width = 1024;
    int height = 768;
    friend bool operator==(const OutputSize&, const OutputSize&) = default;
};

// The size after the device reported `index`: a fixed mode's size, or
// `previous` unchanged for the custom index and unknown indices.
OutputSize sizeForIndex(int index, OutputSize previous);

// The Resolution window's list: ten of the fixed modes, by list position.
// Indices 9..14 have no entry, and the custom index none either.
inline constexpr int kResolutionListSize = 10;
inline constexpr std::array<int, kResolutionListSize> kResolutionListIndices{0, 1, 2, 3, 4, 5, 6, 7, 8, 15};

// The resolution index a list position stands for; empty outside 0..9.
std::optional<int> indexForListPosition(int position);
// The list position that shows a resolution index; empty (no selection) for
// an index without an entry.
std::optional<int> listPositionForIndex(int index);

// A custom size read back from the device (16-bit width and height). A size
// of 0 in either direction is no size (it would make every window check
// fail and the preview divide by zero): `previous` stays.
OutputSize adoptCustomSize(int width, int height, OutputSize previous);

} // namespace omnar::setup
