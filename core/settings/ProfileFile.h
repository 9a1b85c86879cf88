#pragma once

#include "core/settings/ProfileText.h"

#include <cstddef>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace omnar::settings {

inline constexpr std::string_view kDefaultProfilePath = "./Planinfo.ini";

// Longest value a read returns, in UTF-16 code units: the original read every
// value into a 260-character buffer, terminator included.
inline constexpr std::size_t kProfileValueLimit = 259;

// The leading decimal number of `text`: blanks, an optional sign, digits; what
// follows the digits is ignored ("12abc" is 12). Empty when no digit comes
// first. Numbers beyond the range of long long saturate, so a huge value
// still compares as huge instead of wrapping.
std::optional<long long> leadingInteger(std::string_view text);

// An INI file with the semantics of the Windows private-profile functions:
// section and key names are case-insensitive, values come back trimmed (and
// without one pair of enclosing quotes). A write changes the line of its key
// only, or adds the key at the end of its section (the section at the end of
// the file); every other byte stays as it was (see ProfileDocument).
//
// Every operation re-reads the file (a parsed copy is reused while the bytes
// are unchanged), since another program may edit it. A change is stored
// atomically (temp file next to it, fsync, rename); a file the user may not
// write is never replaced, and one in a folder that refuses the temp file is
// rewritten in place. A failed write returns false and leaves the old file.
//
// Encodings: UTF-8 with or without BOM and UTF-16LE with BOM; line ends
// CRLF, LF or a bare CR. A file keeps its encoding and line ends; a new file
// is UTF-8 with LF.
//
// A missing file reads as empty; the first write creates it. A file that
// exists but cannot be read or decoded (no permission, binary, too large,
// broken UTF-16) also reads as empty, and every write to it fails, so its
// contents are never replaced. Every failed read or write prints one console
// line naming the file and the reason.
//
// Thread-safe; instances on the same path share one lock, and writers of
// different processes serialise on a lock of the folder.
class ProfileFile {
public:
    using Encoding = ProfileEncoding;

    // A parsed copy of the file for reading or changing many keys at once.
    // Names and values follow the same rules as the ProfileFile calls.
    class Editor {
    public:
        std::string getString(std::string_view section, std::string_view key,
                              std::string_view defaultValue = {}) const;
        int getInt(std::string_view section, std::string_view key, int defaultValue) const;
        // The text after the key's '=' exactly as the file holds it: untrimmed,
        // quotes and all, uncut. Nothing when the key is missing.
        std::optional<std::string> rawValue(std::string_view section, std::string_view key) const;
        bool hasSection(std::string_view section) const;
        bool hasKey(std::string_view section, std::string_view key) const;
        // Key names in file order, each once, in the case the file spells them.
        std::vector<std::string> sectionKeys(std::string_view section) const;
        std::vector<std::string> sectionNames() const;
        // No file at all (a fresh machine), as opposed to an empty or unreadable one.
        bool fileMissing() const;

        // False (and the whole update is dropped) for an empty name, a
        // section name with ']' or a line break, a key name with '=' or a
        // line break or starting with '[', ';' or '#', a value with a line
        // break, and, in a file with a byte order mark, text that is not
        // UTF-8: they would corrupt the file.
        bool writeString(std::string_view section, std::string_view key, std::string_view value);
        bool deleteKey(std::string_view section, std::string_view key);
        bool deleteSection(std::string_view section);

    private:
        friend class ProfileFile;
        struct Document;
        explicit Editor(Document& doc) : m_doc(&doc) {}
        bool reject();

        Document* m_doc;
        bool m_rejected = false;
    };

    explicit ProfileFile(std::string path = std::string(kDefaultProfilePath));
    ~ProfileFile();
    ProfileFile(const ProfileFile&) = delete;
    ProfileFile& operator=(const ProfileFile&) = delete;

    const std::string& path() const { return m_path; }
    // Where a rewrite is staged before it replaces the file.
    std::string tempPath() const;

    // GetPrivateProfileString: the trimmed value cut to kProfileValueLimit,
    // or `defaultValue` (cut the same way) when the key is missing.
    std::string getString(std::string_view section, std::string_view key,
                          std::string_view defaultValue = {}) const;
    // GetPrivateProfileInt: the value's leadingInteger; `defaultValue` when
    // the key is missing, the value does not start with a number, or the
    // number does not fit an int. Negative numbers are returned as such.
    int getInt(std::string_view section, std::string_view key, int defaultValue) const;
    std::vector<std::string> sectionKeys(std::string_view section) const;
    std::vector<std::string> sectionNames() const;

    // WritePrivateProfileString with a value, with a null value, and with a
    // null key. Deleting what is not there succeeds and writes nothing.
    bool writeString(std::string_view section, std::string_view key, std::string_view value);
    bool deleteKey(std::string_view section, std::string_view key);
    bool deleteSection(std::string_view section);

    // Applies every change `edit` makes in one atomic rewrite (none when the
    // text comes out as it was). Returns false, writing nothing, when an edit
    // was rejected or the file cannot be read or replaced; `whyNot` then
    // tells why. `edit` runs under the file's lock: it must use the Editor,
    // never this ProfileFile.
    bool update(const std::function<void(Editor&)>& edit, std::string* whyNot = nullptr);
    // A consistent view of one version of the file, under the same lock.
    // False (the reader sees an empty file) when the file exists but cannot
    // be read; `whyNot` then tells why.
    bool read(const std::function<void(const Editor&)>& reader, std::string* whyNot = nullptr) const;

    // Encoding the file was last read in (Utf8 when it is missing).
    Encoding encoding() const;
    // Why the last failed operation of this instance failed; empty after a success.
    std::string lastError() const;

private:
    struct State;

    std::string m_path;
    std::unique_ptr<State> m_state;
};

} // namespace omnar::settings
