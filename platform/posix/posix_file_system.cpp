#include "platform/posix/posix_file_system.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <csignal>
#include <cstring>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "core/base/replacement_names.h"

namespace latchsweep {
namespace {

WriteStatus failure(int error) { return {false, std::strerror(error), error == EACCES || error == EPERM}; }

// Closes a descriptor on every way out of a scope.
class Descriptor {
public:
    explicit Descriptor(int fd)
        : fd_(fd)
    {}
    ~Descriptor()
    {
        if (fd_ >= 0)
            ::close(fd_);
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    [[nodiscard]] int get() const { return fd_; }
    int release() { return std::exchange(fd_, -1); }

private:
    int fd_;
};

bool writeAll(int fd, std::string_view bytes)
{
    while (!bytes.empty()) {
        const ssize_t written = ::write(fd, bytes.data(), bytes.size());
        if (written < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        bytes.remove_prefix(static_cast<std::size_t>(written));
    }
    return true;
}

// The file a save writes to: `path` itself, or the end of the chain of symbolic links that
// starts there (which need not exist yet, as for a dangling link). Nothing on a loop.
std::optional<std::string> linkTarget(const std::string& path)
{
    constexpr int kMaxLinks = 40; // as the kernel's own limit
    std::string current = path;
    for (int hop = 0; hop < kMaxLinks; ++hop) {
        struct stat info {};
        if (::lstat(current.c_str(), &info) != 0 || !S_ISLNK(info.st_mode))
            return current;
        std::string next(static_cast<std::size_t>(info.st_size > 0 ? info.st_size : PATH_MAX) + 1, '\0');
        const ssize_t length = ::readlink(current.c_str(), next.data(), next.size());
        if (length < 0)
            return std::nullopt;
        if (static_cast<std::size_t>(length) >= next.size()) {
            errno = ENAMETOOLONG; // the link grew while it was read
            return std::nullopt;
        }
        next.resize(static_cast<std::size_t>(length));
        // A relative link is relative to the directory that holds it.
        const std::size_t slash = current.rfind('/');
        current = next.starts_with('/') || slash == std::string::npos ? next : current.substr(0, slash + 1) + next;
    }
    errno = ELOOP;
    return std::nullopt;
}

// The directory part of a path, ending in '/' (empty for a bare name), and the name itself.
std::pair<std::string, std::string> directoryAndName(const std::string& path)
{
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos)
        return {"", path};
    return {path.substr(0, slash + 1), path.substr(slash + 1)};
}

// Removes what saves of `name` left behind when they were killed between writing and renaming
// (the rule is the core's; this only lists the directory and asks after processes).
void removeLeftovers(const std::string& directory, const std::string& name)
{
    DIR* stream = ::opendir(directory.empty() ? "." : directory.c_str());
    if (!stream)
        return; // nothing can be cleared; the save itself reports what is wrong
    // Only ESRCH says a process is gone: one of another user's answers EPERM and still runs.
    const auto stillRuns = [](ProcessId pid) { return ::kill(static_cast<pid_t>(pid), 0) == 0 || errno != ESRCH; };
    const auto self = static_cast<ProcessId>(::getpid());
    std::vector<std::string> stale;
    while (const dirent* entry = ::readdir(stream))
        if (isStaleLeftover(name, entry->d_name, self, stillRuns))
            stale.emplace_back(entry->d_name);
    ::closedir(stream);
    for (const std::string& leftover : stale)
        ::unlink((directory + leftover).c_str()); // one that is already gone needs nothing more
}

// Gives the new file the old one's owner and group where this process may (root may set any,
// an owner may set one of its own groups), then the old one's mode; the mode comes last since
// a change of owner clears the set-user-ID and set-group-ID bits. Whatever may not be kept is
// left as a create gave it: the save goes on.
void keepOwnerAndMode(int fd, const struct stat& old)
{
    struct stat now {};
    if (::fstat(fd, &now) == 0 && (now.st_uid != old.st_uid || now.st_gid != old.st_gid)) {
        // Owner and group, else the group alone; where neither may be set the create's stay.
        [[maybe_unused]] const bool kept =
            ::fchown(fd, old.st_uid, old.st_gid) == 0 || ::fchown(fd, static_cast<uid_t>(-1), old.st_gid) == 0;
    }
    static_cast<void>(::fchmod(fd, old.st_mode & 07777));
}

bool syncDirectory(const std::string& directory)
{
    const Descriptor fd(::open(directory.empty() ? "." : directory.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (fd.get() < 0)
        return false;
    // Some file systems cannot sync a directory at all; the rename is then as safe as they make it.
    return ::fsync(fd.get()) == 0 || errno == EINVAL;
}

} // namespace

std::optional<std::string> PosixFileSystem::readHead(const std::string& path, std::size_t maxBytes)
{
    // Non-blocking, so that a pipe or device under the name cannot stall the program. Reading
    // at offsets refuses whatever cannot seek (a pipe, a socket, a terminal: ESPIPE) and a
    // directory (EISDIR), with no fstat to ask first: the sweep reads this file at every tick.
    const Descriptor fd(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
    if (fd.get() < 0)
        return std::nullopt;
    // The usual one-line file fits the first read, and a read that comes back short has met
    // the end of a file that can seek: one read, no second one to find the end.
    char first[4096];
    std::string content;
    std::size_t wanted = std::min(maxBytes, sizeof first);
    char* into = first;
    for (std::size_t filled = 0;;) {
        const ssize_t got = ::pread(fd.get(), into, wanted, static_cast<off_t>(filled));
        if (got < 0) {
            if (errno == EINTR)
                continue;
            return std::nullopt;
        }
        if (into == first)
            content.assign(first, static_cast<std::size_t>(got));
        else
            content.resize(filled + static_cast<std::size_t>(got));
        filled += static_cast<std::size_t>(got);
        if (static_cast<std::size_t>(got) < wanted || filled >= maxBytes)
            return content;
        wanted = std::min(maxBytes - filled, std::max<std::size_t>(filled, sizeof first));
        content.resize(filled + wanted);
        into = content.data() + filled;
    }
}

WriteStatus PosixFileSystem::replaceFile(const std::string& path, std::string_view bytes)
{
    // The new content goes to a temporary file beside the old one and is renamed over it only
    // once it is safely on disk: a failure at any point leaves the old file as it was. What the
    // user set up on the file stays: a link is written through, and the file keeps its mode and,
    // where this process may set them, its owner and group.
    const auto target = linkTarget(path);
    if (!target)
        return failure(errno);
    struct stat old {};
    const bool exists = ::stat(target->c_str(), &old) == 0;
    if (!exists && errno != ENOENT)
        return failure(errno);
    if (exists && S_ISDIR(old.st_mode))
        return failure(EISDIR);
    // A file that could not be opened for output is refused, read-only ones above all: the
    // rename would replace it all the same.
    if (exists && ::faccessat(AT_FDCWD, target->c_str(), W_OK, AT_EACCESS) != 0)
        return failure(errno);

    const auto [directory, name] = directoryAndName(*target);
    removeLeftovers(directory, name);
    std::string temporary;
    int fd = -1;
    for (unsigned attempt = 0; fd < 0; ++attempt) {
        temporary = directory + temporaryName(name, static_cast<ProcessId>(::getpid()), attempt);
        // A new file is created as any program would create it (0666 less the umask, and the
        // directory's default permissions); the copy of an existing one starts private.
        fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, exists ? 0600 : 0666);
        if (fd < 0 && (errno != EEXIST || attempt > 100))
            return failure(errno);
    }
    Descriptor file(fd);
    if (exists)
        keepOwnerAndMode(file.get(), old);
    if (!writeAll(file.get(), bytes) || ::fsync(file.get()) != 0) {
        const int error = errno;
        ::unlink(temporary.c_str());
        return failure(error);
    }
    if (::close(file.release()) != 0 || ::rename(temporary.c_str(), target->c_str()) != 0) {
        const int error = errno;
        ::unlink(temporary.c_str());
        return failure(error);
    }
    // The rename itself is on disk only once the directory is.
    if (!syncDirectory(directory))
        return failure(errno);
    return {};
}

bool PosixFileSystem::createDirectories(const std::string& path)
{
    std::error_code ignored;
    std::filesystem::create_directories(path, ignored);
    return std::filesystem::is_directory(path, ignored);
}

bool PosixFileSystem::removeFile(const std::string& path)
{
    // unlink removes a name, never a directory (EISDIR) and never what a symbolic link points to;
    // asking first what the name is would only add a system call to every sweep.
    return ::unlink(path.c_str()) == 0;
}

bool PosixFileSystem::isNormalFile(const std::string& path)
{
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

std::string PosixFileSystem::currentDirectory()
{
    std::error_code error;
    std::string directory = std::filesystem::current_path(error).native();
    return error ? std::string(".") : directory;
}

std::optional<std::vector<std::string>> PosixFileSystem::subdirectories(const std::string& dir)
{
    std::error_code error;
    std::filesystem::directory_iterator entry(dir, error);
    if (error)
        return std::nullopt;
    std::vector<std::string> names;
    // A link counts as what it points to; an entry that cannot be looked at is left out.
    for (; entry != std::filesystem::directory_iterator(); entry.increment(error))
        if (entry->is_directory(error))
            names.push_back(entry->path().filename().native());
    return names;
}

} // namespace latchsweep
