#pragma once

#include "core/util/Clock.h"

#include <cstddef>
#include <cstdint>
#include <string>

namespace omnar::link {

enum class Direction { Out, In };

// "09:05:07-042 -> 05 01 fe ... fa\n": local time with milliseconds, "->" for a
// write and "<-" for a read, bytes in lower-case hex.
std::string formatTraceLine(int hour, int minute, int second, int millisecond, Direction dir,
                            const std::uint8_t* data, std::size_t n);
// The same line stamped with the local time of `when`.
std::string traceLine(util::Clock::WallTime when, Direction dir, const std::uint8_t* data, std::size_t n);

// Prints the trace line on the console, unless the trace is switched off.
void printTrace(const util::Clock& clock, Direction dir, const std::uint8_t* data, std::size_t n);

// The console trace is on unless switched off: a command-line tool keeps it
// off its output and shows it only when asked. Process-wide.
void setTraceEnabled(bool on);
bool traceEnabled();

} // namespace omnar::link
