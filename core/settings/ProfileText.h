#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// The bytes of a profile file and the text the line editor works on.
namespace omnar::settings {

enum class ProfileEncoding { Utf8, Utf8Bom, Utf16Le };

struct DecodedProfile {
    bool ok = false;
    ProfileEncoding encoding = ProfileEncoding::Utf8;
    // UTF-8 for the two encodings a byte order mark announces; without one,
    // the bytes as they are (UTF-8 or an 8-bit code page: both keep ASCII,
    // and bytes nobody edits pass through untouched).
    std::string text;
    std::string error; // why the bytes are no profile text, when !ok
};

// By what the file's start announces: FF FE is UTF-16LE, EF BB BF is UTF-8,
// anything else 8-bit text. Bytes that do not decode in the announced
// encoding, and NUL characters (a binary file, UTF-16 without a mark), make
// the file no text at all, so it is never rewritten.
DecodedProfile decodeProfile(std::string_view bytes);
// The inverse of decodeProfile for a text it produced (plus valid UTF-8).
std::string encodeProfile(std::string_view text, ProfileEncoding encoding);

bool isValidUtf8(std::string_view text);
// The longest prefix of at most `units` UTF-16 code units that splits no
// character; a byte that is not UTF-8 counts as one unit.
std::string cutToUtf16Units(std::string_view text, std::size_t units);

} // namespace omnar::settings
