#pragma once

// omnar-sim and omnar-ctl in processes of their own, as scripts and systemd
// start them, and the CPU time they take.

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <spawn.h>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace omnar::bench {

// Starts argv[0] (a path) with its standard output, and with `withStderr`
// its standard error too, going to the file `output`. The process id, or -1
// with errno saying why.
inline pid_t spawnProcess(const std::vector<std::string>& args, const std::string& output, bool withStderr = true)
{
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, output.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (withStderr)
        posix_spawn_file_actions_adddup2(&actions, STDOUT_FILENO, STDERR_FILENO);
    std::vector<std::string> copy = args;
    std::vector<char*> argv;
    for (auto& s : copy)
        argv.push_back(s.data());
    argv.push_back(nullptr);
    pid_t pid = 0;
    const int rc = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (rc != 0) {
        errno = rc;
        return -1;
    }
    return pid;
}

// SIGTERM, then waits for the end.
inline void stopProcess(pid_t pid)
{
    if (pid <= 0)
        return;
    kill(pid, SIGTERM);
    waitpid(pid, nullptr, 0);
}

// CPU time of a process: the run time of all its threads in nanoseconds from
// /proc/<pid>/task/*/schedstat, finer than the clock ticks of /proc/<pid>/stat.
// -1 when the process cannot be read.
inline double procCpuSeconds(pid_t pid)
{
    namespace fs = std::filesystem;
    std::error_code ec;
    double total = 0;
    for (const auto& task : fs::directory_iterator("/proc/" + std::to_string(pid) + "/task", ec)) {
        std::ifstream in(task.path() / "schedstat");
        unsigned long long ns = 0;
        if (in >> ns)
            total += double(ns) / 1e9;
    }
    return ec ? -1 : total;
}

inline double selfCpuSeconds()
{
    rusage r{};
    getrusage(RUSAGE_SELF, &r);
    auto sec = [](const timeval& t) { return double(t.tv_sec) + double(t.tv_usec) / 1e6; };
    return sec(r.ru_utime) + sec(r.ru_stime);
}

} // namespace omnar::bench
