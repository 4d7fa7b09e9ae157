#include "core/settings/setting_file.h"

#include "core/base/ports.h"
#include "core/base/product.h"
#include "core/sweep/data_files.h"
#include "core/sweep/virtual_store.h"

namespace latchsweep {

std::optional<std::string> readSettingFile(FileSystem& files, std::string_view name)
{
    return readHeadSeenByLegacyPrograms(files, name, kSettingsReadLimit);
}

bool writeSettingLine(FileSystem& files, MessageBoxes& messages, const WindowView& window, std::string_view name,
                      std::string_view line)
{
    std::string bytes;
    bytes.reserve(line.size() + kLineEnd.size());
    bytes.append(line).append(kLineEnd);
    const WriteStatus status = files.replaceFile(std::string(name), bytes);
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
