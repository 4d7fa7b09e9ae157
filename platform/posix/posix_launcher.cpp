#include "platform/posix/posix_launcher.h"

#include <spawn.h>
#include <sys/wait.h>

#include <algorithm>
#include <csignal>

extern char** environ;

namespace latchsweep {

PosixLauncher::~PosixLauncher() { reap(); }

bool PosixLauncher::launch(const std::string& path)
{
    reap();
    // A NUL inside would cut the name short: the program started would not be the one named.
    if (path.empty() || path.find('\0') != std::string::npos)
        return false;

    posix_spawnattr_t attributes;
    if (posix_spawnattr_init(&attributes) != 0)
        return false;
    sigset_t none;
    sigemptyset(&none);
    posix_spawnattr_setsigmask(&attributes, &none);
    posix_spawnattr_setpgroup(&attributes, 0);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETPGROUP);

    std::string program = path;
    char* arguments[] = {program.data(), nullptr};
    pid_t child = 0;
    // posix_spawn, not posix_spawnp: the path is used as given, relative to the working directory
    // when it is relative. A program that cannot be executed is reported here.
    const int result = posix_spawn(&child, program.c_str(), nullptr, &attributes, arguments, environ);
    posix_spawnattr_destroy(&attributes);
    if (result != 0)
        return false;
    children_.push_back(child);
    return true;
}

void PosixLauncher::reap()
{
    std::erase_if(children_, [](pid_t child) {
        int status = 0;
        const pid_t done = ::waitpid(child, &status, WNOHANG);
        return done == child || done < 0;
    });
}

} // namespace latchsweep
