#pragma once

#include "core/base/ports.h"

namespace latchsweep {

class PosixFileSystem : public FileSystem {
public:
    std::optional<std::string> readHead(const std::string& path, std::size_t maxBytes) override;
    WriteStatus replaceFile(const std::string& path, std::string_view bytes) override;
    bool createDirectories(const std::string& path) override;
    bool removeFile(const std::string& path) override;
    bool isNormalFile(const std::string& path) override;
    std::string currentDirectory() override;
    std::optional<std::vector<std::string>> subdirectories(const std::string& dir) override;
    [[nodiscard]] char separator() const override { return '/'; }
    // Names are bytes here, and so is what the files hold: no conversion either way, no mark
    // written.
    [[nodiscard]] TextDecoding textDecoding() const override { return kTextAsItIs; }
};

} // namespace latchsweep
