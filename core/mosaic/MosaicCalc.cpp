#include "core/mosaic/MosaicCalc.h"

#include "core/mosaic/MosaicIds.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdlib>

namespace omnar::mosaic {

namespace {

// Far above any field's range, far below overflow when a few are summed.
constexpr unsigned long long kSaturated = 1ULL << 40;

struct Digits {
    bool negative = false;
    unsigned long long magnitude = 0;
};

Digits readDigits(std::string_view text)
{
    std::size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t' || text[i] == '\r' || text[i] == '\n'))
        ++i;
    Digits d;
    if (i < text.size() && (text[i] == '-' || text[i] == '+')) {
        d.negative = text[i] == '-';
        ++i;
    }
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i)
        d.magnitude = std::min(kSaturated, d.magnitude * 10 + static_cast<unsigned>(text[i] - '0'));
    return d;
}

int toField(long long v)
{
    return static_cast<int>(std::clamp<long long>(v, INT_MIN, INT_MAX));
}

// Division first, then the multiplication by the resolution, in double
// precision, truncated toward zero: the device expects exactly these values.
int share(long long part, long long total, long long resolution)
{
    const double v = static_cast<double>(part) / static_cast<double>(total) * static_cast<double>(resolution);
    return toField(static_cast<long long>(std::trunc(v)));
}

const std::string& widthText(const std::vector<CellText>& cells, int n)
{
    static const std::string empty;
    return n >= 0 && static_cast<std::size_t>(n) < cells.size() ? cells[static_cast<std::size_t>(n)].width : empty;
}

const std::string& heightText(const std::vector<CellText>& cells, int n)
{
    static const std::string empty;
    return n >= 0 && static_cast<std::size_t>(n) < cells.size() ? cells[static_cast<std::size_t>(n)].height : empty;
}

bool odd(long long v)
{
    return v % 2 != 0;
}

} // namespace

long long readSigned(std::string_view text)
{
    const Digits d = readDigits(text);
    const auto m = static_cast<long long>(d.magnitude);
    return d.negative ? -m : m;
}

unsigned long long readUnsigned(std::string_view text)
{
    const Digits d = readDigits(text);
    if (d.negative && d.magnitude != 0)
        return ULLONG_MAX;
    return d.magnitude;
}

void writeValue(MosaicState& state, MosaicView& view, Group group, Quantity quantity, Column column, int value)
{
    ValueField& f = state.field(group, quantity, column);
    f.value = value;
    f.changed = true;
    const int id = valueFieldId(group, quantity, column);
    view.values[id] = value;
    view.marks[id] = true;
}

void setMark(MosaicState& state, MosaicView& view, Group group, Quantity quantity, Column column, bool changed)
{
    state.field(group, quantity, column).changed = changed;
    view.marks[valueFieldId(group, quantity, column)] = changed;
}

MosaicView autoCalculate(MosaicState& state, const std::vector<CellText>& cells)
{
    MosaicView view;
    for (Group group : {Group::Input, Group::Output})
        for (Quantity quantity : kQuantities)
            writeValue(state, view, group, quantity, Column::Adjusted, 0);

    const int columns = std::max<int>(1, state.columns);
    const int rows = std::max<int>(1, state.rows);
    const int selected = state.selectedWindow;
    const int column = selected % columns;
    const int row = selected / columns;
    const long long wres = state.resolutionWidth;
    const long long hres = state.resolutionHeight;

    bool valid = true;
    long long widthTotal = 0;
    for (int c = 0; c < columns; ++c) {
        const int n = row * columns + c;
        const std::string& text = widthText(cells, n);
        const long long w = readSigned(text);
        if (text.empty() || w < kMinimumScreenSize || w > wres) {
            view.messages.push_back(
                messageBox(text.empty() ? MessageId::IncompleteWidth : MessageId::CalcOutOfRange, state.chinese));
            view.edits[ids::IDC_WIDTH_EDIT_BASE + n] = std::to_string(wres);
            valid = false;
            break;
        }
        widthTotal += w;
    }

    // Runs after a failed width pass too, so both messages can appear.
    // A row's height is the one typed in its first cell.
    long long heightTotal = 0;
    for (int r = 0; r < rows; ++r) {
        const int n = r * columns;
        const std::string& text = heightText(cells, n);
        const long long h = readSigned(text);
        if (text.empty() || h < kMinimumScreenSize || h > hres) {
            view.messages.push_back(
                messageBox(text.empty() ? MessageId::IncompleteHeight : MessageId::CalcOutOfRange, state.chinese));
            view.edits[ids::IDC_HEIGHT_EDIT_BASE + n] = std::to_string(hres);
            valid = false;
            break;
        }
        heightTotal += h;
    }

    if (valid) {
        const long long w = readSigned(widthText(cells, selected));
        const long long h = readSigned(heightText(cells, selected));
        long long leftSum = 0;
        for (int c = 0; c < column; ++c)
            leftSum += readSigned(widthText(cells, row * columns + c));
        long long aboveSum = 0;
        for (int r = 0; r < row; ++r)
            aboveSum += readSigned(heightText(cells, r * columns));

        const Column calc = Column::Calculated;
        writeValue(state, view, Group::Input, Quantity::Width, calc, share(w, widthTotal, wres));
        writeValue(state, view, Group::Input, Quantity::Height, calc, share(h, heightTotal, hres));
        writeValue(state, view, Group::Input, Quantity::HorizontalStart, calc, share(leftSum, widthTotal, wres));
        writeValue(state, view, Group::Input, Quantity::VerticalStart, calc, share(aboveSum, heightTotal, hres));
        writeValue(state, view, Group::Output, Quantity::Width, calc, toField(w));
        writeValue(state, view, Group::Output, Quantity::Height, calc, toField(h));
        writeValue(state, view, Group::Output, Quantity::HorizontalStart, calc, 0);
        writeValue(state, view, Group::Output, Quantity::VerticalStart, calc, 0);
    }

    state.uploadEnabled = true;
    view.upload = true;
    return view;
}

