#pragma once

#include <functional>
#include <optional>
#include <string>

#include <grp.h>
#include <pwd.h>
#include <sys/wait.h>
#include <unistd.h>

namespace omnar::settings::test {

// Runs `body` in a child process as a user file permissions bind: the
// current one, or `nobody` when the tests run as root (who may write
// anything). Returns the body's result, or nothing with `why` set when no
// such user can be had. Files the body uses must be reachable for `nobody`.
inline std::optional<int> runUnprivileged(const std::function<int()>& body, std::string& why)
{
    uid_t uid = 0;
    gid_t gid = 0;
    const bool drop = ::geteuid() == 0;
    if (drop) {
        const passwd* pw = ::getpwnam("nobody");
        if (!pw) {
            why = "running as root and there is no user 'nobody' to drop to";
            return std::nullopt;
        }
        uid = pw->pw_uid;
        gid = pw->pw_gid;
    }
    const pid_t pid = ::fork();
    if (pid < 0) {
        why = "fork failed";
        return std::nullopt;
    }
    if (pid == 0) {
        if (drop && (::setgroups(0, nullptr) != 0 || ::setgid(gid) != 0 || ::setuid(uid) != 0))
            ::_exit(125);
        ::_exit(body());
    }
    int status = 0;
    if (::waitpid(pid, &status, 0) != pid || !WIFEXITED(status)) {
        why = "the unprivileged child did not end normally";
        return std::nullopt;
    }
    if (WEXITSTATUS(status) == 125) {
        why = "could not drop to user 'nobody'";
        return std::nullopt;
    }
    return WEXITSTATUS(status);
}

} // namespace omnar::settings::test
