#include "core/settings/ProfileFile.h"

// SimpleIni is used header-only, on UTF-8 bytes; the UTF-16 files are
// converted here, so no conversion library is needed.
#define SI_NO_CONVERSION
#define SI_IMPLEMENTATION
#include <SimpleIni.h>

#include <cerrno>
#include <climits>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <map>
#include <mutex>
#include <utility>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace omnar::settings {

namespace {

// A profile is a few kilobytes; anything this large is not one, and reading
// it whole would only cost memory.
constexpr std::size_t kMaxFileSize = 16u * 1024u * 1024u;

bool isBlank(char c) { return c == ' ' || c == '\t'; }

std::string_view trimBlanks(std::string_view s)
{
    while (!s.empty() && isBlank(s.front()))
        s.remove_prefix(1);
    while (!s.empty() && isBlank(s.back()))
        s.remove_suffix(1);
    return s;
}

// GetPrivateProfileString drops one pair of matching quotes around a value.
std::string_view stripQuotes(std::string_view s)
{
    if (s.size() >= 2 && (s.front() == '"' || s.front() == '\'') && s.back() == s.front())
        return s.substr(1, s.size() - 2);
    return s;
}

// ---- UTF-8 / UTF-16 ---------------------------------------------------------

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

// Decodes one UTF-8 sequence at `i`; a malformed byte counts as one
// character of its own (U+FFFD) so foreign bytes never derail the walk.
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
        return 0xFFFD;
    }
    if (i + len > s.size()) {
        ++i;
        return 0xFFFD;
    }
    for (std::size_t k = 1; k < len; ++k) {
        const auto b = static_cast<unsigned char>(s[i + k]);
        if ((b & 0xC0) != 0x80) {
            ++i;
            return 0xFFFD;
        }
        cp = (cp << 6) | (b & 0x3F);
    }
    if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
        ++i;
        return 0xFFFD;
    }
    i += len;
    return cp;
}

std::string utf16ToUtf8(std::string_view bytes)
{
    std::string out;
    out.reserve(bytes.size());
    const std::size_t n = bytes.size() / 2; // an odd last byte is no character
    auto unit = [&](std::size_t k) -> char16_t {
        const auto lo = static_cast<unsigned char>(bytes[2 * k]);
        const auto hi = static_cast<unsigned char>(bytes[2 * k + 1]);
        return static_cast<char16_t>(lo | (hi << 8));
    };
    for (std::size_t k = 0; k < n; ++k) {
        const char16_t u = unit(k);
        if (u >= 0xD800 && u <= 0xDBFF && k + 1 < n) {
            const char16_t u2 = unit(k + 1);
            if (u2 >= 0xDC00 && u2 <= 0xDFFF) {
                appendUtf8(out, 0x10000 + ((char32_t(u) - 0xD800) << 10) + (char32_t(u2) - 0xDC00));
                ++k;
                continue;
            }
        }
        appendUtf8(out, (u >= 0xD800 && u <= 0xDFFF) ? 0xFFFD : char32_t(u));
    }
    return out;
}

std::string utf8ToUtf16(std::string_view text)
{
    std::string out;
    out.reserve(text.size() * 2 + 2);
    auto put = [&](char16_t u) {
        out += static_cast<char>(u & 0xFF);
        out += static_cast<char>(u >> 8);
    };
    put(0xFEFF);
    for (std::size_t i = 0; i < text.size();) {
        const char32_t cp = nextUtf8(text, i);
        if (cp >= 0x10000) {
            put(static_cast<char16_t>(0xD800 + ((cp - 0x10000) >> 10)));
            put(static_cast<char16_t>(0xDC00 + ((cp - 0x10000) & 0x3FF)));
        } else {
            put(static_cast<char16_t>(cp));
        }
    }
    return out;
}

// Cuts to kProfileValueLimit UTF-16 code units without splitting a character.
std::string truncateValue(std::string_view s)
{
    std::size_t units = 0;
    std::size_t i = 0;
    while (i < s.size()) {
        std::size_t next = i;
        const char32_t cp = nextUtf8(s, next);
        const std::size_t w = cp >= 0x10000 ? 2 : 1;
        if (units + w > kProfileValueLimit)
            break;
        units += w;
        i = next;
    }
    return std::string(s.substr(0, i));
}

// ---- names --------------------------------------------------------------------

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

// ---- files --------------------------------------------------------------------

enum class FileStatus { Ok, Missing, Unreadable };

struct RawFile {
    FileStatus status = FileStatus::Missing;
    std::string bytes;
    std::string error;
};

std::string describe(const std::string& what, const std::string& path, int err)
{
    return what + " " + path + ": " + std::strerror(err);
}

