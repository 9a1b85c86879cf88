#include "core/ctl/CtlOptions.h"
#include "core/ctl/CtlRun.h"

#include <csignal>
#include <cstdlib>
#include <cstdio>
#include <pthread.h>
#include <string>
#include <thread>
#include <vector>

using namespace omnar;

namespace {

void write(std::FILE* stream, std::string_view text)
{
    std::fwrite(text.data(), 1, text.size(), stream);
    std::fflush(stream);
}

} // namespace

int main(int argc, char** argv)
{
    const auto parsed = ctl::parseCommandLine(std::vector<std::string>(argv + 1, argv + argc));
    if (!parsed.error.empty()) {
        std::fprintf(stderr, "omnar-ctl: %s; see omnar-ctl --help\n", parsed.error.c_str());
        return ctl::kExitUsage;
    }

    // SIGINT and SIGTERM end the command at once (the timer within a moment):
    // blocked in every thread and taken here by sigwait, which turns them
    // into a stop request. SIGUSR1 says the command ended by itself.
    sigset_t signals;
    sigemptyset(&signals);
    sigaddset(&signals, SIGINT);
    sigaddset(&signals, SIGTERM);
    sigaddset(&signals, SIGUSR1);
    pthread_sigmask(SIG_BLOCK, &signals, nullptr);

    ctl::CtlIo io;
    io.out = [](std::string_view text) { write(stdout, text); };
    io.err = [](std::string_view text) { write(stderr, text); };
    io.version = OMNAR_VERSION;

    std::stop_source stop;
    const pthread_t mainThread = pthread_self();
    int code = 0;
    std::thread command([&] {
        code = ctl::runCtl(parsed.options, io, stop.get_token());
        pthread_kill(mainThread, SIGUSR1);
    });
    int sig = 0;
    if (sigwait(&signals, &sig) == 0 && sig != SIGUSR1) {
        stop.request_stop();
        // A command stuck in a call that no stop reaches (a file system that
        // does not answer) is not left running: a second signal ends it.
        while (sigwait(&signals, &sig) == 0 && sig != SIGUSR1) {
            write(stderr, "omnar-ctl: ended before the command could finish\n");
            std::_Exit(128 + sig);
        }
    }
    command.join();
    return code;
}
