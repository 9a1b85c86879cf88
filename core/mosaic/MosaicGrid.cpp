#include "core/mosaic/MosaicGrid.h"

#include "core/mosaic/MosaicCalc.h"
#include "core/mosaic/MosaicIds.h"

#include <algorithm>
#include <string>

namespace omnar::mosaic {

namespace {

constexpr std::array<int, 9> kAddressRadios{ids::IDC_ADDRESS_1, ids::IDC_ADDRESS_2, ids::IDC_ADDRESS_3,
                                            ids::IDC_ADDRESS_4, ids::IDC_ADDRESS_5, ids::IDC_ADDRESS_6,
                                            ids::IDC_ADDRESS_7, ids::IDC_ADDRESS_8, ids::IDC_ADDRESS_9};

void showSelection(const MosaicState& state, MosaicView& view)
{
    for (int n = 0; n < state.cellCount; ++n)
        view.buttonColours[ids::IDC_WINDOW_BUTTON_BASE + n] = windowButtonColour(n, state.selectedWindow);
    view.captions[ids::IDC_INPUT_GROUP] = inputGroupCaption(state.selectedWindow, state.chinese);
    view.captions[ids::IDC_OUTPUT_GROUP] = outputGroupCaption(state.selectedWindow, state.chinese);
}

// Fits the window, replaces every cell (typed sizes are lost; new cells start
// at the resolution) and selects window 000, so the green button, the group
// captions and the window Auto Calculate works on always agree.
void rebuildGrid(MosaicState& state, MosaicView& view, const Geometry& current)
{
    GridLayout grid;
    grid.geometry = fitWindowToSpecification(state, current);
    state.cellCount = 0;
    for (int r = 0; r < state.rows; ++r)
        for (int c = 0; c < state.columns; ++c) {
            grid.cells.push_back(cellLayout(state, state.cellCount, grid.geometry.frame));
            ++state.cellCount;
        }
    view.grid = std::move(grid);
    state.selectedWindow = 0;
    showSelection(state, view);
}

void showAddressRadios(const MosaicState& state, MosaicView& view)
{
    for (std::size_t i = 0; i < kAddressRadios.size(); ++i)
        view.checked[kAddressRadios[i]] = state.deviceAddress == i + 1;
}

void takeSpecification(MosaicState& state, MosaicView& view, int rows, int columns, const Geometry& current)
{
    state.rows = static_cast<std::uint16_t>(rows);
    state.columns = static_cast<std::uint16_t>(columns);
    rebuildGrid(state, view, current);
}

} // namespace

Geometry fitWindowToSpecification(MosaicState& state, const Geometry& current)
{
    Geometry g = current;
    if (state.layoutRows < 2)
        state.layoutRows = 2;
    if (state.rows < 3) {
        state.layoutRows = 2;
        g.dialog.height = kBaseDialogSize.height;
        g.frame.bottom = g.frame.top + kBaseFrameSize.height;
    } else {
        const int grow = (state.rows - state.layoutRows) * kRowPitch;
        g.dialog.height += grow;
        g.frame.bottom += grow;
    }

    if (state.layoutColumns < 4)
        state.layoutColumns = 4;
    if (state.columns < 5) {
        state.layoutColumns = 4;
        g.dialog.width = kBaseDialogSize.width;
        g.frame.right = g.frame.left + kBaseFrameSize.width;
    } else {
        const int grow = (state.columns - state.layoutColumns) * kColumnPitch;
        g.dialog.width += grow;
        g.frame.right += grow;
    }
    return g;
}

CellLayout cellLayout(const MosaicState& state, int window, const Rect& frame)
{
    const int columns = std::max<int>(1, state.columns);
    const int row = window / columns;
    const int column = window % columns;
    const int x = frame.left + kCellMargin + kCellColumnPitch * column;
    const int y = frame.top + kCellMargin + kCellRowPitch * row;
    auto at = [&](int l, int t, int r, int b) { return Rect{l, t, r, b}.movedBy(x, y); };

    CellLayout cell;
    cell.window = window;
    cell.controls = {{
        {CellControlKind::WindowButton, ids::IDC_WINDOW_BUTTON_BASE + window, at(47, 31, 114, 76),
         windowButtonCaption(window), kWindowButtonFontPoints, TextAlign::Centre},
        {CellControlKind::CellFrame, ids::IDC_CELL_FRAME_BASE + window, at(0, 0, kCellSize.width, kCellSize.height),
         std::string(), 0, TextAlign::Left},
        {CellControlKind::HeightEdit, ids::IDC_HEIGHT_EDIT_BASE + window, at(3, 52, 45, 72),
         std::to_string(state.resolutionHeight), 0, TextAlign::Left},
        {CellControlKind::WidthEdit, ids::IDC_WIDTH_EDIT_BASE + window, at(56, 10, 98, 30),
         std::to_string(state.resolutionWidth), 0, TextAlign::Left},
        {CellControlKind::HeightLabel, ids::IDC_HEIGHT_LABEL_BASE + window, at(3, 35, 45, 50),
         std::string(kCellHeightLabel.in(state.chinese)), kCellLabelFontPoints, TextAlign::Centre},
        {CellControlKind::WidthLabel, ids::IDC_WIDTH_LABEL_BASE + window, at(10, 12, 55, 27),
         std::string(kCellWidthLabel.in(state.chinese)), kCellLabelFontPoints, TextAlign::Right},
    }};
    return cell;
}

ButtonColour windowButtonColour(int window, int selected)
{
    return {kWhite, window == selected ? kSelectedWindowColour : kWindowColour};
}

MosaicView openDialog(MosaicState& state, const Geometry& current)
{
    MosaicView view;
    view.addressSelection = state.deviceAddress - 1;
    view.checked[ids::IDC_PRESET_1X1] = true;
    showAddressRadios(state, view);
    view.edits[ids::IDC_ROWS] = "";
    view.edits[ids::IDC_COLUMNS] = "";

    for (const auto& c : kCaptions)
        view.captions[c.id] = std::string(c.text.in(state.chinese));
    view.captions[ids::IDC_EFFECTS_FRAME] =
        effectsShowCaption(state.resolutionWidth, state.resolutionHeight, state.chinese);

    state.uploadEnabled = false;
    view.upload = false;

    rebuildGrid(state, view, current);

    // The writes mark the fields; the marks are cleared after them.
    for (Group group : {Group::Input, Group::Output})
        for (Quantity quantity : kQuantities)
            for (Column column : {Column::Calculated, Column::Adjusted}) {
                writeValue(state, view, group, quantity, column, 0);
                setMark(state, view, group, quantity, column, false);
            }
    return view;
}

MosaicView applyPreset(MosaicState& state, int presetId, const Geometry& current)
{
    MosaicView view;
    const auto it = std::find_if(kPresets.begin(), kPresets.end(), [&](const Preset& p) { return p.id == presetId; });
    if (it == kPresets.end())
        return view;
    view.edits[ids::IDC_ROWS] = std::to_string(it->rows);
    view.edits[ids::IDC_COLUMNS] = std::to_string(it->columns);
    takeSpecification(state, view, it->rows, it->columns, current);
    if (it->rows >= 3) {
        state.layoutRows = static_cast<std::uint16_t>(it->rows);
        state.layoutColumns = static_cast<std::uint16_t>(it->columns);
    }
    return view;
}

MosaicView specificationOk(MosaicState& state, std::string_view rowsText, std::string_view columnsText,
                           const Geometry& current)
{
    MosaicView view;
    // Compared before narrowing to the 16-bit members: 65537 rows is too many.
    const unsigned long long rows = readUnsigned(rowsText);
    const unsigned long long columns = readUnsigned(columnsText);
    if (rows > kMaxRows || columns > kMaxColumns) {
        view.messages.push_back(messageBox(MessageId::SpecTooLarge, state.chinese));
        return view;
    }
    if (rows == 0 || columns == 0) {
        view.messages.push_back(messageBox(MessageId::SpecTooSmall, state.chinese));
        return view;
    }
    takeSpecification(state, view, static_cast<int>(rows), static_cast<int>(columns), current);
    state.layoutRows = static_cast<std::uint16_t>(rows);
    state.layoutColumns = static_cast<std::uint16_t>(columns);
    return view;
}

MosaicView selectWindow(MosaicState& state, int window)
{
    MosaicView view;
    if (window < 0 || window >= state.cellCount)
        return view;
    state.uploadEnabled = false;
    view.upload = false;
    state.selectedWindow = window;
    showSelection(state, view);
    return view;
}

int addressRadioId(int address)
{
    return address >= 1 && address <= 9 ? kAddressRadios[static_cast<std::size_t>(address - 1)] : 0;
}

std::optional<int> addressOfRadio(int radioId)
{
    for (std::size_t i = 0; i < kAddressRadios.size(); ++i)
        if (kAddressRadios[i] == radioId)
            return static_cast<int>(i) + 1;
    return std::nullopt;
}

MosaicView addressRadioAnswered(MosaicState& state, int radioId, bool yes)
{
    MosaicView view;
    const auto address = addressOfRadio(radioId);
    if (!address)
        return view;
    if (yes) {
        state.deviceAddress = static_cast<std::uint8_t>(*address);
        view.addressSelection = *address - 1;
    }
    // After No the clicked radio must not look chosen: frames still go to
    // the address in use.
    showAddressRadios(state, view);
    return view;
}

MosaicView addressListChosen(MosaicState& state, int position)
{
    MosaicView view;
    if (position < 0 || position > 254)
        return view;
    state.deviceAddress = static_cast<std::uint8_t>(position + 1);
    showAddressRadios(state, view);
    return view;
}

bool isAnchoredToBottom(int id)
{
    auto in = [id](int first, int last) { return id >= first && id <= last; };
    return id == ids::IDC_EXIT || in(1000, 1003) || id == 1009 || id == 1018 || in(1021, 1028) || id == 1036 ||
           in(1185, 1209) || in(1256, 1272) || in(1274, 1278) || in(1289, 1298);
}

BottomAnchor recordAnchor(const Rect& control, int clientHeight)
{
    return {control.left, control.width(), control.height(), clientHeight - control.bottom};
}

Rect placeAnchored(const BottomAnchor& a, int clientHeight)
{
    const int bottom = clientHeight - a.distanceToBottom;
    return {a.left, bottom - a.height, a.left + a.width, bottom};
}

} // namespace omnar::mosaic
