#include "core/settings/ProfileLines.h"

#include <algorithm>
#include <unordered_set>

namespace omnar::settings {

namespace {

char asciiLower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

std::string folded(std::string_view s)
{
    std::string out(s);
    std::transform(out.begin(), out.end(), out.begin(), asciiLower);
    return out;
}

bool sameName(std::string_view a, std::string_view b)
{
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return asciiLower(x) == asciiLower(y);
           });
}

} // namespace

std::string_view trimBlanks(std::string_view s)
{
    const auto isBlank = [](char c) { return c == ' ' || c == '\t'; };
    while (!s.empty() && isBlank(s.front()))
        s.remove_prefix(1);
    while (!s.empty() && isBlank(s.back()))
        s.remove_suffix(1);
    return s;
}

ProfileDocument::ProfileDocument(std::string_view text)
{
    std::size_t start = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\n' && text[i] != '\r')
            continue;
        const std::size_t endLen = (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ? 2 : 1;
        std::string end(text.substr(i, endLen));
        if (m_newline.empty())
            m_newline = end;
        m_lines.push_back(classify(std::string(text.substr(start, i - start)), std::move(end)));
        i += endLen - 1;
        start = i + 1;
    }
    if (start < text.size())
        m_lines.push_back(classify(std::string(text.substr(start)), {}));
    if (m_newline.empty())
        m_newline = "\n";
}

ProfileDocument::Line ProfileDocument::classify(std::string text, std::string end)
{
    Line line;
    line.text = std::move(text);
    line.end = std::move(end);
    const std::string_view t = trimBlanks(line.text);
    if (t.empty())
        return line;
    if (t.front() == '[') {
        line.kind = Kind::Header;
        const auto close = t.find(']');
        line.name = std::string(trimBlanks(t.substr(1, close == std::string_view::npos ? t.npos : close - 1)));
    } else if (t.front() == ';' || t.front() == '#') {
        line.kind = Kind::Comment;
    } else if (const auto eq = line.text.find('='); eq != std::string::npos) {
        line.kind = Kind::Key;
        line.name = std::string(trimBlanks(std::string_view(line.text).substr(0, eq)));
        line.valueAt = eq + 1;
    }
    return line;
}

std::string ProfileDocument::text() const
{
    std::string out;
    for (const auto& line : m_lines) {
        if (line.kind != Kind::Removed) {
            out += line.text;
            out += line.end;
        }
    }
    return out;
}

const ProfileDocument::Index& ProfileDocument::index() const
{
    if (m_index)
        return *m_index;
    Index idx;
    std::string current; // folded name of the section the lines are in
    bool reading = false; // inside the first section of its name
    for (std::size_t i = 0; i < m_lines.size(); ++i) {
        const Line& line = m_lines[i];
        if (line.kind == Kind::Header) {
            current = folded(line.name);
            reading = idx.headers.emplace(current, i).second;
        } else if (line.kind == Kind::Key && reading) {
            idx.keys.emplace(current + '\n' + folded(line.name), i);
        }
    }
    m_index = std::move(idx);
    return *m_index;
}

std::optional<std::size_t> ProfileDocument::findHeader(std::string_view section) const
{
    const auto& headers = index().headers;
    const auto it = headers.find(folded(section));
    return it == headers.end() ? std::nullopt : std::optional<std::size_t>(it->second);
}

std::optional<std::size_t> ProfileDocument::findKey(std::string_view section, std::string_view key) const
{
    const auto& keys = index().keys;
    const auto it = keys.find(folded(section) + '\n' + folded(key));
    return it == keys.end() ? std::nullopt : std::optional<std::size_t>(it->second);
}

std::size_t ProfileDocument::sectionEnd(std::size_t header) const
{
    std::size_t i = header + 1;
    while (i < m_lines.size() && m_lines[i].kind != Kind::Header)
        ++i;
    return i;
}

std::optional<std::string_view> ProfileDocument::rawValue(std::string_view section, std::string_view key) const
{
    const auto at = findKey(section, key);
    if (!at)
        return std::nullopt;
    const Line& line = m_lines[*at];
    return std::string_view(line.text).substr(line.valueAt);
}

bool ProfileDocument::hasSection(std::string_view section) const { return findHeader(section).has_value(); }

std::vector<std::string> ProfileDocument::sectionKeys(std::string_view section) const
{
    std::vector<std::string> out;
    const auto header = findHeader(section);
    if (!header)
        return out;
    std::unordered_set<std::string> seen;
    for (std::size_t i = *header + 1, end = sectionEnd(*header); i < end; ++i) {
        const Line& line = m_lines[i];
        if (line.kind == Kind::Key && !line.name.empty() && seen.insert(folded(line.name)).second)
            out.push_back(line.name);
    }
    return out;
}

