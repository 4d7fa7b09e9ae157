#include "core/settings/setting_file.h"

#include "core/base/ports.h"
#include "core/base/product.h"
#include "core/base/virtual_store.h"
#include "core/sweep/data_files.h"

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
    WriteStatus status{false, std::string(kNotText)};
    if (auto bytes = encodeText(line, files.textDecoding())) {
        bytes->append(kLineEnd);
        const std::string target = saveTarget(files, name);
        status = files.replaceFile(target, *bytes);
        // Refused in a folder Windows virtualizes: where it put the original program's files.
        if (const auto copy = saveRefusedTo(files, target, status)) {
            files.createDirectories(copy->substr(0, copy->rfind('\\')));
            status = files.replaceFile(*copy, *bytes);
        }
    }
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
