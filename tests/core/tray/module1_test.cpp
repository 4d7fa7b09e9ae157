#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "fake_platform.h"
#include "tray/module1.h"

namespace latchsweep {
namespace {

using testing::FakeTray;

constexpr WindowHandle kWindow = 0x000A0042;
constexpr std::int32_t kId = 0x2C0105;
constexpr IconHandle kIcon = 0x00010003;

std::string tipOf(const NotifyIconData& record) { return {record.szTip.begin(), record.szTip.end()}; }

TEST(IconRecord, SerialisesToTheEightyEightBytesOfThe32BitPlatform)
{
    FakeTray tray;
    Module1 module(tray);
    module.AddTrayIcon(kWindow, kId, kIcon, "Latchsweep");
    ASSERT_EQ(tray.calls.size(), 1u);

    std::array<std::uint8_t, 88> expected{};
    const std::uint8_t header[24] = {
        88,   0,    0,    0,    // cbSize
        0x42, 0x00, 0x0A, 0x00, // hWnd
        0x05, 0x01, 0x2C, 0x00, // uID
        7,    0,    0,    0,    // uFlags: NIF_MESSAGE | NIF_ICON | NIF_TIP
        0x00, 0x02, 0,    0,    // uCallbackMessage: WM_MOUSEMOVE
        0x03, 0x00, 0x01, 0x00, // hIcon
    };
    std::copy(std::begin(header), std::end(header), expected.begin());
    const std::string tip = "Latchsweep";
    std::copy(tip.begin(), tip.end(), expected.begin() + 24);
    expected[34] = 0;
    std::fill(expected.begin() + 35, expected.end(), ' ');

    EXPECT_EQ(serialize(tray.calls[0].record), expected);
    EXPECT_EQ(std::count(expected.begin() + 24, expected.end(), ' '), 53);
}

TEST(IconRecord, NegativeIdsAndHighHandlesKeepTheirBits)
{
    NotifyIconData record;
    record.uID = -2;
    record.hIcon = 0xFEDCBA98;
    const auto bytes = serialize(record);
    EXPECT_EQ(bytes[8], 0xFE);
    EXPECT_EQ(bytes[11], 0xFF);
    EXPECT_EQ(bytes[20], 0x98);
    EXPECT_EQ(bytes[23], 0xFE);
}

TEST(TipField, ShapedAsTextZeroAndSpaces)
{
    const std::string sixtyThree(63, 'x');
    EXPECT_EQ(tipOf({.szTip = shapeTip(sixtyThree)}), sixtyThree + '\0');

    // Past the limit the text is cut so that the zero byte still fits: the platform reads the
    // field up to it, and a field without one would be read past its end.
    for (const std::size_t length : {64u, 70u, 500u}) {
        const std::string tip(length, 'y');
        EXPECT_EQ(tipOf({.szTip = shapeTip(tip)}), std::string(63, 'y') + '\0') << length;
    }

    EXPECT_EQ(tipOf({.szTip = shapeTip("")}), '\0' + std::string(63, ' '));
}

TEST(TrayOperations, AddAndModifyFillEveryFieldAlike)
{
    FakeTray tray;
    Module1 module(tray);
    module.AddTrayIcon(kWindow, kId, kIcon, "Latchsweep");
    module.ModifyTrayIcon(kWindow + 1, kId, kIcon + 1, "Other");
    ASSERT_EQ(tray.calls.size(), 2u);
    EXPECT_EQ(tray.calls[0].message, kNimAdd);
    EXPECT_EQ(tray.calls[1].message, kNimModify);
    for (const auto& call : tray.calls) {
        EXPECT_EQ(call.record.cbSize, 88u);
        EXPECT_EQ(call.record.uFlags, 7u);
        EXPECT_EQ(call.record.uCallbackMessage, 512u);
        EXPECT_EQ(call.record.uID, kId);
    }
    EXPECT_EQ(tray.calls[1].record.hWnd, kWindow + 1);
    EXPECT_EQ(tray.calls[1].record.hIcon, kIcon + 1);
    EXPECT_EQ(tipOf(tray.calls[1].record).substr(0, 6), std::string("Other") + '\0');
}

TEST(TrayOperations, DeleteChangesOnlyTheIdAndUsesTheWindowOfTheLastAdd)
{
    FakeTray tray;
    Module1 module(tray);
    module.AddTrayIcon(kWindow, kId, kIcon, "Latchsweep");
    const NotifyIconData afterAdd = module.iconData();
    module.DeleteTrayIcon(kId);
    ASSERT_EQ(tray.calls.back().message, kNimDelete);
    EXPECT_EQ(serialize(tray.calls.back().record), serialize(afterAdd));
    EXPECT_TRUE(tray.icons.empty()); // found by the (hWnd, uID) the add stored

    module.DeleteTrayIcon(kId + 7);
    auto expected = afterAdd;
    expected.uID = kId + 7;
    EXPECT_EQ(serialize(module.iconData()), serialize(expected));
}

TEST(TrayOperations, DeleteBeforeAnyAddSendsTheZeroFilledRecordWithTheId)
{
    FakeTray tray;
    Module1 module(tray);
    module.DeleteTrayIcon(kId);
    NotifyIconData expected;
    expected.uID = kId;
    EXPECT_EQ(serialize(tray.calls.back().record), serialize(expected));
}

TEST(TrayOperations, AfterADeleteNeitherModifyNorASecondDeleteBringsAnythingBack)
{
    FakeTray tray;
    Module1 module(tray);
    module.AddTrayIcon(kWindow, kId, kIcon, "Latchsweep");
    module.DeleteTrayIcon(kId);
    module.ModifyTrayIcon(kWindow, kId, kIcon, "Latchsweep");
    module.DeleteTrayIcon(kId);
    EXPECT_TRUE(tray.icons.empty());
    EXPECT_EQ(tray.calls.size(), 4u); // failures are silent and never retried
    EXPECT_FALSE(module.iconShown());
}

TEST(TrayOperations, IconShownFollowsThePlatformsAnswers)
{
    FakeTray tray;
    Module1 module(tray);
    EXPECT_FALSE(module.iconShown());

    tray.isAvailable = false;
    module.AddTrayIcon(kWindow, kId, kIcon, "Latchsweep");
    EXPECT_FALSE(module.iconShown());

    tray.isAvailable = true;
    module.AddTrayIcon(kWindow, kId, kIcon, "Latchsweep");
    EXPECT_TRUE(module.iconShown());

    module.DeleteTrayIcon(kId + 1); // not ours: our icon is still there
    EXPECT_TRUE(module.iconShown());

    tray.icons.clear(); // the notification area restarted and forgot every icon
    module.ModifyTrayIcon(kWindow, kId, kIcon, "Latchsweep");
    EXPECT_FALSE(module.iconShown());

    module.AddTrayIcon(kWindow, kId, kIcon, "Latchsweep");
    module.ModifyTrayIcon(kWindow, kId, kIcon, "Latchsweep");
    EXPECT_TRUE(module.iconShown());
    module.DeleteTrayIcon(kId);
    EXPECT_FALSE(module.iconShown());
}

} // namespace
} // namespace latchsweep