std::vector<std::string> ProfileDocument::sectionNames() const
{
    std::vector<std::string> out;
    std::unordered_set<std::string> seen;
    for (const auto& line : m_lines)
        if (line.kind == Kind::Header && !line.name.empty() && seen.insert(folded(line.name)).second)
            out.push_back(line.name);
    return out;
}

void ProfileDocument::insertLine(std::size_t at, std::string text)
{
    // The line before must end, or the new one would join it.
    for (std::size_t i = at; i > 0; --i) {
        Line& before = m_lines[i - 1];
        if (before.kind == Kind::Removed)
            continue;
        if (before.end.empty())
            before.end = m_newline;
        break;
    }
    m_lines.insert(m_lines.begin() + static_cast<std::ptrdiff_t>(at), classify(std::move(text), m_newline));
    m_index.reset();
}

void ProfileDocument::insertKeyLine(std::size_t at, std::string_view section, std::string_view key,
                                    std::string text)
{
    std::optional<Index> idx = std::move(m_index);
    insertLine(at, std::move(text));
    if (!idx)
        return;
    for (auto* map : {&idx->headers, &idx->keys})
        for (auto& entry : *map)
            if (entry.second >= at)
                ++entry.second;
    idx->keys.emplace(folded(section) + '\n' + folded(key), at);
    m_index = std::move(idx);
}

void ProfileDocument::setValue(std::string_view section, std::string_view key, std::string_view value)
{
    if (const auto at = findKey(section, key)) {
        Line& line = m_lines[*at];
        if (std::string_view(line.text).substr(line.valueAt) != value) {
            line.text.replace(line.valueAt, line.text.npos, value);
            m_index.reset();
        }
        return;
    }
    const std::string entry = std::string(key) + "=" + std::string(value);
    if (const auto header = findHeader(section)) {
        // After the section's last entry (or stray line), before the
        // comments and blank lines that close it.
        std::size_t at = *header + 1;
        for (std::size_t i = at, end = sectionEnd(*header); i < end; ++i) {
            const Line& line = m_lines[i];
            if (line.kind == Kind::Key || (line.kind == Kind::Other && !trimBlanks(line.text).empty()))
                at = i + 1;
        }
        insertKeyLine(at, section, key, entry);
        return;
    }
    const auto removed = std::find_if(m_lines.begin(), m_lines.end(), [&](const Line& line) {
        return line.kind == Kind::Removed && sameName(line.name, section);
    });
    if (removed != m_lines.end()) {
        removed->kind = Kind::Header; // its text and line end are the old header's
        const auto at = static_cast<std::size_t>(removed - m_lines.begin());
        insertLine(at + 1, entry);
        return;
    }
    insertLine(m_lines.size(), "[" + std::string(section) + "]");
    insertLine(m_lines.size(), entry);
}

void ProfileDocument::removeKey(std::string_view section, std::string_view key)
{
    const auto header = findHeader(section);
    if (!header)
        return;
    const std::size_t end = sectionEnd(*header);
    const auto first = m_lines.begin() + static_cast<std::ptrdiff_t>(*header + 1);
    const auto last = m_lines.begin() + static_cast<std::ptrdiff_t>(end);
    const auto kept = std::remove_if(first, last, [&](const Line& line) {
        return line.kind == Kind::Key && sameName(line.name, key);
    });
    if (kept != last) {
        m_lines.erase(kept, last);
        m_index.reset();
    }
}

void ProfileDocument::removeSection(std::string_view section)
{
    bool marked = std::any_of(m_lines.begin(), m_lines.end(), [&](const Line& line) {
        return line.kind == Kind::Removed && sameName(line.name, section);
    });
    for (std::size_t h = 0; h < m_lines.size();) {
        if (m_lines[h].kind != Kind::Header || !sameName(m_lines[h].name, section)) {
            ++h;
            continue;
        }
        std::size_t cut = sectionEnd(h);
        while (cut > h + 1
               && (m_lines[cut - 1].kind == Kind::Comment
                   || (m_lines[cut - 1].kind == Kind::Other && trimBlanks(m_lines[cut - 1].text).empty())))
            --cut;
        m_lines.erase(m_lines.begin() + static_cast<std::ptrdiff_t>(h + 1),
                      m_lines.begin() + static_cast<std::ptrdiff_t>(cut));
        // The first one leaves a mark where the section can come back.
        if (!marked) {
            m_lines[h].kind = Kind::Removed;
            marked = true;
            ++h;
        } else {
            m_lines.erase(m_lines.begin() + static_cast<std::ptrdiff_t>(h));
        }
        m_index.reset();
    }
}

} // namespace omnar::settings
