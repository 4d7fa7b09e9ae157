#pragma once

#include "core/base/ports.h"

namespace latchsweep::win32 {

// The folders Windows virtualizes for a legacy program, and the current user's store below the
// local application data, as this system names them: its known folders, and from the
// environment the 64-bit Program Files that a 32-bit process is told of there only. Nothing
// where the system cannot name the store.
VirtualStore systemVirtualStore();

} // namespace latchsweep::win32
