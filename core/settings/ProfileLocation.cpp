#include "core/settings/ProfileLocation.h"

#include "core/settings/ProfileFile.h"

#include <cerrno>
#include <cstdlib>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

namespace omnar::settings {

namespace {

constexpr const char* kFileName = "Planinfo.ini";
constexpr const char* kFolderName = "omnar";

bool absolute(const std::string& path)
{
    return !path.empty() && path.front() == '/';
}

// The configuration folder of the user, or empty when there is no home.
std::string configBase(const ProfileEnvironment& env)
{
    if (absolute(env.xdgConfigHome))
        return env.xdgConfigHome;
    if (absolute(env.home))
        return env.home + (env.home.back() == '/' ? ".config" : "/.config");
    return {};
}

std::string configFolder(const ProfileEnvironment& env)
{
    const std::string base = configBase(env);
    if (base.empty())
        return {};
    return base + (base.back() == '/' ? "" : "/") + kFolderName;
}

bool makeFolder(const std::string& path)
{
    if (::mkdir(path.c_str(), 0700) == 0 || errno == EEXIST)
        return true;
    if (errno != ENOENT)
        return false;
    const auto slash = path.find_last_of('/');
    if (slash == std::string::npos || slash == 0)
        return false;
    return makeFolder(path.substr(0, slash)) && (::mkdir(path.c_str(), 0700) == 0 || errno == EEXIST);
}

} // namespace

std::string chooseProfilePath(const std::optional<std::string>& configOption, const ProfileEnvironment& env)
{
    if (configOption && !configOption->empty())
        return *configOption;
    const std::string folder = configFolder(env);
    if (env.workingCopyExists || folder.empty())
        return std::string(kDefaultProfilePath);
    return folder + "/" + kFileName;
}

ProfileEnvironment currentProfileEnvironment()
{
    ProfileEnvironment env;
    struct stat st{};
    env.workingCopyExists = ::stat(std::string(kDefaultProfilePath).c_str(), &st) == 0;
    if (const char* xdg = std::getenv("XDG_CONFIG_HOME"))
        env.xdgConfigHome = xdg;
    if (const char* home = std::getenv("HOME"); home && *home) {
        env.home = home;
    } else if (const passwd* pw = ::getpwuid(::getuid()); pw && pw->pw_dir) {
        env.home = pw->pw_dir;
    }
    return env;
}

std::string resolveProfilePath(const std::optional<std::string>& configOption)
{
    return chooseProfilePath(configOption, currentProfileEnvironment());
}

void ensureProfileFolder(const std::string& path)
{
    const std::string folder = configFolder(currentProfileEnvironment());
    // A failure shows at the first save, which names the file and the reason.
    if (!folder.empty() && path == folder + "/" + kFileName)
        makeFolder(folder);
}

} // namespace omnar::settings
