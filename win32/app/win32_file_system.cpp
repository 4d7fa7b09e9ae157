#include "win32/app/win32_file_system.h"

#include <windows.h>

#include <algorithm>

#include "win32/app/handles.h"

namespace latchsweep::win32 {
namespace {

// Closes a file handle on every way out of a scope.
class FileHandle {
public:
    explicit FileHandle(HANDLE handle)
        : handle_(handle)
    {}
    ~FileHandle() { close(); }
    FileHandle(const FileHandle&) = delete;
    FileHandle& operator=(const FileHandle&) = delete;
    [[nodiscard]] bool valid() const { return handle_ != INVALID_HANDLE_VALUE; }
    [[nodiscard]] HANDLE get() const { return handle_; }
    bool close()
    {
        if (!valid())
            return true;
        const bool closed = CloseHandle(handle_) != 0;
        handle_ = INVALID_HANDLE_VALUE;
        return closed;
    }

private:
    HANDLE handle_;
};

bool hasWildcard(const std::string& path) { return path.find_first_of("*?") != std::string::npos; }

// The system's name for a path: none for one with a wildcard or one that is not UTF-8.
std::optional<std::wstring> systemPath(const std::string& path)
{
    if (hasWildcard(path))
        return std::nullopt;
    return wideName(path);
}

bool writeAll(HANDLE file, std::string_view bytes)
{
    while (!bytes.empty()) {
        const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size(), 1u << 20));
        DWORD written = 0;
        if (!WriteFile(file, bytes.data(), chunk, &written, nullptr) || written == 0)
            return false;
        bytes.remove_prefix(written);
    }
    return true;
}

WriteStatus failure(DWORD error) { return {false, systemMessage(error)}; }

} // namespace

std::optional<std::string> Win32FileSystem::readHead(const std::string& path, std::size_t maxBytes)
{
    const auto name = systemPath(path);
    if (!name)
        return std::nullopt;
    FileHandle file(CreateFileW(name->c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    // A disk file only: a named pipe, a console or a device (CON, COM1) could block or answer
    // with something that is not the file's content.
    if (!file.valid() || GetFileType(file.get()) != FILE_TYPE_DISK)
        return std::nullopt;
    std::string content(maxBytes, '\0');
    std::size_t filled = 0;
    while (filled < maxBytes) {
        DWORD got = 0;
        const DWORD wanted = static_cast<DWORD>(std::min<std::size_t>(maxBytes - filled, 1u << 20));
        if (!ReadFile(file.get(), content.data() + filled, wanted, &got, nullptr))
            return std::nullopt;
        if (got == 0)
            break;
        filled += got;
    }
    content.resize(filled);
    return content;
}

WriteStatus Win32FileSystem::replaceFile(const std::string& path, std::string_view bytes)
{
    const auto name = systemPath(path);
    if (!name)
        return failure(ERROR_INVALID_NAME);
    // A read-only file is not to be written, as opening it for output would refuse; renaming
    // over it would not ask.
    const DWORD attributes = GetFileAttributesW(name->c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY)))
        return failure(ERROR_ACCESS_DENIED);
    // The new content goes to a temporary file beside the old one and replaces it only once it
    // is on disk: a failure at any point leaves the old file as it was.
    std::wstring temporary;
    HANDLE handle = INVALID_HANDLE_VALUE;
    for (int attempt = 0; handle == INVALID_HANDLE_VALUE; ++attempt) {
        temporary = *name + L".tmp" + std::to_wstring(GetCurrentProcessId()) + L"-" + std::to_wstring(attempt);
        handle = CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (handle == INVALID_HANDLE_VALUE) {
            const DWORD error = GetLastError();
            if ((error != ERROR_FILE_EXISTS && error != ERROR_ALREADY_EXISTS) || attempt > 100)
                return failure(error);
        }
    }
    FileHandle file(handle);
    if (!writeAll(file.get(), bytes) || !FlushFileBuffers(file.get())) {
        const DWORD error = GetLastError();
        file.close();
        DeleteFileW(temporary.c_str());
        return failure(error);
    }
    if (!file.close() ||
        !MoveFileExW(temporary.c_str(), name->c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        const DWORD error = GetLastError();
        DeleteFileW(temporary.c_str());
        return failure(error);
    }
    return {};
}

bool Win32FileSystem::removeFile(const std::string& path)
{
    // DeleteFileW itself takes no pattern, and never deletes a directory; a name with a
    // wildcard is refused here so that no platform layer underneath ever expands it.
    const auto name = systemPath(path);
    if (path.empty() || !name)
        return false;
    return DeleteFileW(name->c_str()) != 0;
}

bool Win32FileSystem::isNormalFile(const std::string& path)
{
    const auto name = systemPath(path);
    if (path.empty() || !name)
        return false;
    const DWORD attributes = GetFileAttributesW(name->c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES)
        return false;
    return (attributes &
            (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_DEVICE)) == 0;
}

std::string Win32FileSystem::currentDirectory()
{
    const DWORD needed = GetCurrentDirectoryW(0, nullptr);
    if (needed == 0)
        return ".";
    std::wstring directory(needed, L'\0');
    const DWORD length = GetCurrentDirectoryW(needed, directory.data());
    if (length == 0 || length >= needed)
        return ".";
    directory.resize(length);
    // A directory whose name UTF-8 cannot hold is no place to start from: the list starts where
    // the working directory is found, relative to it.
    return utf8Name(directory).value_or(".");
}

std::optional<std::vector<std::string>> Win32FileSystem::subdirectories(const std::string& dir)
{
    auto pattern = systemPath(dir);
    if (!pattern)
        return std::nullopt;
    if (!pattern->empty() && pattern->back() != L'\\' && pattern->back() != L'/')
        *pattern += L'\\';
    *pattern += L'*';
    WIN32_FIND_DATAW found{};
    HANDLE search = FindFirstFileW(pattern->c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return GetLastError() == ERROR_FILE_NOT_FOUND ? std::optional(std::vector<std::string>{}) : std::nullopt;
    std::vector<std::string> names;
    do {
        const std::wstring_view name = found.cFileName;
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) || name == L"." || name == L"..")
            continue;
        // A name UTF-8 cannot hold (an unpaired surrogate) could be given back only as another.
        if (auto text = utf8Name(name))
            names.push_back(std::move(*text));
    } while (FindNextFileW(search, &found));
    FindClose(search);
    return names;
}

TextDecoding Win32FileSystem::textDecoding() const { return {GetACP(), codePageToUtf8, utf8ToCodePage}; }

} // namespace latchsweep::win32