RawFile readRaw(const std::string& path)
{
    RawFile r;
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        const int err = errno;
        if (err == ENOENT || err == ENOTDIR) {
            r.status = FileStatus::Missing;
        } else {
            r.status = FileStatus::Unreadable;
            r.error = describe("cannot open", path, err);
        }
        return r;
    }
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        r.status = FileStatus::Unreadable;
        r.error = path + " is not a regular file";
        return r;
    }
    char buf[16384];
    r.status = FileStatus::Ok;
    for (;;) {
        const ssize_t n = ::read(fd, buf, sizeof buf);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            r.status = FileStatus::Unreadable;
            r.error = describe("cannot read", path, errno);
            break;
        }
        if (n == 0)
            break;
        r.bytes.append(buf, static_cast<std::size_t>(n));
        if (r.bytes.size() > kMaxFileSize) {
            r.status = FileStatus::Unreadable;
            r.error = path + " is too large for a profile file";
            break;
        }
    }
    ::close(fd);
    if (r.status != FileStatus::Ok)
        r.bytes.clear();
    return r;
}

// Follows a symbolic link, so that the rename replaces the file it points at
// instead of the link.
std::string resolveTarget(const std::string& path)
{
    std::error_code ec;
    if (std::filesystem::is_symlink(path, ec)) {
        auto real = std::filesystem::canonical(path, ec);
        if (!ec)
            return real.string();
    }
    return path;
}

std::string folderOf(const std::string& target)
{
    const auto parent = std::filesystem::path(target).parent_path();
    return parent.empty() ? std::string(".") : parent.string();
}

// Serialises writers of different processes; an advisory lock on the folder
// itself, so no lock file is left behind. Best effort: a file system without
// flock still gets the atomic rename.
class FolderLock {
public:
    explicit FolderLock(const std::string& folder)
        : m_fd(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC))
    {
        if (m_fd >= 0) {
            while (::flock(m_fd, LOCK_EX) != 0 && errno == EINTR) {
            }
        }
    }
    ~FolderLock()
    {
        if (m_fd >= 0)
            ::close(m_fd); // also releases the lock
    }
    FolderLock(const FolderLock&) = delete;
    FolderLock& operator=(const FolderLock&) = delete;
    int fd() const { return m_fd; }

private:
    int m_fd;
};

bool writeAll(int fd, std::string_view data)
{
    while (!data.empty()) {
        const ssize_t n = ::write(fd, data.data(), data.size());
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        data.remove_prefix(static_cast<std::size_t>(n));
    }
    return true;
}

// Temp file, fsync, rename, fsync of the folder: a crash leaves either the
// old file or the new one, never a part of either.
bool replaceAtomically(const std::string& target, const std::string& temp, std::string_view bytes,
                       int folderFd, std::string& error)
{
    struct stat st {};
    const bool exists = ::stat(target.c_str(), &st) == 0;
    // O_NOFOLLOW: a planted link at the temp name must not redirect the write.
    const int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC | O_NOFOLLOW,
                          exists ? 0600 : 0666);
    if (fd < 0) {
        error = describe("cannot create", temp, errno);
        return false;
    }
    if (exists)
        (void)::fchmod(fd, st.st_mode & 07777); // keep the file's permissions
    if (!writeAll(fd, bytes) || ::fsync(fd) != 0) {
        error = describe("cannot write", temp, errno);
        ::close(fd);
        ::unlink(temp.c_str());
        return false;
    }
    if (::close(fd) != 0) {
        error = describe("cannot write", temp, errno);
        ::unlink(temp.c_str());
        return false;
    }
    if (::rename(temp.c_str(), target.c_str()) != 0) {
        error = describe("cannot replace", target, errno);
        ::unlink(temp.c_str());
        return false;
    }
    if (folderFd >= 0)
        (void)::fsync(folderFd); // the new file is in place; this only makes the rename durable
    return true;
}

// One lock per file for the whole process, so two instances on the same path
// cannot interleave their read-modify-write cycles.
std::shared_ptr<std::mutex> lockFor(const std::string& path)
{
    static std::mutex registryLock;
    static std::map<std::string, std::weak_ptr<std::mutex>> registry;
    std::error_code ec;
    auto key = std::filesystem::absolute(path, ec).lexically_normal().string();
    if (ec)
        key = path;
    std::lock_guard guard(registryLock);
    for (auto it = registry.begin(); it != registry.end();)
        it = it->second.expired() ? registry.erase(it) : std::next(it);
    auto& slot = registry[key];
    auto lock = slot.lock();
    if (!lock) {
        lock = std::make_shared<std::mutex>();
        slot = lock;
    }
    return lock;
}

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

// ---- the parsed file ------------------------------------------------------------

