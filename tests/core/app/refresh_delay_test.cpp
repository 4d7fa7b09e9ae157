#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "core/app/application.h"
#include "core/app/form1.h"
#include "core/settings/form3.h"
#include "tests/support/fake_views.h"

// The delay refresher: once a second while the sweeper is on, the application carries the text
// of Form3's delay box over to the period of Form1's Timer2 (Application::refreshDelay).

namespace latchsweep {
namespace {

using testing::FakeProgram;

// A fresh run on the virtual clock; Timer2's sweeps show as attempts to delete the lock file.
struct FreshRun {
    FakeProgram program;
    testing::FakeFileSystem& files = program.platform.files;
    testing::VirtualClock& clock = program.platform.clock;

    FreshRun() { files.files["Directory.txt"] = "/games/mm2/MM2.LOCK\r\n"; }
    std::int32_t period() { return program.form1().Timer2().interval(); }
    std::size_t sweeps() { return files.removeAttempts.size(); }
    testing::FakeView& form3View() { return *program.views.newest["Form3"]; }
};

struct Refresher : ::testing::Test, FreshRun {};

TEST(RefresherFirstTick, AppliesTheSavedDelayOrRefusesItSilently)
{
    // What the refresher adds to the conversion (whose own cases are parseDelay's): a missing file
    // leaves the box's "10000"; the timer refuses -5 and &HFFFFFFFF (-1); the box holds the file
    // without its final line break, and the line breaks around the number are skipped.
    const std::vector<std::pair<std::optional<std::string>, std::int32_t>> cases = {
        {std::nullopt, 10000}, {"250\r\n", 250}, {"-5\r\n", 6000},       {"&HFFFFFFFF\r\n", 6000},
        {"0\r\n", 0},          {"", 6000},       {"\r\n3000\r\n", 3000}, {"1\r\n2\r\n", 6000}};
    for (const auto& [saved, expected] : cases) {
        SCOPED_TRACE("AutoDelete.txt: " + saved.value_or("(missing)").substr(0, 20));
        FreshRun run;
        if (saved)
            run.files.files["AutoDelete.txt"] = *saved;
        run.program.form1().turnOn();
        run.clock.advance(1000);
        EXPECT_EQ(run.period(), expected);
        EXPECT_TRUE(run.program.platform.messages.shown.empty());
    }
}

TEST_F(Refresher, AnUnchangedPeriodKeepsTheSweepersCountdownAndAZeroOneStopsTheSweeps)
{
    files.files["AutoDelete.txt"] = "3000\r\n";
    program.form1().turnOn();
    clock.advance(3999); // period set to 3000 at 1 s; ticks at 2 s and 3 s assign it again
    EXPECT_EQ(sweeps(), 0u);
    clock.advance(1);
    EXPECT_EQ(sweeps(), 1u);
    clock.advance(6000);
    EXPECT_EQ(sweeps(), 3u);

    form3View().type(form3::text1, "0");
    clock.advance(60'000);
    EXPECT_EQ(sweeps(), 3u);
    EXPECT_TRUE(program.form1().Timer2().enabled());
    form3View().type(form3::text1, "500");
    clock.advance(1500); // the tick at 71 s sets 500
    EXPECT_EQ(sweeps(), 4u);
}

TEST_F(Refresher, UnsavedEditsApplyAndClosingRestoresTheSavedValue)
{
    files.files["AutoDelete.txt"] = "2000\r\n";
    program.form1().turnOn();
    clock.advance(1000);
    program.form1().onCommand(Command::OpenAutoDelete);
    for (const auto& [typed, expected] : {std::pair{"7", 7}, {"750", 750}, {"75x", 750}}) {
        form3View().type(form3::text1, typed); // "7" is the first digit on the way to a longer number
        clock.advance(1000);
        EXPECT_EQ(period(), expected) << typed;
    }
    program.app.form3().get()->onClose();
    clock.advance(1000);
    EXPECT_EQ(period(), 2000);
    EXPECT_EQ(form3View().shownText(form3::text1), "2000");
    EXPECT_FALSE(form3View().visible);
    EXPECT_EQ(files.files["AutoDelete.txt"], "2000\r\n");
}

TEST_F(Refresher, ASaveAppliesWhileTheConfirmationIsUpAndAfterTheWindowCloses)
{
    program.form1().turnOn();
    program.form1().onCommand(Command::OpenAutoDelete);
    form3View().type(form3::text1, "1500");
    program.platform.messages.whileShown = [&] { clock.advance(1000); };
    program.app.form3().get()->save();
    EXPECT_EQ(period(), 1500);
    EXPECT_FALSE(program.app.form3().exists());
    program.platform.messages.whileShown = nullptr;
    clock.advance(1000); // a fresh hidden window reads the saved file
    EXPECT_EQ(period(), 1500);
    EXPECT_EQ(form3View().shownText(form3::text1), "1500");
}

TEST_F(Refresher, OffLeavesTheWindowAloneAndOnAgainDoesNotReload)
{
    program.form1().turnOn();
    clock.advance(1000);
    program.form1().turnOff();
    const int created = program.views.created;
    form3View().type(form3::text1, "400");
    files.files["AutoDelete.txt"] = "9000\r\n";
    clock.advance(10'000);
    EXPECT_EQ(period(), 10000);
    program.form1().turnOn();
    clock.advance(1000);
    EXPECT_EQ(period(), 400);
    EXPECT_EQ(program.views.created, created);
}

} // namespace
} // namespace latchsweep
