#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/app/form1.h"
#include "core/base/product.h"
#include "core/settings/form3.h"
#include "core/settings/setting_file.h"
#include "core/sweep/data_files.h"
#include "tests/support/fake_views.h"

namespace latchsweep {
namespace {

using namespace std::string_literals;
using testing::FakeProgram;

struct AutoDeleteWindow : ::testing::Test {
    FakeProgram program;
    testing::FakeFileSystem& files = program.platform.files;
    std::vector<testing::ShownMessage>& messages = program.platform.messages.shown;

    Form3& open()
    {
        program.form1().onCommand(Command::OpenAutoDelete);
        return *program.app.form3().get();
    }
    testing::FakeView& view() { return *program.views.newest["Form3"]; }
    bool isOpen() { return program.app.form3().exists(); }
    std::string& saved() { return files.files[std::string(kAutoDeleteFile)]; }
};

TEST_F(AutoDeleteWindow, ThreeStatesAbsentHiddenShown)
{
    EXPECT_FALSE(isOpen());
    Form3& hidden = program.app.form3().obtain();
    EXPECT_FALSE(view().visible);
    saved() = "55\r\n"; // written after the load: a hidden window is not reloaded when shown
    EXPECT_EQ(&open(), &hidden);
    EXPECT_TRUE(view().visible);
    EXPECT_EQ(view().shownText(form3::text1), Form3::kInitialDelay); // no file at the load: the initial text stays
    open();
    EXPECT_EQ(view().showCount, 2); // brought forward, still one window
    hidden.onClose();
    EXPECT_FALSE(isOpen());
    open();
    EXPECT_EQ(view().shownText(form3::text1), "55");
}

TEST_F(AutoDeleteWindow, LoadShowsTheFirst64KiBWithoutTheFinalLineBreak)
{
    const std::pair<std::string, std::string> cases[] = {{" 250 \r\n", " 250 "},
                                                         {"250", "250"},
                                                         {"250\n", "250"},
                                                         {"250\r", "250"},
                                                         {"1\r\n2\r\n", "1\r\n2"},
                                                         {"\r\n3000\r\n", "\r\n3000"},
                                                         {" \r\n3000", " \r\n3000"},
                                                         {"250\r\n\r\n", "250\r\n"},
                                                         {"250\n\r", "250\n"},
                                                         {"", ""},
                                                         {"\r\n", ""},
                                                         {"\x00\x01\xff\xfe"s, "\x00\x01\xff\xfe"s},
                                                         {std::string(50'000'000, '9'), std::string(65536, '9')}};
    for (const auto& [content, shown] : cases) {
        saved() = content;
        open();
        EXPECT_EQ(view().shownText(form3::text1), shown) << content.substr(0, 20);
        program.app.form3().get()->onClose();
    }
}

TEST_F(AutoDeleteWindow, SaveWritesTheTextAsTypedConfirmsAndClosesAndALoadedLineSavesBackTheSameBytes)
{
    for (const std::string text : {"10000", "  250  ", "abc", "", "1e99"}) {
        messages.clear();
        open();
        const WindowView* window = &view();
        view().type(form3::text1, text);
        program.app.form3().get()->save();
        EXPECT_EQ(saved(), text + "\r\n");
        ASSERT_EQ(messages.size(), 1u);
        EXPECT_EQ(messages[0].text, Form3::kSaved);
        EXPECT_EQ(messages[0].title, Form3::kSavedTitle);
        EXPECT_EQ(messages[0].owner, window);
        EXPECT_FALSE(isOpen());
    }
    for (const std::string content : {" 250 \r\n", "\r\n", "x\xff\r\n", "\r\n3000\r\n", "1\r\n2\r\n"}) {
        saved() = content;
        open().save();
        open().save();
        EXPECT_EQ(saved(), content);
    }
}

TEST_F(AutoDeleteWindow, AFailedSaveSaysWhyKeepsTheWindowTheTextAndTheOldFile)
{
    saved() = "2000\r\n";
    Form3& window = open();
    view().type(form3::text1, "500");
    files.failWritesWith = "No space left on device";
    window.save();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].text, saveFailedMessage(kAutoDeleteFile, "No space left on device"));
    EXPECT_EQ(messages[0].title, kAppTitle);
    EXPECT_EQ(messages[0].owner, &view());
    ASSERT_TRUE(isOpen());
    EXPECT_EQ(view().shownText(form3::text1), "500");
    EXPECT_EQ(saved(), "2000\r\n");

    files.failWritesWith.clear();
    window.save();
    EXPECT_EQ(saved(), "500\r\n");
    EXPECT_EQ(messages.back().title, Form3::kSavedTitle);
    EXPECT_FALSE(isOpen());
}

TEST_F(AutoDeleteWindow, AWindowDiscardedWhileTheBoxIsUpIsLeftAlone)
{
    Form3& window = open();
    view().type(form3::text1, "750");
    int created = 0;
    program.platform.messages.whileShown = [&] {
        program.app.form3().get()->onClose();
        program.form1().onCommand(Command::OpenAutoDelete); // a new window in its place
        created = program.views.created;
    };
    window.save();
    EXPECT_EQ(saved(), "750\r\n");
    ASSERT_TRUE(isOpen());
    EXPECT_EQ(view().shownText(form3::text1), "750"); // the new window loaded the saved file
    EXPECT_TRUE(view().visible);
    EXPECT_EQ(program.views.created, created);
}

TEST_F(AutoDeleteWindow, TheCloseBoxDropsTheEdits)
{
    saved() = "2000\r\n";
    open();
    view().type(form3::text1, "1");
    program.app.form3().get()->onClose();
    EXPECT_FALSE(isOpen());
    EXPECT_EQ(saved(), "2000\r\n");
    EXPECT_TRUE(messages.empty());
    EXPECT_EQ(program.app.form3().obtain().text1(), "2000");
}

} // namespace
} // namespace latchsweep
