#include "sim/SimOptions.h"

#include "core/link/Frame.h"
#include "core/link/Sources.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstdlib>

namespace omnar::sim {

namespace {

std::string upper(std::string_view text)
{
    std::string out(text);
    std::transform(out.begin(), out.end(), out.begin(), [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    return out;
}

std::string_view trim(std::string_view text)
{
    while (!text.empty() && std::isspace(static_cast<unsigned char>(text.front())))
        text.remove_prefix(1);
    while (!text.empty() && std::isspace(static_cast<unsigned char>(text.back())))
        text.remove_suffix(1);
    return text;
}

std::vector<std::string_view> splitCommas(std::string_view text)
{
    std::vector<std::string_view> parts;
    for (;;) {
        const auto comma = text.find(',');
        parts.push_back(trim(text.substr(0, comma)));
        if (comma == std::string_view::npos)
            return parts;
        text.remove_prefix(comma + 1);
    }
}

} // namespace

std::optional<long> parseNumber(std::string_view text, long lo, long hi)
{
    const std::string s(trim(text));
    if (s.empty() || !std::isdigit(static_cast<unsigned char>(s.front())))
        return std::nullopt;
    errno = 0;
    char* end = nullptr;
    const bool hex = s.size() > 2 && s[0] == '0' && (s[1] == 'x' || s[1] == 'X');
    // Base 10 unless 0x: a leading zero must not turn "08" into bad octal.
    const long v = std::strtol(s.c_str(), &end, hex ? 16 : 10);
    if (errno != 0 || end != s.c_str() + s.size() || v < lo || v > hi)
        return std::nullopt;
    return v;
}

std::optional<double> parseShare(std::string_view text)
{
    const std::string s(trim(text));
    if (s.empty())
        return std::nullopt;
    errno = 0;
    char* end = nullptr;
    const double v = std::strtod(s.c_str(), &end);
    if (errno != 0 || end != s.c_str() + s.size() || !std::isfinite(v) || v < 0.0 || v > 1.0)
        return std::nullopt;
    return v;
}

std::optional<int> parseSource(std::string_view text)
{
    if (auto n = parseNumber(text, 0, link::kSourceCount - 1))
        return static_cast<int>(*n);
    std::string name = upper(trim(text));
    if (name == "EXT")
        name = "EXT.";
    for (const auto& s : link::kSources)
        if (upper(s.name) == name)
            return s.code;
    return std::nullopt;
}

std::optional<InputSignals> parseInputList(std::string_view text)
{
    const std::string all = upper(trim(text));
    InputSignals mask{};
    if (all == "ALL") {
        mask.fill(true);
        return mask;
    }
    if (all == "NONE" || all.empty())
        return mask;
    for (auto part : splitCommas(text)) {
        auto code = parseSource(part);
        if (!code)
            return std::nullopt;
        mask[static_cast<std::size_t>(*code == link::kSourceYPbPr ? link::kSourceV2 : *code)] = true;
    }
    return mask;
}

std::optional<int> parseExtSubSource(std::string_view text)
{
    if (auto n = parseNumber(text, 0, static_cast<long>(link::kExtSubSources.size()) - 1))
        return static_cast<int>(*n);
    const std::string name = upper(trim(text));
    for (const auto& s : link::kExtSubSources)
        if (s.name == name)
            return s.index;
    return std::nullopt;
}

std::optional<std::vector<std::size_t>> parseSizeList(std::string_view text)
{
    std::vector<std::size_t> sizes;
    for (auto part : splitCommas(text)) {
        auto n = parseNumber(part, 1, static_cast<long>(link::kFrameSize));
        if (!n)
            return std::nullopt;
        sizes.push_back(static_cast<std::size_t>(*n));
    }
    return sizes;
}

std::optional<std::vector<Corruption>> parseCorruption(std::string_view text)
{
    std::vector<Corruption> out;
    for (auto part : splitCommas(text)) {
        const auto eq = part.find('=');
        auto index = parseNumber(part.substr(0, eq), 0, static_cast<long>(link::kFrameSize) - 1);
        if (!index)
            return std::nullopt;
        Corruption c;
        c.index = static_cast<std::size_t>(*index);
        if (eq != std::string_view::npos) {
            auto value = parseNumber(part.substr(eq + 1), 0, 255);
            if (!value)
                return std::nullopt;
            c.value = static_cast<std::uint8_t>(*value);
        }
        out.push_back(c);
    }
    return out;
}

std::optional<CustomResolution> parseCustomResolution(std::string_view text)
{
    std::string timing = upper(trim(text));
    if (timing.size() > 2 && timing.ends_with("HZ"))
        timing.resize(timing.size() - 2);
    // Plain decimal only: parseNumber would read "0X10" as hex.
    const auto decimal = [](std::string_view part, long hi) -> std::optional<long> {
        if (part.empty() || !std::all_of(part.begin(), part.end(), [](unsigned char c) { return std::isdigit(c); }))
            return std::nullopt;
        return parseNumber(part, 0, hi);
    };
    const std::string_view all(timing);
    const auto x = all.find('X');
    if (x == std::string_view::npos)
        return std::nullopt;
    const auto at = all.find('@', x);
    const auto width = decimal(all.substr(0, x), 65535);
    const auto height = decimal(all.substr(x + 1, at == std::string_view::npos ? at : at - x - 1), 65535);
    const auto rate = at == std::string_view::npos ? std::optional<long>(60) : decimal(all.substr(at + 1), 255);
    if (!width || !height || !rate)
        return std::nullopt;
    return CustomResolution{static_cast<std::uint16_t>(*width), static_cast<std::uint16_t>(*height),
                            static_cast<std::uint8_t>(*rate)};
}

std::optional<int> parseLayout(std::string_view text)
{
    std::string name = upper(trim(text));
    if (name.size() == 2 && name[0] == 'M')
        name.erase(0, 1);
    if (const auto n = parseNumber(name, 1, 3))
        return static_cast<int>(*n) - 1;
    return std::nullopt;
}

} // namespace omnar::sim
