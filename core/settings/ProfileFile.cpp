#include "core/settings/ProfileFile.h"

#include "core/settings/ProfileLines.h"
#include "core/settings/ProfileStorage.h"
#include "core/util/Console.h"

#include <climits>
#include <utility>

namespace omnar::settings {

namespace {

// GetPrivateProfileString drops one pair of matching quotes around a value.
std::string_view stripQuotes(std::string_view s)
{
    if (s.size() >= 2 && (s.front() == '"' || s.front() == '\'') && s.back() == s.front())
        return s.substr(1, s.size() - 2);
    return s;
}

std::string cutValue(std::string_view s) { return cutToUtf16Units(s, kProfileValueLimit); }

bool hasLineBreakOrNul(std::string_view s)
{
    return s.find_first_of(std::string_view("\r\n\0", 3)) != std::string_view::npos;
}

bool validSection(std::string_view section)
{
    const auto s = trimBlanks(section);
    return !s.empty() && !hasLineBreakOrNul(s) && s.find(']') == std::string_view::npos;
}

bool validKey(std::string_view key)
{
    const auto k = trimBlanks(key);
    return !k.empty() && !hasLineBreakOrNul(k) && k.find('=') == std::string_view::npos
        && k.front() != '[' && k.front() != ';' && k.front() != '#';
}

bool validValue(std::string_view value) { return !hasLineBreakOrNul(value); }

} // namespace

std::optional<long long> leadingInteger(std::string_view text)
{
    text = trimBlanks(text);
    bool negative = false;
    if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }
    if (text.empty() || text.front() < '0' || text.front() > '9')
        return std::nullopt;
    // Accumulated as a negative number, whose range is the larger one.
    long long value = 0;
    bool saturated = false;
    for (char c : text) {
        if (c < '0' || c > '9')
            break;
        const int digit = c - '0';
        if (value < (LLONG_MIN + digit) / 10) {
            saturated = true;
            break;
        }
        value = value * 10 - digit;
    }
    if (saturated)
        return negative ? LLONG_MIN : LLONG_MAX;
    if (!negative)
        return value == LLONG_MIN ? LLONG_MAX : -value;
    return value;
}

// ---- one version of the file ------------------------------------------------------

struct ProfileFile::Editor::Document {
    ProfileDocument lines;
    std::string original; // the decoded text as read, to tell whether edits changed it
    Encoding encoding = Encoding::Utf8;
    bool missing = true;

    // From what was read; false (and an empty document) when it is no text.
    bool load(const RawFile& raw, std::string& error)
    {
        missing = raw.status == FileStatus::Missing;
        if (raw.status != FileStatus::Ok) {
            error = raw.error;
            return raw.status == FileStatus::Missing;
        }
        DecodedProfile decoded = decodeProfile(raw.bytes);
        encoding = decoded.encoding;
        if (!decoded.ok) {
            error = decoded.error;
            return false;
        }
        original = std::move(decoded.text);
        lines = ProfileDocument(original);
        return true;
    }
};

// ---- Editor ---------------------------------------------------------------------

bool ProfileFile::Editor::reject()
{
    m_rejected = true;
    return false;
}

std::string ProfileFile::Editor::getString(std::string_view section, std::string_view key,
                                           std::string_view defaultValue) const
{
    if (!validSection(section) || !validKey(key))
        return cutValue(defaultValue);
    const auto value = m_doc->lines.rawValue(trimBlanks(section), trimBlanks(key));
    if (!value)
        return cutValue(defaultValue);
    return cutValue(stripQuotes(trimBlanks(*value)));
}

int ProfileFile::Editor::getInt(std::string_view section, std::string_view key, int defaultValue) const
{
    if (!validSection(section) || !validKey(key))
        return defaultValue;
    const auto value = m_doc->lines.rawValue(trimBlanks(section), trimBlanks(key));
    if (!value)
        return defaultValue;
    const auto n = leadingInteger(stripQuotes(trimBlanks(*value)));
    if (!n || *n < INT_MIN || *n > INT_MAX)
        return defaultValue;
    return static_cast<int>(*n);
}

std::optional<std::string> ProfileFile::Editor::rawValue(std::string_view section, std::string_view key) const
{
    if (!validSection(section) || !validKey(key))
        return std::nullopt;
    const auto value = m_doc->lines.rawValue(trimBlanks(section), trimBlanks(key));
    return value ? std::optional<std::string>(*value) : std::nullopt;
}

bool ProfileFile::Editor::hasSection(std::string_view section) const
{
    return validSection(section) && m_doc->lines.hasSection(trimBlanks(section));
}

bool ProfileFile::Editor::hasKey(std::string_view section, std::string_view key) const
{
    return validSection(section) && validKey(key)
        && m_doc->lines.rawValue(trimBlanks(section), trimBlanks(key)).has_value();
}

std::vector<std::string> ProfileFile::Editor::sectionKeys(std::string_view section) const
{
    if (!validSection(section))
        return {};
    return m_doc->lines.sectionKeys(trimBlanks(section));
}

std::vector<std::string> ProfileFile::Editor::sectionNames() const { return m_doc->lines.sectionNames(); }

bool ProfileFile::Editor::fileMissing() const { return m_doc->missing; }

