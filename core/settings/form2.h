#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "core/base/layout.h"
#include "core/base/window.h"
#include "core/base/window_context.h"
#include "core/settings/directory_list.h"
#include "core/settings/settings_presenter.h"

namespace latchsweep {

// The game directory window as a front end draws it. Its events go to Form2: an entry of
// MM2Dir opened (double-click or Enter) to openDirectory(), a click on Command1 to save(), the
// close box to onClose().
class Form2View : public WindowView {
public:
    // MM2Dir: the entries in order; the one at `current` is the list's value.
    virtual void showDirectories(const std::vector<DirectoryEntry>& entries, std::size_t current) = 0;
    // curmm2dir: the text shown; may hold several lines, each but the last ending in LF, and any
    // bytes the file held.
    virtual void setCurmm2dir(const std::string& text) = 0;
};

// The game directory window: shows the stored lock-file path and stores a new one built from
// the directory chosen in its list.
class Form2 : public SettingsPresenter<Form2View> {
public:
    static constexpr std::string_view kNoDirectory = "No MM2 Directory Currently Set!";
    static constexpr std::string_view kSaved = "Midtown Madness 2 Directory Saved";
    static constexpr std::string_view kSavedTitle = "Success";

    using MakeView = latchsweep::MakeView<Form2View, Form2>;

    Form2(const WindowContext& context, const MakeView& makeView);

    // Lists the working directory and shows the content of Directory.txt.
    void load();

    // Events of the window.
    void openDirectory(std::size_t index); // MM2Dir
    void save();                           // Command1

    // Each button and the handler a click on it runs.
    static std::span<const ButtonCommand<Form2>> buttons();
    void onClose(); // close box: discards the window unsaved

    [[nodiscard]] const DirectoryList& MM2Dir() const { return MM2Dir_; }

    // The line Save stores for a directory: the directory, the separator and MM2.LOCK. Nothing
    // is elided, so a root gives a doubled separator ("C:\\MM2.LOCK").
    static std::string lockFilePath(std::string_view directory, char separator);

private:
    void showStoredPath();

    DirectoryList MM2Dir_;
};

// The game directory window's geometry and texts.
const WindowLayout& form2Layout();

} // namespace latchsweep
