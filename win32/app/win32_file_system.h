#pragma once

#include "core/base/ports.h"
#include "win32/app/virtual_store_folders.h"

namespace latchsweep::win32 {

// The file-system port on the Windows API, ANSI throughout: names are in the system's code page,
// as the program's data files hold them.
class Win32FileSystem : public FileSystem {
public:
    std::optional<std::string> readHead(const std::string& path, std::size_t maxBytes) override;
    WriteStatus replaceFile(const std::string& path, std::string_view bytes) override;
    bool removeFile(const std::string& path) override;
    bool isNormalFile(const std::string& path) override;
    std::string currentDirectory() override;
    std::optional<std::vector<std::string>> subdirectories(const std::string& dir) override;
    [[nodiscard]] char separator() const override { return '\\'; }
    // Single-byte text is in the system's ANSI code page unless it names its own.
    [[nodiscard]] TextDecoding textDecoding() const override;
    // Asked of the system once: the folders and the store do not move while the program runs.
    [[nodiscard]] const VirtualStore& virtualStore() const override { return virtualStore_; }

private:
    VirtualStore virtualStore_ = systemVirtualStore();
};

} // namespace latchsweep::win32
