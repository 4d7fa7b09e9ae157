#pragma once

#include <sys/types.h>

#include <string>
#include <vector>

#include "core/base/system_ports.h"

namespace latchsweep {

// Starts a program by its path with posix_spawn: no shell, no search of PATH, no splitting at
// spaces. The program runs in a process group of its own, so that a signal meant for this
// program's group does not reach it. Children that have ended are reaped at the next launch.
class PosixLauncher : public Launcher {
public:
    PosixLauncher() = default;
    ~PosixLauncher() override;
    PosixLauncher(const PosixLauncher&) = delete;
    PosixLauncher& operator=(const PosixLauncher&) = delete;

    bool launch(const std::string& path) override;

private:
    void reap();
    std::vector<pid_t> children_;
};

} // namespace latchsweep
