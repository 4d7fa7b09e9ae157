#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "core/base/product.h"
#include "core/tray/module1.h"
#include "tests/support/fake_platform.h"
#include "tests/support/tray_port_contract.h"

namespace latchsweep {
namespace {

constexpr WindowHandle kWindow = 0x000A0042;
constexpr std::int32_t kId = 0x2C0105;
constexpr IconHandle kIcon = 0x00010003;

std::string tipOf(const NotifyIconData& record) { return {record.szTip.begin(), record.szTip.end()}; }

struct TrayOperations : ::testing::Test {
    testing::FakeTray tray;
    Module1 module{tray};
    void add() { module.AddTrayIcon(kWindow, kId, kIcon, kAppTitle); }
};

TEST_F(TrayOperations, TheRecordIsTheEightyEightBytesOfThe32BitPlatform)
{
    add();
    std::array<std::uint8_t, 88> expected{88,   0,    0,    0,    // cbSize
                                          0x42, 0x00, 0x0A, 0x00, // hWnd
                                          0x05, 0x01, 0x2C, 0x00, // uID
                                          7,    0,    0,    0,    // uFlags: NIF_MESSAGE | NIF_ICON | NIF_TIP
                                          0x00, 0x02, 0,    0,    // uCallbackMessage: WM_MOUSEMOVE
                                          0x03, 0x00, 0x01, 0x00, // hIcon
                                          'L',  'a',  't',  'c',  'h', 's',
                                          'w',  'e',  'e',  'p',  0}; // the tip, its zero byte, then spaces
    std::fill(expected.begin() + 35, expected.end(), ' ');
    EXPECT_EQ(serialize(tray.calls.at(0).record), expected);

    NotifyIconData high; // negative ids and high handles keep their bits
    high.uID = -2;
    high.hIcon = 0xFEDCBA98;
    const auto bytes = serialize(high);
    EXPECT_EQ((std::array{bytes[8], bytes[11], bytes[20], bytes[23]}),
              (std::array<std::uint8_t, 4>{0xFE, 0xFF, 0x98, 0xFE}));
}

TEST(FakeTray, KeepsTheRecordsRulesOfPairsAsEveryPortDoes)
{
    testing::FakeTray tray;
    for (const std::string& violation : trayPortContractViolations(tray, 1, 2, 0x100))
        ADD_FAILURE() << violation;
    EXPECT_TRUE(tray.icons.empty());
}

TEST(TipField, ShapedAsTextZeroAndSpacesCutSoThatTheZeroAlwaysFits)
{
    EXPECT_EQ(tipOf({.szTip = shapeTip(std::string(63, 'x'))}), std::string(63, 'x') + '\0');
    for (const std::size_t length : {64u, 70u, 500u})
        EXPECT_EQ(tipOf({.szTip = shapeTip(std::string(length, 'y'))}), std::string(63, 'y') + '\0') << length;
    EXPECT_EQ(tipOf({.szTip = shapeTip("")}), '\0' + std::string(63, ' '));
}

TEST_F(TrayOperations, AddAndModifyFillEveryFieldAlikeDeleteChangesOnlyTheId)
{
    module.DeleteTrayIcon(kId); // before any add: the zero-filled record with the id
    NotifyIconData zeroed;
    zeroed.uID = kId;
    EXPECT_EQ(serialize(tray.calls.back().record), serialize(zeroed));

    add();
    module.ModifyTrayIcon(kWindow + 1, kId, kIcon + 1, "Other");
    const NotifyIconData& modified = tray.calls.back().record;
    EXPECT_EQ(tray.calls.back().message, kNimModify);
    EXPECT_EQ(modified.cbSize, 88u);
    EXPECT_EQ(modified.uFlags, 7u);
    EXPECT_EQ(modified.uCallbackMessage, 512u);
    EXPECT_EQ(modified.uID, kId);
    EXPECT_EQ(modified.hWnd, kWindow + 1);
    EXPECT_EQ(modified.hIcon, kIcon + 1);
    EXPECT_EQ(tipOf(modified).substr(0, 6), std::string("Other") + '\0');

    add();
    NotifyIconData expected = module.iconData();
    module.DeleteTrayIcon(kId + 7);
    expected.uID = kId + 7;
    EXPECT_EQ(tray.calls.back().message, kNimDelete);
    EXPECT_EQ(serialize(tray.calls.back().record), serialize(expected));
}

TEST_F(TrayOperations, FailuresAreSilentNeverRetriedAndIconShownFollowsThePlatformsAnswers)
{
    EXPECT_FALSE(module.iconShown());
    tray.isAvailable = false;
    add();
    EXPECT_FALSE(module.iconShown());
    tray.isAvailable = true;
    add();
    EXPECT_TRUE(module.iconShown());
    module.DeleteTrayIcon(kId + 1); // not ours: our icon is still there
    EXPECT_TRUE(module.iconShown());
    tray.icons.clear(); // the notification area restarted and forgot every icon
    module.ModifyTrayIcon(kWindow, kId, kIcon, kAppTitle);
    EXPECT_FALSE(module.iconShown());
    add();
    module.ModifyTrayIcon(kWindow, kId, kIcon, kAppTitle);
    EXPECT_TRUE(module.iconShown());
    add(); // refused: the pair is registered, so the icon is still there
    EXPECT_TRUE(module.iconShown());

    module.DeleteTrayIcon(kId);
    EXPECT_TRUE(tray.icons.empty()); // found by the (hWnd, uID) the add stored
    const auto calls = tray.calls.size();
    module.ModifyTrayIcon(kWindow, kId, kIcon, kAppTitle);
    module.DeleteTrayIcon(kId);
    EXPECT_TRUE(tray.icons.empty());
    EXPECT_EQ(tray.calls.size(), calls + 2);
    EXPECT_FALSE(module.iconShown());
}

} // namespace
} // namespace latchsweep
