#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace omnar::settings {

// Blanks and tabs off both ends: how names and values are read from the file.
std::string_view trimBlanks(std::string_view s);

// The text of a profile file as its lines, edited the way private-profile
// writes edit a file: a write touches the line of its key only (or adds the
// key at the end of its section, or the section at the end of the file), so
// comments, stray lines, blank lines, duplicates, leading blanks of values
// and every line's own ending (CRLF, LF or a bare CR) stay as they were.
//
// A line that starts (after blanks) with '[' heads a section named by what
// follows up to ']'; ';' or '#' starts a comment; a line with '=' is a key;
// anything else is kept but never read. Lookups use the first section of a
// name and the first key of a name in it; names compare without regard to
// ASCII case and are passed in trimmed.
class ProfileDocument {
public:
    explicit ProfileDocument(std::string_view text = {});

    std::string text() const;

    // The text after the key's '=', untrimmed; nothing when the key is missing.
    std::optional<std::string_view> rawValue(std::string_view section, std::string_view key) const;
    bool hasSection(std::string_view section) const;
    // Key names of the first section of that name, in file order, each once.
    std::vector<std::string> sectionKeys(std::string_view section) const;
    // Section names in file order, each once.
    std::vector<std::string> sectionNames() const;

    // Replaces the value after the key's '=' (the key's spelling and any
    // blanks before '=' stay), or adds "key=value" after the last entry of
    // the section, or adds the section at the end of the file. A section
    // removed earlier on this document comes back where it was, so removing
    // and rewriting a section leaves an unchanged file unchanged.
    void setValue(std::string_view section, std::string_view key, std::string_view value);
    // Every line of the key in the section read by lookups.
    void removeKey(std::string_view section, std::string_view key);
    // Every section of that name with its lines, except the comments and
    // blank lines that end it (they lead into what follows).
    void removeSection(std::string_view section);

private:
    enum class Kind { Other, Comment, Header, Key, Removed };
    struct Line {
        Kind kind = Kind::Other;
        std::string text;   // without its line end
        std::string end;    // "\r\n", "\n", "\r", or empty for a last line without one
        std::string name;   // section or key name, trimmed
        std::size_t valueAt = 0; // Key: where the value starts (after '=')
    };

    // Where lookups find things: the first header of each (folded) section
    // name, and the first line of each key in that section.
    struct Index {
        std::unordered_map<std::string, std::size_t> headers;
        std::unordered_map<std::string, std::size_t> keys; // "section\nkey"
    };

    static Line classify(std::string text, std::string end);
    const Index& index() const;
    std::optional<std::size_t> findHeader(std::string_view section) const;
    std::optional<std::size_t> findKey(std::string_view section, std::string_view key) const;
    // One past the last line of the section whose header is at `header`.
    std::size_t sectionEnd(std::size_t header) const;
    void insertLine(std::size_t at, std::string text);
    // A new key line at `at` of the first section named `section`: the index
    // follows the insertion instead of being built again (a section written
    // entry by entry would otherwise cost a rebuild per entry).
    void insertKeyLine(std::size_t at, std::string_view section, std::string_view key, std::string text);

    std::vector<Line> m_lines;
    std::string m_newline; // for added lines: the file's first line end, LF for none
    mutable std::optional<Index> m_index; // built on the first lookup after a change
};

} // namespace omnar::settings
