#include "core/mosaic/MosaicState.h"

#include "core/mosaic/MosaicIds.h"
#include "core/mosaic/MosaicView.h"

namespace omnar::mosaic {

namespace {

// Ids by [group][quantity]: width, height, horizontal start, vertical start.
constexpr int kCalculatedIds[2][4] = {
    {ids::IDC_IN_WIDTH_CALC, ids::IDC_IN_HEIGHT_CALC, ids::IDC_IN_HSTART_CALC, ids::IDC_IN_VSTART_CALC},
    {ids::IDC_OUT_WIDTH_CALC, ids::IDC_OUT_HEIGHT_CALC, ids::IDC_OUT_HSTART_CALC, ids::IDC_OUT_VSTART_CALC},
};
constexpr int kAdjustedIds[2][4] = {
    {ids::IDC_IN_WIDTH_ADJ, ids::IDC_IN_HEIGHT_ADJ, ids::IDC_IN_HSTART_ADJ, ids::IDC_IN_VSTART_ADJ},
    {ids::IDC_OUT_WIDTH_ADJ, ids::IDC_OUT_HEIGHT_ADJ, ids::IDC_OUT_HSTART_ADJ, ids::IDC_OUT_VSTART_ADJ},
};
constexpr int kSpinIds[2][4] = {
    {ids::IDC_IN_WIDTH_SPIN, ids::IDC_IN_HEIGHT_SPIN, ids::IDC_IN_HSTART_SPIN, ids::IDC_IN_VSTART_SPIN},
    {ids::IDC_OUT_WIDTH_SPIN, ids::IDC_OUT_HEIGHT_SPIN, ids::IDC_OUT_HSTART_SPIN, ids::IDC_OUT_VSTART_SPIN},
};

constexpr int g(Group group) { return group == Group::Input ? 0 : 1; }
constexpr int q(Quantity quantity) { return static_cast<int>(quantity); }

std::size_t index(Group group, Quantity quantity, Column column)
{
    return static_cast<std::size_t>(g(group) * 8 + (column == Column::Adjusted ? 4 : 0) + q(quantity));
}

} // namespace

int valueFieldId(Group group, Quantity quantity, Column column)
{
    return column == Column::Calculated ? kCalculatedIds[g(group)][q(quantity)] : kAdjustedIds[g(group)][q(quantity)];
}

int spinId(Group group, Quantity quantity)
{
    return kSpinIds[g(group)][q(quantity)];
}

std::optional<FieldRef> valueFieldOf(int controlId)
{
    for (Group group : {Group::Input, Group::Output})
        for (Quantity quantity : kQuantities)
            for (Column column : {Column::Calculated, Column::Adjusted})
                if (valueFieldId(group, quantity, column) == controlId)
                    return FieldRef{group, quantity, column};
    return std::nullopt;
}

std::optional<FieldRef> adjustedFieldOfSpin(int spinControlId)
{
    for (Group group : {Group::Input, Group::Output})
        for (Quantity quantity : kQuantities)
            if (spinId(group, quantity) == spinControlId)
                return FieldRef{group, quantity, Column::Adjusted};
    return std::nullopt;
}

ValueField& MosaicState::field(Group group, Quantity quantity, Column column)
{
    return fields[index(group, quantity, column)];
}

const ValueField& MosaicState::field(Group group, Quantity quantity, Column column) const
{
    return fields[index(group, quantity, column)];
}

long long MosaicState::finalValue(Group group, Quantity quantity) const
{
    return static_cast<long long>(field(group, quantity, Column::Calculated).value) +
           field(group, quantity, Column::Adjusted).value;
}

MessageBox messageBox(MessageId id, bool chinese)
{
    const MessageText& m = messageText(id);
    return {id, std::string(m.text.in(chinese)), std::string(m.caption.in(chinese))};
}

} // namespace omnar::mosaic
