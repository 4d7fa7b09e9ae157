#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "core/base/layout.h"
#include "core/base/window.h"
#include "core/base/window_context.h"
#include "core/settings/directory_list.h"
#include "core/settings/settings_presenter.h"

namespace latchsweep {

namespace form2 {
inline constexpr ControlId MM2Dir{"MM2Dir"};
inline constexpr ControlId Command1{"Command1"};
inline constexpr ControlId Label1{"Label1"};
inline constexpr ControlId curmm2dir{"curmm2dir"};
} // namespace form2

// The game directory window: shows the stored lock-file path and stores a new one built from
// the directory chosen in its list.
class Form2 : public SettingsForm {
public:
    static constexpr std::string_view kNoDirectory = "No MM2 Directory Currently Set!";
    static constexpr std::string_view kSaved = "Midtown Madness 2 Directory Saved";
    static constexpr std::string_view kSavedTitle = "Success";

    explicit Form2(const WindowContext& context);

    // Lists the working directory and shows the content of Directory.txt.
    void load() override;

    void onOpen(ControlId list, std::size_t entry) override; // MM2Dir: the entry becomes the value
    void onClick(ControlId button) override;                 // Command1: save()
    void save();

    [[nodiscard]] const DirectoryList& MM2Dir() const { return MM2Dir_; }

    // The line Save stores for a directory: the directory, the separator and MM2.LOCK. Nothing
    // is elided, so a root gives a doubled separator ("C:\\MM2.LOCK").
    static std::string lockFilePath(std::string_view directory, char separator);

private:
    void showStoredPath();

    DirectoryList MM2Dir_;
};

// The game directory window's description.
const WindowLayout& form2Layout();

} // namespace latchsweep
