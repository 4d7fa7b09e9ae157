#include "core/settings/setting_file.h"

#include "core/base/ports.h"
#include "core/base/product.h"
#include "core/sweep/data_files.h"
#include "core/sweep/virtual_store.h"

namespace latchsweep {

std::optional<std::string> readSettingFile(FileSystem& files, std::string_view name)
{
    const auto bytes = readHeadSeenByLegacyPrograms(files, name, kSettingsReadLimit);
    if (!bytes)
        return std::nullopt;
    return decodeText(*bytes, files.textDecoding());
}

bool writeSettingLine(FileSystem& files, MessageBoxes& messages, const WindowView& window, std::string_view name,
                      std::string_view line)
{
    auto encoded = encodeText(line, files.textDecoding());
    const WriteStatus status = encoded ? files.replaceFile(std::string(name), encoded->append(kLineEnd))
                                       : WriteStatus{false, std::string(kNotText)};
    if (!status.ok)
        messages.show(&window, saveFailedMessage(name, status.reason), kAppTitle);
    return status.ok;
}

std::string saveFailedMessage(std::string_view name, std::string_view reason)
{
    std::string message = "Could not save ";
    message.append(name);
    if (reason.empty())
        return message + ".";
    return message.append(": ").append(reason);
}

} // namespace latchsweep
