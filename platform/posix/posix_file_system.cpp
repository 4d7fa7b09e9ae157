#include "posix_file_system.h"

#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace latchsweep {
namespace {

std::string reasonFor(int error) { return std::strerror(error); }

// Closes a descriptor on every way out of a scope.
class Descriptor {
public:
    explicit Descriptor(int fd) : fd_(fd) {}
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

} // namespace

std::optional<std::string> PosixFileSystem::readHead(const std::string& path, std::size_t maxBytes)
{
    // Non-blocking, so that a pipe or device under the name cannot stall the program.
    const Descriptor fd(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
    if (fd.get() < 0)
        return std::nullopt;
    struct stat info {};
    if (::fstat(fd.get(), &info) != 0 || !S_ISREG(info.st_mode))
        return std::nullopt;
    std::string content(maxBytes, '\0');
    std::size_t filled = 0;
    while (filled < maxBytes) {
        const ssize_t got = ::read(fd.get(), content.data() + filled, maxBytes - filled);
        if (got < 0) {
            if (errno == EINTR)
                continue;
            return std::nullopt;
        }
        if (got == 0)
            break;
        filled += static_cast<std::size_t>(got);
    }
    content.resize(filled);
    return content;
}

WriteStatus PosixFileSystem::replaceFile(const std::string& path, std::string_view bytes)
{
    // The new content goes to a temporary file beside the old one and is renamed over it only
    // once it is safely on disk: a failure at any point leaves the old file as it was.
    std::string temporary;
    int fd = -1;
    for (int attempt = 0; fd < 0; ++attempt) {
        temporary = path + ".tmp" + std::to_string(::getpid()) + "-" + std::to_string(attempt);
        fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0 && (errno != EEXIST || attempt > 100))
            return {false, reasonFor(errno)};
    }
    Descriptor file(fd);
    if (!writeAll(file.get(), bytes) || ::fsync(file.get()) != 0) {
        const int error = errno;
        ::unlink(temporary.c_str());
        return {false, reasonFor(error)};
    }
    if (::close(file.release()) != 0 || ::rename(temporary.c_str(), path.c_str()) != 0) {
        const int error = errno;
        ::unlink(temporary.c_str());
        return {false, reasonFor(error)};
    }
    return {};
}

bool PosixFileSystem::removeFile(const std::string& path)
{
    struct stat info {};
    if (::lstat(path.c_str(), &info) != 0)
        return false;
    // A regular file, or a symbolic link itself (never what it points to); never a directory,
    // a pipe or a device.
    if (!S_ISREG(info.st_mode) && !S_ISLNK(info.st_mode))
        return false;
    return ::unlink(path.c_str()) == 0;
}

bool PosixFileSystem::isNormalFile(const std::string& path)
{
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

std::string PosixFileSystem::currentDirectory()
{
    std::string buffer(4096, '\0');
    while (::getcwd(buffer.data(), buffer.size()) == nullptr) {
        if (errno != ERANGE)
            return ".";
        buffer.resize(buffer.size() * 2);
    }
    buffer.resize(std::strlen(buffer.c_str()));
    return buffer;
}

std::optional<std::vector<std::string>> PosixFileSystem::subdirectories(const std::string& dir)
{
    DIR* stream = ::opendir(dir.c_str());
    if (!stream)
        return std::nullopt;
    std::vector<std::string> names;
    const std::string prefix = dir.ends_with('/') ? dir : dir + '/';
    while (const dirent* entry = ::readdir(stream)) {
        const std::string_view name = entry->d_name;
        if (name == "." || name == "..")
            continue;
        bool isDirectory = entry->d_type == DT_DIR;
        if (entry->d_type == DT_LNK || entry->d_type == DT_UNKNOWN) {
            struct stat info {};
            isDirectory = ::stat((prefix + entry->d_name).c_str(), &info) == 0 && S_ISDIR(info.st_mode);
        }
        if (isDirectory)
            names.emplace_back(name);
    }
    ::closedir(stream);
    return names;
}

} // namespace latchsweep
