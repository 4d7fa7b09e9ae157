#pragma once

namespace latchsweep {

class FileSystem;

// One sweep: read the first line of Directory.txt and delete the file it names. Silent: a
// missing list, an empty one or a lock file that is not there all end the sweep quietly.
// Where the path lies in a folder Windows virtualizes, its copy in the user's virtual store is
// deleted too. Returns whether a file was deleted.
bool sweepOnce(FileSystem& files);

} // namespace latchsweep
