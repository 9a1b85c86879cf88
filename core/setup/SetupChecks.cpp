#include "core/setup/SetupChecks.h"

#include "core/setup/SetupIds.h"

#include <cstdlib>
#include <limits>

namespace omnar::setup {

namespace ids = screen_ids;

namespace {

constexpr std::int64_t kTypedMax = std::numeric_limits<std::int64_t>::max();
constexpr int kMinWindowSize = 64;
constexpr std::int64_t kColourComponentMax = 255;

// The range checks of one axis: a size and its start against the output's
// length. The forms avoid overflow: once `size` is within 0..length,
// `length - size` is small, and parsed values never reach INT64_MIN.
bool sizeFails(std::int64_t size, std::int64_t start, std::int64_t length)
{
    return size > length || size < kMinWindowSize || std::llabs(start) > length - size;
}

bool startFails(std::int64_t start, std::int64_t size, std::int64_t length)
{
    return start > length || start < 0 || std::llabs(size) > length - start;
}

bool inRange(std::int64_t v, std::int64_t lo, std::int64_t hi)
{
    return v >= lo && v <= hi;
}

} // namespace

std::int64_t parseTypedNumber(std::string_view text)
{
    std::size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t'))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '-' || text[i] == '+')) {
        negative = text[i] == '-';
        ++i;
    }
    std::int64_t value = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        const int digit = text[i] - '0';
        if (value > (kTypedMax - digit) / 10) {
            value = kTypedMax;
            break;
        }
        value = value * 10 + digit;
    }
    return negative ? -value : value;
}

std::optional<CheckFailure> checkWindow(WindowGroup group, const WindowValues& v, OutputSize out)
{
    const WindowControls& c = windowControls(group);
    const auto outOfRange = [](int id) { return CheckFailure{id, MessageId::ValueOutOfRange, EditEffect::Empty}; };
    if (sizeFails(v.width, v.hstart, out.width))
        return outOfRange(c.width);
    if (startFails(v.hstart, v.width, out.width))
        return outOfRange(c.hstart);
    if (sizeFails(v.height, v.vstart, out.height))
        return outOfRange(c.height);
    if (startFails(v.vstart, v.height, out.height))
        return outOfRange(c.vstart);

    const std::pair<std::int64_t, int> inOrder[] = {
        {v.width, c.width}, {v.hstart, c.hstart}, {v.height, c.height}, {v.vstart, c.vstart}};
    for (const auto& [value, id] : inOrder)
        if (value % 2 != 0)
            return CheckFailure{id, MessageId::OddValue, EditEffect::Mark};
    return std::nullopt;
}

std::optional<CheckFailure> checkBrightness(std::int64_t value, int rangeFlag)
{
    const std::int64_t top = rangeFlag == 0 ? 64 : 100;
    if (!inRange(value, 0, top))
        return CheckFailure{ids::IDC_BRIGHTNESS, MessageId::ValueOutOfRange, EditEffect::Zero};
    if (value % 2 != 0)
        return CheckFailure{ids::IDC_BRIGHTNESS, MessageId::OddValue, EditEffect::None};
    return std::nullopt;
}

std::optional<CheckFailure> checkPercent(int editId, std::int64_t value)
{
    if (!inRange(value, 0, 100))
        return CheckFailure{editId, MessageId::ValueOutOfRange, EditEffect::Zero};
    return std::nullopt;
}

std::optional<CheckFailure> checkKeyColours(std::int64_t red, std::int64_t green, std::int64_t blue)
{
    const std::pair<std::int64_t, int> inOrder[] = {
        {red, ids::IDC_KEY_RED}, {green, ids::IDC_KEY_GREEN}, {blue, ids::IDC_KEY_BLUE}};
    for (const auto& [value, id] : inOrder)
        if (!inRange(value, 0, kColourComponentMax))
            return CheckFailure{id, MessageId::ValueOutOfRange, EditEffect::Zero};
    return std::nullopt;
}

std::optional<SpinDirection> spinDirectionForDelta(int delta)
{
    if (delta == -1)
        return SpinDirection::Up;
    if (delta == 1)
        return SpinDirection::Down;
    return std::nullopt;
}

int editForSpin(int spinId)
{
    switch (spinId) {
    case ids::IDC_KEY_RED_SPIN: return ids::IDC_KEY_RED;
    case ids::IDC_KEY_GREEN_SPIN: return ids::IDC_KEY_GREEN;
    case ids::IDC_KEY_BLUE_SPIN: return ids::IDC_KEY_BLUE;
    default: return 0;
    }
}

int spinStep(int spinId)
{
    return spinId == ids::IDC_KEY_GREEN_SPIN ? 4 : 8;
}

SpinOutcome stepKeyColour(int spinId, std::int64_t current, SpinDirection direction)
{
    const int step = spinStep(spinId);
    if (direction == SpinDirection::Up) {
        if (current > kColourComponentMax - step)
            return {current, MessageId::SpinUp};
        return {current + step, std::nullopt};
    }
    if (current < step)
        return {current, MessageId::SpinDown};
    return {current - step, std::nullopt};
}

DotClockCheck checkDotClock(std::int64_t width, std::int64_t height, std::int64_t refreshRate)
{
    if (!inRange(width, 1, 65535) || !inRange(height, 1, 65535) || !inRange(refreshRate, 1, 255))
        return {false, 0};
    // At most 65580 x 65719 x 255, far inside 64 bits.
    const std::int64_t p = (height + kVerticalBlanking) * (width + kHorizontalBlanking) * refreshRate;
    return {inRange(p, kDotClockMin, kDotClockMax), p};
}

std::optional<int> audioConflictMove(int changedPosition, int otherPosition)
{
    if (changedPosition != otherPosition)
        return std::nullopt;
    return changedPosition <= 0 ? 1 : 0;
}

} // namespace omnar::setup
