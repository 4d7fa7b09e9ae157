#pragma once

#include <windows.h>

#include "core/base/ports.h"
#include "win32/app/virtual_store_folders.h"

namespace latchsweep::win32 {

// The file-system port on the Windows API's wide calls: the core's names are UTF-8, the system's
// UTF-16, and a name that is not UTF-8 is refused, never turned into another. The data files'
// text is converted by the core's rule (core/base/text_decoding.h) with the conversions given
// here.
class Win32FileSystem : public FileSystem {
public:
    // A drive without a medium is one that cannot be read: the system never asks the user to
    // insert a disk, whichever file or folder the program reaches for.
    Win32FileSystem() { SetThreadErrorMode(GetThreadErrorMode() | SEM_FAILCRITICALERRORS, nullptr); }

    std::optional<std::string> readHead(const std::string& path, std::size_t maxBytes) override;
    WriteStatus replaceFile(const std::string& path, std::string_view bytes) override;
    bool createDirectories(const std::string& path) override;
    bool removeFile(const std::string& path) override;
    bool isNormalFile(const std::string& path) override;
    std::string currentDirectory() override;
    std::optional<std::vector<std::string>> subdirectories(const std::string& dir) override;
    std::vector<std::string> drives() override;
    [[nodiscard]] char separator() const override { return '\\'; }
    // Text in files is in the system's ANSI code page unless it says otherwise; the system
    // converts both ways.
    [[nodiscard]] TextDecoding textDecoding() const override;
    // Asked of the system once: the folders and the store do not move while the program runs.
    [[nodiscard]] const VirtualStore& virtualStore() const override { return virtualStore_; }

private:
    VirtualStore virtualStore_ = systemVirtualStore();
};

} // namespace latchsweep::win32