struct ProfileFile::Editor::Document {
    CSimpleIniA ini{true, true, false};
    // Comment lines SimpleIni would drop or move: a file of nothing but
    // comments (kept in front), and comments after the last entry (kept last).
    std::string head;
    std::string tail;
    Encoding encoding = Encoding::Utf8;
    bool crlf = false;

    Document() { ini.SetSpaces(false); }

    // False when the bytes are not text (NUL characters after decoding).
    bool parse(const std::string& bytes);
    std::string serialize() const;
};

bool ProfileFile::Editor::Document::parse(const std::string& bytes)
{
    std::string text;
    if (bytes.size() >= 2 && static_cast<unsigned char>(bytes[0]) == 0xFF
        && static_cast<unsigned char>(bytes[1]) == 0xFE) {
        encoding = Encoding::Utf16Le;
        text = utf16ToUtf8(std::string_view(bytes).substr(2));
    } else if (bytes.compare(0, 3, "\xEF\xBB\xBF") == 0) {
        encoding = Encoding::Utf8Bom;
        text = bytes.substr(3);
    } else {
        encoding = Encoding::Utf8;
        text = bytes;
    }
    if (text.find('\0') != std::string::npos)
        return false;

    crlf = text.find("\r\n") != std::string::npos;
    if (crlf) {
        std::string lf;
        lf.reserve(text.size());
        for (std::size_t i = 0; i < text.size(); ++i) {
            if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
                continue;
            lf += text[i];
        }
        text.swap(lf);
    }

    // Everything after the last line that is neither blank nor a comment.
    std::size_t bodyEnd = 0;
    for (std::size_t pos = 0; pos < text.size();) {
        std::size_t eol = text.find('\n', pos);
        const std::size_t next = eol == std::string::npos ? text.size() : eol + 1;
        const auto line = trimBlanks(std::string_view(text).substr(pos, next - pos));
        const bool blank = line.empty() || line == "\n";
        if (!blank && line.front() != ';' && line.front() != '#')
            bodyEnd = next;
        pos = next;
    }
    if (bodyEnd == 0) {
        head = text;
        if (!head.empty() && head.back() != '\n')
            head += '\n';
        return true;
    }
    tail = text.substr(bodyEnd);
    if (!tail.empty() && tail.back() != '\n')
        tail += '\n';
    return ini.LoadData(text.data(), bodyEnd) >= 0;
}

std::string ProfileFile::Editor::Document::serialize() const
{
    std::string body;
    ini.Save(body, false);
    std::string text = head + body + tail;
    if (crlf) {
        std::string out;
        out.reserve(text.size() + text.size() / 16);
        for (char c : text) {
            if (c == '\n')
                out += '\r';
            out += c;
        }
        text.swap(out);
    }
    switch (encoding) {
    case Encoding::Utf16Le:
        return utf8ToUtf16(text);
    case Encoding::Utf8Bom:
        return "\xEF\xBB\xBF" + text;
    case Encoding::Utf8:
        break;
    }
    return text;
}

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
        return truncateValue(defaultValue);
    const std::string s(trimBlanks(section));
    const std::string k(trimBlanks(key));
    const char* value = m_doc->ini.GetValue(s.c_str(), k.c_str(), nullptr);
    if (!value)
        return truncateValue(defaultValue);
    return truncateValue(stripQuotes(trimBlanks(value)));
}

int ProfileFile::Editor::getInt(std::string_view section, std::string_view key, int defaultValue) const
{
    if (!validSection(section) || !validKey(key))
        return defaultValue;
    const std::string s(trimBlanks(section));
    const std::string k(trimBlanks(key));
    const char* value = m_doc->ini.GetValue(s.c_str(), k.c_str(), nullptr);
    if (!value)
        return defaultValue;
    const auto n = leadingInteger(stripQuotes(trimBlanks(value)));
    if (!n || *n < INT_MIN || *n > INT_MAX)
        return defaultValue;
    return static_cast<int>(*n);
}

bool ProfileFile::Editor::hasSection(std::string_view section) const
{
    if (!validSection(section))
        return false;
    const std::string s(trimBlanks(section));
    return m_doc->ini.GetSection(s.c_str()) != nullptr;
}

bool ProfileFile::Editor::hasKey(std::string_view section, std::string_view key) const
{
    if (!validSection(section) || !validKey(key))
        return false;
    const std::string s(trimBlanks(section));
    const std::string k(trimBlanks(key));
    return m_doc->ini.GetValue(s.c_str(), k.c_str(), nullptr) != nullptr;
}

std::vector<std::string> ProfileFile::Editor::sectionKeys(std::string_view section) const
{
    std::vector<std::string> out;
    if (!validSection(section))
        return out;
    const std::string s(trimBlanks(section));
    CSimpleIniA::TNamesDepend keys;
    m_doc->ini.GetAllKeys(s.c_str(), keys);
    keys.sort(CSimpleIniA::Entry::LoadOrder());
    for (const auto& k : keys)
        out.emplace_back(k.pItem);
    return out;
}

