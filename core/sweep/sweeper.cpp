#include "core/sweep/sweeper.h"

#include "core/base/ports.h"
#include "core/base/virtual_store.h"
#include "core/sweep/data_files.h"

namespace latchsweep {

bool sweepOnce(FileSystem& files)
{
    const auto path = readFirstLine(files, kDirectoryFile);
    // The value is the path verbatim (no trimming, no check of the name), but only a whole one.
    if (!path || !isWholePath(*path))
        return false;
    // Where Windows virtualizes the game's folder, the lock file the game sees may be its copy in
    // the user's virtual store, or both may exist: each goes.
    bool removed = files.removeFile(*path);
    if (const auto copy = virtualStoreCopy(files, *path))
        removed = files.removeFile(*copy) || removed;
    return removed;
}

} // namespace latchsweep
