#pragma once

#include <array>
#include <cstdint>
#include <optional>

namespace omnar::mosaic {

// The two windows a screen of the wall needs: the part of the source
// picture it shows (input) and where on the screen that part goes (output).
enum class Group { Input, Output };
enum class Quantity { Width, Height, HorizontalStart, VerticalStart };
// Calculated by Auto Calculate; Adjusted is the fine-tune stepped by a spin.
enum class Column { Calculated, Adjusted };

inline constexpr std::array<Quantity, 4> kQuantities{Quantity::Width, Quantity::Height, Quantity::HorizontalStart,
                                                     Quantity::VerticalStart};

// Control id of a value field, and of the spin arrows beside an Adjusted field.
int valueFieldId(Group group, Quantity quantity, Column column);
int spinId(Group group, Quantity quantity);

struct FieldRef {
    Group group;
    Quantity quantity;
    Column column;
};
// The value field a control id names, or none.
std::optional<FieldRef> valueFieldOf(int controlId);
// The Adjusted field a spin control steps, or none.
std::optional<FieldRef> adjustedFieldOfSpin(int spinControlId);

// One value field: its number (the field shows it in decimal) and its
// changed mark, set by every write and painted in its own colour.
struct ValueField {
    int value = 0;
    bool changed = false;
};

// Everything the Fast Mosaic dialog holds between events, owned by the
// window on its own thread. The decisions in core/mosaic read and change it
// and return what the window must show.
struct MosaicState {
    bool chinese = false;

    // The wall size (rows × columns) and the size the window was last fitted to.
    std::uint16_t rows = 1;
    std::uint16_t columns = 1;
    std::uint16_t layoutRows = 2;
    std::uint16_t layoutColumns = 4;

    // The device's output resolution: the bound of every screen dimension
    // and the size of the picture divided among the screens.
    std::uint16_t resolutionWidth = 1024;
    std::uint16_t resolutionHeight = 768;

    std::uint8_t deviceAddress = 1; // byte 1 of every frame but the mode frames
    int cellCount = 0;
    int selectedWindow = 0;
    bool connected = false;      // last connect check; Set sends only while set
    bool uploadEnabled = false;  // Set input, Set output and the mode radios

    std::array<ValueField, 16> fields{};

    ValueField& field(Group g, Quantity q, Column c);
    const ValueField& field(Group g, Quantity q, Column c) const;
    // Calculated + Adjusted, the value a Set checks and sends.
    long long finalValue(Group g, Quantity q) const;
};

} // namespace omnar::mosaic
