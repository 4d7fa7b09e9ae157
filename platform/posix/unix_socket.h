#pragma once

#include <string>

namespace latchsweep {

// Whether a server listens on the local socket at `path` (a Wayland compositor's, for one).
bool canConnectUnixSocket(const std::string& path);

} // namespace latchsweep
