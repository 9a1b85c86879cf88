#pragma once

#include <optional>
#include <string>

namespace omnar::settings {

// What decides where the profile file is when no --config names it.
struct ProfileEnvironment {
    bool workingCopyExists = false; // ./Planinfo.ini is there
    std::string xdgConfigHome;      // $XDG_CONFIG_HOME, empty when unset
    std::string home;               // $HOME (or the password entry's home folder)
};

// The profile file a program uses: the one --config names; else
// ./Planinfo.ini when it exists (where the file always was); else
// Planinfo.ini in the user's configuration folder, "omnar" under
// $XDG_CONFIG_HOME or ~/.config (a relative $XDG_CONFIG_HOME is ignored, as
// the base-directory rules say); else, with no home at all, ./Planinfo.ini.
std::string chooseProfilePath(const std::optional<std::string>& configOption, const ProfileEnvironment& env);

// The environment of this process.
ProfileEnvironment currentProfileEnvironment();

// chooseProfilePath for this process.
std::string resolveProfilePath(const std::optional<std::string>& configOption);

// Makes the configuration folder (0700, parents too) when `path` is the
// profile file in it and the folder is missing, so the first save finds
// it. Any other path is left alone: a mistyped --config is not made.
void ensureProfileFolder(const std::string& path);

} // namespace omnar::settings
