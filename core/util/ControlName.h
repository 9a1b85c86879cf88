#pragma once

#include <array>
#include <cstddef>
#include <string_view>

namespace omnar::util {

// A control id with the name of its constant, which its widget carries as
// objectName so tests and accessibility tools find it.
struct ControlName {
    int id;
    std::string_view name;
};

// The table entry for a constant: its value and its own name.
#define OMNAR_CONTROL(c) ::omnar::util::ControlName{c, #c}

// The name of a control in a table; empty when it is not there.
template <std::size_t N>
constexpr std::string_view controlName(const std::array<ControlName, N>& controls, int id)
{
    for (const auto& c : controls)
        if (c.id == id)
            return c.name;
    return {};
}

} // namespace omnar::util
