#pragma once

#include <QString>

#include <string_view>

namespace omnar::gui {

// A core text (UTF-8, not necessarily NUL-terminated) as a QString.
inline QString qs(std::string_view s)
{
    return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size()));
}

} // namespace omnar::gui