bool ProfileFile::Editor::writeString(std::string_view section, std::string_view key, std::string_view value)
{
    if (!validSection(section) || !validKey(key) || !validValue(value))
        return reject();
    // A file without a mark passes its bytes through as they are; one with a
    // mark is re-encoded, and bytes that are not UTF-8 would break it.
    if (m_doc->encoding != Encoding::Utf8 && !(isValidUtf8(section) && isValidUtf8(key) && isValidUtf8(value)))
        return reject();
    m_doc->lines.setValue(trimBlanks(section), trimBlanks(key), value);
    return true;
}

bool ProfileFile::Editor::deleteKey(std::string_view section, std::string_view key)
{
    if (!validSection(section) || !validKey(key))
        return reject();
    m_doc->lines.removeKey(trimBlanks(section), trimBlanks(key));
    return true;
}

bool ProfileFile::Editor::deleteSection(std::string_view section)
{
    if (!validSection(section))
        return reject();
    m_doc->lines.removeSection(trimBlanks(section));
    return true;
}

// ---- ProfileFile ------------------------------------------------------------------

struct ProfileFile::State {
    std::shared_ptr<std::mutex> lock;
    // The last version read, reused while the file's bytes stay the same.
    RawFile cachedRaw;
    std::unique_ptr<Editor::Document> cachedDoc;
    std::string cachedError;
    Encoding encoding = Encoding::Utf8;
    std::string lastError;

    // The file as it is now; `error` is set when it exists but is no text.
    Editor::Document& current(const std::string& path, std::string& error)
    {
        RawFile raw = readProfileBytes(path);
        if (!(cachedDoc && raw.status == cachedRaw.status && raw.bytes == cachedRaw.bytes)) {
            auto doc = std::make_unique<Editor::Document>();
            cachedError.clear();
            if (!doc->load(raw, cachedError))
                doc->lines = ProfileDocument();
            cachedDoc = std::move(doc);
            cachedRaw = std::move(raw);
        }
        encoding = cachedDoc->encoding;
        error = cachedError;
        return *cachedDoc;
    }
};

ProfileFile::ProfileFile(std::string path)
    : m_path(std::move(path))
    , m_state(std::make_unique<State>())
{
    m_state->lock = lockFor(m_path);
}

ProfileFile::~ProfileFile() = default;

std::string ProfileFile::tempPath() const { return resolveTarget(m_path) + ".tmp"; }

bool ProfileFile::read(const std::function<void(const Editor&)>& reader, std::string* whyNot) const
{
    std::string error;
    {
        std::lock_guard guard(*m_state->lock);
        const Editor editor(m_state->current(m_path, error));
        m_state->lastError = error;
        reader(editor);
    }
    if (error.empty())
        return true;
    util::consolePrint("Profile file " + m_path + ": " + error + "\n");
    if (whyNot)
        *whyNot = error;
    return false;
}

bool ProfileFile::update(const std::function<void(Editor&)>& edit, std::string* whyNot)
{
    std::string error;
    {
        std::lock_guard guard(*m_state->lock);
        const std::string target = resolveTarget(m_path);
        const FolderLock folderLock(folderOf(target));

        // Always parsed afresh: the edit must start from what is on disk now,
        // and must not touch the cached copy if it is dropped.
        Editor::Document doc;
        if (!doc.load(readProfileBytes(target), error)) {
            error += "; not replaced";
        } else {
            Editor editor(doc);
            edit(editor);
            const std::string text = doc.lines.text();
            if (editor.m_rejected) {
                error = "invalid section, key or value; nothing written";
            } else if (text != doc.original
                       && storeProfileBytes(target, target + ".tmp", encodeProfile(text, doc.encoding),
                                            folderLock.fd(), error)) {
                m_state->cachedDoc.reset();
                m_state->encoding = doc.encoding;
            }
        }
        m_state->lastError = error;
    }
    if (error.empty())
        return true;
    util::consolePrint("Profile file " + m_path + ": " + error + "\n");
    if (whyNot)
        *whyNot = error;
    return false;
}

std::string ProfileFile::getString(std::string_view section, std::string_view key,
                                   std::string_view defaultValue) const
{
    std::string out;
    read([&](const Editor& e) { out = e.getString(section, key, defaultValue); });
    return out;
}

int ProfileFile::getInt(std::string_view section, std::string_view key, int defaultValue) const
{
    int out = defaultValue;
    read([&](const Editor& e) { out = e.getInt(section, key, defaultValue); });
    return out;
}

std::vector<std::string> ProfileFile::sectionKeys(std::string_view section) const
{
    std::vector<std::string> out;
    read([&](const Editor& e) { out = e.sectionKeys(section); });
    return out;
}

std::vector<std::string> ProfileFile::sectionNames() const
{
    std::vector<std::string> out;
    read([&](const Editor& e) { out = e.sectionNames(); });
    return out;
}

bool ProfileFile::writeString(std::string_view section, std::string_view key, std::string_view value)
{
    return update([&](Editor& e) { e.writeString(section, key, value); });
}

bool ProfileFile::deleteKey(std::string_view section, std::string_view key)
{
    return update([&](Editor& e) { e.deleteKey(section, key); });
}

bool ProfileFile::deleteSection(std::string_view section)
{
    return update([&](Editor& e) { e.deleteSection(section); });
}

ProfileFile::Encoding ProfileFile::encoding() const
{
    std::lock_guard guard(*m_state->lock);
    return m_state->encoding;
}

std::string ProfileFile::lastError() const
{
    std::lock_guard guard(*m_state->lock);
    return m_state->lastError;
}

} // namespace omnar::settings
