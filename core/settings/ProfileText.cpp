#include "core/settings/ProfileText.h"

namespace omnar::settings {

namespace {

constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";
constexpr char32_t kInvalid = 0xFFFFFFFF;

// One UTF-8 sequence at `i`, moving `i` past it; kInvalid (and one byte on)
// for a byte that does not start a well-formed, shortest-form sequence.
char32_t nextUtf8(std::string_view s, std::size_t& i)
{
    const auto b0 = static_cast<unsigned char>(s[i]);
    std::size_t len = 0;
    char32_t cp = 0;
    char32_t min = 0;
    if (b0 < 0x80) {
        ++i;
        return b0;
    } else if ((b0 & 0xE0) == 0xC0) {
        len = 2, cp = b0 & 0x1F, min = 0x80;
    } else if ((b0 & 0xF0) == 0xE0) {
        len = 3, cp = b0 & 0x0F, min = 0x800;
    } else if ((b0 & 0xF8) == 0xF0) {
        len = 4, cp = b0 & 0x07, min = 0x10000;
    } else {
        ++i;
        return kInvalid;
    }
    if (i + len > s.size()) {
        ++i;
        return kInvalid;
    }
    for (std::size_t k = 1; k < len; ++k) {
        const auto b = static_cast<unsigned char>(s[i + k]);
        if ((b & 0xC0) != 0x80) {
            ++i;
            return kInvalid;
        }
        cp = (cp << 6) | (b & 0x3F);
    }
    if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
        ++i;
        return kInvalid;
    }
    i += len;
    return cp;
}

void appendUtf8(std::string& out, char32_t cp)
{
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

DecodedProfile fail(ProfileEncoding encoding, std::string why)
{
    DecodedProfile d;
    d.encoding = encoding;
    d.error = std::move(why);
    return d;
}

DecodedProfile decodeUtf16Le(std::string_view bytes)
{
    if (bytes.size() % 2 != 0)
        return fail(ProfileEncoding::Utf16Le, "not UTF-16LE text although it starts like it (odd length)");
    DecodedProfile d;
    d.encoding = ProfileEncoding::Utf16Le;
    d.text.reserve(bytes.size() / 2);
    const std::size_t n = bytes.size() / 2;
    auto unit = [&](std::size_t k) -> char32_t {
        return static_cast<unsigned char>(bytes[2 * k]) | (static_cast<unsigned char>(bytes[2 * k + 1]) << 8);
    };
    for (std::size_t k = 0; k < n; ++k) {
        char32_t u = unit(k);
        if (u >= 0xD800 && u <= 0xDBFF && k + 1 < n && unit(k + 1) >= 0xDC00 && unit(k + 1) <= 0xDFFF) {
            u = 0x10000 + ((u - 0xD800) << 10) + (unit(k + 1) - 0xDC00);
            ++k;
        } else if (u >= 0xD800 && u <= 0xDFFF) {
            return fail(ProfileEncoding::Utf16Le, "not UTF-16LE text although it starts like it (broken surrogate)");
        } else if (u == 0) {
            return fail(ProfileEncoding::Utf16Le, "not a text file (NUL characters)");
        }
        appendUtf8(d.text, u);
    }
    d.ok = true;
    return d;
}

} // namespace

bool isValidUtf8(std::string_view text)
{
    for (std::size_t i = 0; i < text.size();)
        if (nextUtf8(text, i) == kInvalid)
            return false;
    return true;
}

DecodedProfile decodeProfile(std::string_view bytes)
{
    if (bytes.size() >= 2 && static_cast<unsigned char>(bytes[0]) == 0xFF
        && static_cast<unsigned char>(bytes[1]) == 0xFE)
        return decodeUtf16Le(bytes.substr(2));

    DecodedProfile d;
    if (bytes.substr(0, kUtf8Bom.size()) == kUtf8Bom) {
        d.encoding = ProfileEncoding::Utf8Bom;
        bytes.remove_prefix(kUtf8Bom.size());
        if (!isValidUtf8(bytes))
            return fail(d.encoding, "not UTF-8 text although it starts like it");
    }
    if (bytes.find('\0') != std::string_view::npos)
        return fail(d.encoding, "not a text file (NUL characters)");
    d.text = std::string(bytes);
    d.ok = true;
    return d;
}

std::string encodeProfile(std::string_view text, ProfileEncoding encoding)
{
    switch (encoding) {
    case ProfileEncoding::Utf8:
        return std::string(text);
    case ProfileEncoding::Utf8Bom:
        return std::string(kUtf8Bom) + std::string(text);
    case ProfileEncoding::Utf16Le:
        break;
    }
    std::string out;
    out.reserve(text.size() * 2 + 2);
    auto put = [&](char32_t u) {
        out += static_cast<char>(u & 0xFF);
        out += static_cast<char>((u >> 8) & 0xFF);
    };
    put(0xFEFF);
    for (std::size_t i = 0; i < text.size();) {
        char32_t cp = nextUtf8(text, i);
        if (cp == kInvalid)
            cp = 0xFFFD; // callers hand in valid UTF-8; never a lone surrogate
        if (cp >= 0x10000) {
            put(0xD800 + ((cp - 0x10000) >> 10));
            put(0xDC00 + ((cp - 0x10000) & 0x3FF));
        } else {
            put(cp);
        }
    }
    return out;
}

std::string cutToUtf16Units(std::string_view text, std::size_t units)
{
    std::size_t used = 0;
    std::size_t i = 0;
    while (i < text.size()) {
        std::size_t next = i;
        const char32_t cp = nextUtf8(text, next);
        const std::size_t w = (cp != kInvalid && cp >= 0x10000) ? 2 : 1;
        if (used + w > units)
            break;
        used += w;
        i = next;
    }
    return std::string(text.substr(0, i));
}

} // namespace omnar::settings
