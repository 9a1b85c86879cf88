#pragma once

#include <string_view>

namespace omnar::util {

// A text the operator sees, in English and Chinese, worded exactly as the
// operators know it (typos and full-width punctuation included).
struct TextPair {
    std::string_view en;
    std::string_view zh;

    constexpr std::string_view in(bool chinese) const { return chinese ? zh : en; }
};

} // namespace omnar::util
