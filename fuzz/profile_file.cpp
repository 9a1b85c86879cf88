// Any bytes as the profile file: every read, the connection settings and
// the plan loader; then one write, whose read-back must give the value and
// leave every other line's bytes and every other value alone, and the plan
// editor's rewrite, which must read back to the same plans.
#include "core/plans/CInfoPlan.h"
#include "core/plans/PlanEditorModel.h"
#include "core/settings/ConnectionSettings.h"
#include "core/settings/ProfileFile.h"
#include "core/settings/ProfileText.h"
#include "core/util/Console.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <string>
#include <utility>

using namespace omnar;
using settings::ProfileFile;

namespace {

// A folder of its own, in memory where there is such a place (every write
// fsyncs), removed at exit.
struct Folder {
    std::string path;
    Folder()
    {
        std::error_code ec;
        const auto base = std::filesystem::is_directory("/dev/shm", ec) ? std::filesystem::path("/dev/shm")
                                                                        : std::filesystem::temp_directory_path();
        path = (base / "omnar-fuzz-profile-XXXXXX").string();
        if (::mkdtemp(path.data()) == nullptr)
            std::abort();
    }
    ~Folder()
    {
        std::error_code ignored;
        std::filesystem::remove_all(path, ignored);
    }
};

const std::string& folder()
{
    static const Folder f;
    return f.path;
}

void put(const std::string& path, std::string_view bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::string get(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

[[noreturn]] void fail(const char* what)
{
    std::fprintf(stderr, "profile_file: %s\n", what);
    std::error_code ignored;
    std::filesystem::remove_all(folder(), ignored); // abort runs no destructor
    std::abort();
}

using Values = std::map<std::pair<std::string, std::string>, std::string>;

// Every value the readers can reach, by section and key as the file spells them.
Values everyValue(const ProfileFile& ini)
{
    Values values;
    ini.read([&](const ProfileFile::Editor& e) {
        for (const auto& section : e.sectionNames()) {
            for (const auto& key : e.sectionKeys(section)) {
                values[{section, key}] = e.getString(section, key);
                (void)e.getInt(section, key, -1);
            }
        }
    });
    return values;
}

bool sameName(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        auto lower = [](char c) { return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c; };
        if (lower(a[i]) != lower(b[i]))
            return false;
    }
    return true;
}

// What a write may change: one line's value, or lines it adds. Whatever the
// old text loses between the common start and end must lie within one line.
void checkOnlyItsLineChanged(const std::string& before, const std::string& after)
{
    std::size_t prefix = 0;
    while (prefix < before.size() && prefix < after.size() && before[prefix] == after[prefix])
        ++prefix;
    std::size_t suffix = 0;
    while (suffix < before.size() - prefix && suffix < after.size() - prefix
           && before[before.size() - 1 - suffix] == after[after.size() - 1 - suffix])
        ++suffix;
    const std::string_view lost = std::string_view(before).substr(prefix, before.size() - prefix - suffix);
    if (lost.find_first_of("\r\n") != std::string_view::npos)
        fail("a write changed more than the line of its key");
}

void writeAndReadBack(const std::string& path, ProfileFile& ini, std::size_t size)
{
    const std::string beforeBytes = get(path);
    const auto before = settings::decodeProfile(beforeBytes);
    const Values values = everyValue(ini);

    // Where to write: a key the file has, a new key in a section it has, or
    // the panel's own key (perhaps a new section).
    std::string section = "CONNECT";
    std::string key = "SerialTcp";
    const auto names = ini.sectionNames();
    if (!names.empty() && size % 3 != 2) {
        section = size % 3 == 0 ? names.front() : names.back();
        const auto keys = ini.sectionKeys(section);
        key = (size % 3 == 0 && !keys.empty()) ? keys.front() : std::string("Fuzz").append(std::to_string(size));
    }
    // Appended rather than "v" + …: GCC 12 at -O3 warns (wrongly) about the prepend.
    const std::string value = std::string("v").append(std::to_string(size % 1000));

    // Names the file spells are names a write takes.
    if (!ini.writeString(section, key, value))
        fail("a write to a readable file failed");
    ProfileFile again(path);
    if (again.getString(section, key) != value)
        fail("the written value does not read back");
    const Values now = everyValue(again);
    for (const auto& [where, old] : values) {
        if (sameName(where.first, section) && sameName(where.second, key))
            continue;
        const auto it = now.find(where);
        if (it == now.end())
            fail("a write lost another key");
        if (it->second != old)
            fail("a write changed another key's value");
    }

    const std::string afterBytes = get(path);
    const auto after = settings::decodeProfile(afterBytes);
    if (!after.ok || after.encoding != before.encoding)
        fail("a write changed the encoding");
    checkOnlyItsLineChanged(before.text, after.text);

    if (!again.writeString(section, key, value) || get(path) != afterBytes)
        fail("writing the same value again changed the file");
}

// The editor reorders and rewrites every plan section; a fresh load must
// find the same plans.
void rewritePlans(ProfileFile& ini)
{
    plans::CInfoPlan store(ini);
    plans::PlanEditorModel editor(store, false);
    for (const auto& message : editor.open())
        if (message.aboutFile)
            fail("the plan editor could not rewrite a readable file");
    plans::CInfoPlan fresh(ini);
    fresh.ReloadFromFile();
    for (const auto kind : plans::kPlanKinds)
        if (fresh.plans(kind) != store.plans(kind))
            fail("the rewritten plans read back differently");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const bool quiet = (util::setConsoleSink([](std::string_view) {}), true);
    (void)quiet;
    const std::string path = folder() + "/Planinfo.ini";
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    put(path, bytes);

    ProfileFile ini(path);
    (void)everyValue(ini);
    (void)settings::ConnectionSettings::load(ini, "COM1");
    plans::CInfoPlan store(ini);
    store.ReloadFromFile();
    for (const auto kind : plans::kPlanKinds)
        store.BuildTodayPlans(kind, 1700000000, size % 2 == 0);

    if (!ini.read([](const ProfileFile::Editor&) {})) {
        if (ini.writeString("CONNECT", "SerialTcp", "1") || get(path) != bytes)
            fail("a file that cannot be read was written");
        return 0;
    }
    writeAndReadBack(path, ini, size);
    rewritePlans(ini);
    return 0;
}