std::vector<std::string> ProfileFile::Editor::sectionNames() const
{
    std::vector<std::string> out;
    CSimpleIniA::TNamesDepend sections;
    m_doc->ini.GetAllSections(sections);
    sections.sort(CSimpleIniA::Entry::LoadOrder());
    for (const auto& s : sections) {
        if (*s.pItem) // keys above the first section header belong to no section
            out.emplace_back(s.pItem);
    }
    return out;
}

bool ProfileFile::Editor::writeString(std::string_view section, std::string_view key,
                                      std::string_view value)
{
    if (!validSection(section) || !validKey(key) || !validValue(value))
        return reject();
    const std::string s(trimBlanks(section));
    std::string k(trimBlanks(key));
    const std::string v(value);
    const char* old = m_doc->ini.GetValue(s.c_str(), k.c_str(), nullptr);
    if (old && v == old)
        return true;
    // A replaced key keeps the spelling the file gave it.
    if (const auto* keys = m_doc->ini.GetSection(s.c_str())) {
        if (auto it = keys->find(CSimpleIniA::Entry(k.c_str())); it != keys->end())
            k = it->first.pItem;
    }
    if (m_doc->ini.SetValue(s.c_str(), k.c_str(), v.c_str(), nullptr, true) < 0)
        return reject();
    m_changed = true;
    return true;
}

bool ProfileFile::Editor::deleteKey(std::string_view section, std::string_view key)
{
    if (!validSection(section) || !validKey(key))
        return reject();
    const std::string s(trimBlanks(section));
    const std::string k(trimBlanks(key));
    if (m_doc->ini.Delete(s.c_str(), k.c_str(), false))
        m_changed = true;
    return true;
}

bool ProfileFile::Editor::deleteSection(std::string_view section)
{
    if (!validSection(section))
        return reject();
    const std::string s(trimBlanks(section));
    if (m_doc->ini.Delete(s.c_str(), nullptr))
        m_changed = true;
    return true;
}

// ---- ProfileFile ------------------------------------------------------------------

struct ProfileFile::State {
    std::shared_ptr<std::mutex> lock;
    // The last version read, reused while the file's bytes stay the same.
    FileStatus cachedStatus = FileStatus::Missing;
    std::string cachedBytes;
    std::unique_ptr<Editor::Document> cachedDoc;
    Encoding encoding = Encoding::Utf8;
    std::string lastError;

    Editor::Document& current(const std::string& path)
    {
        RawFile raw = readRaw(path);
        if (raw.status == FileStatus::Ok && cachedDoc && cachedStatus == FileStatus::Ok
            && raw.bytes == cachedBytes) {
            lastError.clear();
            return *cachedDoc;
        }
        auto doc = std::make_unique<Editor::Document>();
        if (raw.status == FileStatus::Ok && !doc->parse(raw.bytes)) {
            raw.status = FileStatus::Unreadable;
            raw.error = path + " is not a text file";
            doc = std::make_unique<Editor::Document>();
        }
        cachedStatus = raw.status;
        cachedBytes = std::move(raw.bytes);
        cachedDoc = std::move(doc);
        encoding = cachedDoc->encoding;
        lastError = raw.error;
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

void ProfileFile::read(const std::function<void(const Editor&)>& reader) const
{
    std::lock_guard guard(*m_state->lock);
    const Editor editor(m_state->current(m_path));
    reader(editor);
}

bool ProfileFile::update(const std::function<void(Editor&)>& edit)
{
    std::lock_guard guard(*m_state->lock);
    auto fail = [&](std::string why) {
        m_state->lastError = std::move(why);
        return false;
    };

    const std::string target = resolveTarget(m_path);
    const FolderLock folderLock(folderOf(target));

    // Always parsed afresh: the edit must start from what is on disk now, and
    // must not touch the cached copy if it is dropped.
    RawFile raw = readRaw(target);
    if (raw.status == FileStatus::Unreadable)
        return fail(raw.error + "; not replacing it");
    Editor::Document doc;
    if (raw.status == FileStatus::Ok && !doc.parse(raw.bytes))
        return fail(target + " is not a text file; not replacing it");

    Editor editor(doc);
    edit(editor);
    if (editor.m_rejected)
        return fail("invalid section, key or value for " + target);
    if (!editor.m_changed) {
        m_state->lastError.clear();
        return true;
    }

    std::string error;
    if (!replaceAtomically(target, target + ".tmp", doc.serialize(), folderLock.fd(), error))
        return fail(error);
    m_state->cachedDoc.reset();
    m_state->encoding = doc.encoding;
    m_state->lastError.clear();
    return true;
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