SetOutcome beginSet(MosaicState& state, Group group)
{
    SetOutcome out;
    MosaicView& view = out.view;
    state.uploadEnabled = false;
    view.uploadWhileMessages = false;

    const long long w = state.finalValue(group, Quantity::Width);
    const long long x = state.finalValue(group, Quantity::HorizontalStart);
    const long long h = state.finalValue(group, Quantity::Height);
    const long long y = state.finalValue(group, Quantity::VerticalStart);
    const long long wres = state.resolutionWidth;
    const long long hres = state.resolutionHeight;

    // The first failing check names its own quantity, even when another
    // quantity's value pushed the window outside the resolution.
    std::optional<Quantity> outOfRange;
    if (w > wres || w < kMinimumScreenSize || w + std::llabs(x) > wres)
        outOfRange = Quantity::Width;
    else if (x > wres || x < 0 || x + w > wres)
        outOfRange = Quantity::HorizontalStart;
    else if (h > hres || h < kMinimumScreenSize || h + std::llabs(y) > hres)
        outOfRange = Quantity::Height;
    else if (y > hres || y < 0 || y + h > hres)
        outOfRange = Quantity::VerticalStart;

    std::optional<Quantity> firstOdd;
    if (!outOfRange) {
        if (odd(w))
            firstOdd = Quantity::Width;
        else if (odd(x))
            firstOdd = Quantity::HorizontalStart;
        else if (odd(h))
            firstOdd = Quantity::Height;
        else if (odd(y))
            firstOdd = Quantity::VerticalStart;
    }

    if (outOfRange) {
        writeValue(state, view, group, *outOfRange, Column::Adjusted, 0);
        view.messages.push_back(messageBox(MessageId::SetOutOfRange, state.chinese));
    } else if (firstOdd) {
        setMark(state, view, group, *firstOdd, Column::Adjusted, true);
        view.messages.push_back(messageBox(MessageId::OddValue, state.chinese));
    } else if (state.connected) {
        // Every value passed the checks, so each fits 16 bits.
        out.frame = windowFrame(state.deviceAddress, group, static_cast<std::uint16_t>(x),
                                static_cast<std::uint16_t>(w), static_cast<std::uint16_t>(y),
                                static_cast<std::uint16_t>(h));
        view.upload = false;
        return out;
    }
    state.uploadEnabled = true;
    view.upload = true;
    return out;
}

MosaicView finishSet(MosaicState& state, Group group)
{
    MosaicView view;
    for (Quantity quantity : kQuantities)
        for (Column column : {Column::Calculated, Column::Adjusted})
            setMark(state, view, group, quantity, column, false);
    state.uploadEnabled = true;
    view.upload = true;
    return view;
}

link::Frame windowFrame(std::uint8_t deviceAddress, Group group, std::uint16_t horizontalStart, std::uint16_t width,
                        std::uint16_t verticalStart, std::uint16_t height)
{
    link::Frame f = link::makeFrame(deviceAddress, group == Group::Input ? kInputWindowCommand : kOutputWindowCommand,
                                    {0x00});
    link::putBigEndian16(f, 4, horizontalStart);
    link::putBigEndian16(f, 6, width);
    link::putBigEndian16(f, 8, verticalStart);
    link::putBigEndian16(f, 10, height);
    return f;
}

MosaicView spinStep(MosaicState& state, int spinControlId, int step)
{
    MosaicView view;
    const auto ref = adjustedFieldOfSpin(spinControlId);
    if (!ref || (step != -1 && step != 1))
        return view;
    const int current = state.field(ref->group, ref->quantity, Column::Adjusted).value;
    const auto next = static_cast<std::int16_t>(current - step); // −1 is the up arrow: one more
    writeValue(state, view, ref->group, ref->quantity, Column::Adjusted, next);
    return view;
}

} // namespace omnar::mosaic
