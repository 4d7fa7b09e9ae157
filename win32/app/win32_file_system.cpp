#include "win32/app/win32_file_system.h"

#include <shlobj.h>

#include <algorithm>
#include <utility>
#include <vector>

#include "core/base/replacement_names.h"
#include "win32/app/handles.h"

namespace latchsweep::win32 {
namespace {

using OwnedHandle = Owned<HANDLE, CloseHandle>;

// A file CreateFileW opened, or null where it failed.
OwnedHandle ownedFile(HANDLE file) { return OwnedHandle(file == INVALID_HANDLE_VALUE ? nullptr : file); }

// The system's name for a path: none for one with a wildcard or one that is not UTF-8.
std::optional<std::wstring> systemPath(const std::string& path)
{
    if (path.find_first_of("*?") != std::string::npos)
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

WriteStatus failure(DWORD error) { return {false, systemMessage(error), error == ERROR_ACCESS_DENIED}; }

// A text the system writes into a buffer of the size it first reports, with `fill(size, buffer)`.
template <class Fill>
std::optional<std::wstring> systemText(Fill fill)
{
    const DWORD needed = fill(0, nullptr);
    if (needed == 0)
        return std::nullopt;
    std::wstring text(needed, L'\0');
    const DWORD length = fill(needed, text.data());
    if (length == 0 || length >= needed)
        return std::nullopt;
    text.resize(length);
    return text;
}

// The system's full name of a path: the program names its files by their bare names, and Wine's
// ReplaceFileW refuses relative names (ERROR_DIRECTORY) that Windows takes.
std::optional<std::wstring> fullName(const std::string& path)
{
    const auto name = systemPath(path);
    if (!name)
        return std::nullopt;
    return systemText(
        [&](DWORD size, wchar_t* buffer) { return GetFullPathNameW(name->c_str(), size, buffer, nullptr); });
}

// Only ERROR_INVALID_PARAMETER says that no process has the id: one that may not be opened
// (another user's, the system's) still runs. A process that has ended but is still held open
// by someone keeps its id, and is gone all the same.
bool stillRuns(ProcessId pid)
{
    const OwnedHandle process(OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, pid));
    if (!process)
        return GetLastError() != ERROR_INVALID_PARAMETER;
    DWORD exitCode = 0;
    return !GetExitCodeProcess(process.get(), &exitCode) || exitCode == STILL_ACTIVE;
}

// Removes what saves of `name` left behind when they were killed between writing and renaming
// (the rule is the core's; this only lists the directory and asks after processes). The program
// names an execution level, so the system shows it the real directory, never a virtual store's
// copy merged into it: that is where its temporaries were written.
void removeLeftovers(const std::wstring& directory, const std::string& target)
{
    WIN32_FIND_DATAW found{};
    HANDLE search =
        FindFirstFileExW((directory + L'*').c_str(), FindExInfoBasic, &found, FindExSearchNameMatch, nullptr, 0);
    if (search == INVALID_HANDLE_VALUE)
        return; // nothing can be cleared; the save itself reports what is wrong
    std::vector<std::wstring> stale;
    do {
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
            continue;
        const auto entry = utf8Name(found.cFileName);
        if (entry && isStaleLeftover(target, *entry, GetCurrentProcessId(), stillRuns))
            stale.emplace_back(found.cFileName);
    } while (FindNextFileW(search, &found));
    FindClose(search);
    for (const std::wstring& leftover : stale)
        DeleteFileW((directory + leftover).c_str()); // one that is already gone needs nothing more
}

// What the user set on the old file and a save keeps: every attribute but read-only (such a file
// is refused before it comes to this). Archive is set whatever it was: the content has changed
// since any backup, as after every write.
constexpr DWORD kKeptAttributes = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;

// Puts the written temporary in the target's place. ReplaceFileW keeps the old file's security,
// attributes and creation time on Windows; Wine's moves the old file away and the new one in,
// keeping none of them, hence the attributes already given to the temporary.
DWORD putInPlace(const std::wstring& temporary, const std::wstring& target, bool exists)
{
    if (exists) {
        if (ReplaceFileW(target.c_str(), temporary.c_str(), nullptr, REPLACEFILE_IGNORE_MERGE_ERRORS, nullptr, nullptr))
            return ERROR_SUCCESS;
        const DWORD error = GetLastError();
        // Without a backup this error means that the old file is gone already and the new one
        // still has the temporary's name; a file that went since it was looked at is no more to
        // be replaced. Either way the new file only has to be moved in.
        if (error != ERROR_UNABLE_TO_MOVE_REPLACEMENT && error != ERROR_FILE_NOT_FOUND)
            return error;
    }
    return MoveFileExW(temporary.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)
               ? ERROR_SUCCESS
               : GetLastError();
}

} // namespace

std::optional<std::string> Win32FileSystem::readHead(const std::string& path, std::size_t maxBytes)
{
    const auto name = systemPath(path);
    if (!name)
        return std::nullopt;
    const OwnedHandle file =
        ownedFile(CreateFileW(name->c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                              nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    // A disk file only: a named pipe, a console or a device (CON, COM1) could block or answer
    // with something that is not the file's content.
    if (!file || GetFileType(file.get()) != FILE_TYPE_DISK)
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
    const auto name = fullName(path);
    const auto full = name ? utf8Name(*name) : std::nullopt;
    if (!full)
        return failure(ERROR_INVALID_NAME);
    // A read-only file is not to be written, as opening it for output would refuse; renaming
    // over it would not ask.
    const DWORD attributes = GetFileAttributesW(name->c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY)))
        return failure(ERROR_ACCESS_DENIED);
    // The new content goes to a temporary file beside the old one and replaces it only once it
    // is on disk: a failure at any point leaves the old file as it was.
    const bool exists = attributes != INVALID_FILE_ATTRIBUTES;
    // The directory ends in its separator or the drive's colon.
    const std::size_t nameStart = full->find_last_of("\\/:") + 1; // 0 for a bare name
    const std::string directory = full->substr(0, nameStart);
    const std::string target = full->substr(nameStart);
    removeLeftovers(fromUtf8(directory), target);
    std::wstring temporary;
    OwnedHandle file;
    for (unsigned attempt = 0; !file; ++attempt) {
        temporary = fromUtf8(directory + temporaryName(target, GetCurrentProcessId(), attempt));
        file = ownedFile(
            CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!file) {
            const DWORD error = GetLastError();
            if ((error != ERROR_FILE_EXISTS && error != ERROR_ALREADY_EXISTS) || attempt > 100)
                return failure(error);
        }
    }
    if (!writeAll(file.get(), bytes) || !FlushFileBuffers(file.get())) {
        const DWORD error = GetLastError();
        file.reset();
        DeleteFileW(temporary.c_str());
        return failure(error);
    }
    if (exists) {
        FILE_BASIC_INFO basic{}; // times left at zero stay as they are
        basic.FileAttributes = (attributes & kKeptAttributes) | FILE_ATTRIBUTE_ARCHIVE;
        // Where the system will not set them, the new file keeps those it was made with: the save
        // goes on.
        SetFileInformationByHandle(file.get(), FileBasicInfo, &basic, sizeof basic);
    }
    const DWORD error = CloseHandle(file.release()) ? putInPlace(temporary, *name, exists) : GetLastError();
    if (error != ERROR_SUCCESS) {
        DeleteFileW(temporary.c_str());
        return failure(error);
    }
    return {};
}

bool Win32FileSystem::createDirectories(const std::string& path)
{
    const auto name = fullName(path);
    if (!name)
        return false;
    SHCreateDirectoryExW(nullptr, name->c_str(), nullptr); // one already there is as good
    const DWORD attributes = GetFileAttributesW(name->c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool Win32FileSystem::removeFile(const std::string& path)
{
    // DeleteFileW itself takes no pattern, and never deletes a directory; a name with a
    // wildcard is refused here so that no platform layer underneath ever expands it.
    const auto name = systemPath(path);
    return !path.empty() && name && DeleteFileW(name->c_str()) != 0;
}

bool Win32FileSystem::isNormalFile(const std::string& path)
{
    const auto name = systemPath(path);
    if (path.empty() || !name)
        return false;
    const DWORD attributes = GetFileAttributesW(name->c_str());
    const DWORD notNormal =
        FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_DEVICE;
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & notNormal) == 0;
}

std::string Win32FileSystem::currentDirectory()
{
    const auto directory = systemText(GetCurrentDirectoryW);
    // A directory whose name UTF-8 cannot hold is no place to start from: the list starts where
    // the working directory is found, relative to it.
    return (directory ? utf8Name(*directory) : std::nullopt).value_or(".");
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

std::vector<std::string> Win32FileSystem::drives()
{
    std::vector<std::string> roots;
    const DWORD letters = GetLogicalDrives();
    for (char letter = 'A'; letter <= 'Z'; ++letter) {
        if (!(letters & (1u << (letter - 'A'))))
            continue;
        const std::string root = std::string(1, letter) + ":\\";
        // A removable drive may be an empty card reader; a remote one, a network drive given a
        // letter, connected or not.
        const UINT type = GetDriveTypeW(fromUtf8(root).c_str());
        if (type == DRIVE_FIXED || type == DRIVE_REMOVABLE || type == DRIVE_REMOTE || type == DRIVE_RAMDISK)
            roots.push_back(root);
    }
    return roots;
}

TextDecoding Win32FileSystem::textDecoding() const { return {GetACP(), codePageToUtf8, utf8ToCodePage}; }

} // namespace latchsweep::win32
