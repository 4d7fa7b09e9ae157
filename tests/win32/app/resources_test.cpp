// The executable's resources, which every test program carries as latchsweep.exe does: the
// icons, the version record and the manifest that selects common controls 6.

#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "resource_ids.h"
#include "win32_test_support.h"

namespace latchsweep::win32 {
namespace {

#pragma pack(push, 2)
struct IconDirectoryEntry {
    BYTE width;
    BYTE height;
    BYTE colours;
    BYTE reserved;
    WORD planes;
    WORD bitCount;
    DWORD bytes;
    WORD id;
};
struct IconDirectory {
    WORD reserved;
    WORD type;
    WORD count;
    IconDirectoryEntry entries[1];
};
#pragma pack(pop)

// The images an icon resource holds, as width and colour depth.
std::vector<std::pair<int, int>> iconImages(int id)
{
    std::vector<std::pair<int, int>> images;
    HMODULE self = GetModuleHandleA(nullptr);
    HRSRC found = FindResourceA(self, MAKEINTRESOURCEA(id), MAKEINTRESOURCEA(14)); // RT_GROUP_ICON
    if (!found)
        return images;
    const auto* directory = static_cast<const IconDirectory*>(LockResource(LoadResource(self, found)));
    for (WORD i = 0; i < directory->count; ++i) {
        const IconDirectoryEntry& entry = directory->entries[i];
        images.emplace_back(entry.width == 0 ? 256 : entry.width, entry.bitCount);
    }
    return images;
}

TEST(ResourcesTest, IconsHoldTheirImages)
{
    using Images = std::vector<std::pair<int, int>>;
    EXPECT_EQ(iconImages(IDI_LATCHSWEEP), (Images{{32, 4}, {16, 4}}));
    EXPECT_EQ(iconImages(IDI_FRAME1), (Images{{32, 4}}));
    EXPECT_EQ(iconImages(IDI_FRAME2), (Images{{32, 4}}));
    EXPECT_EQ(iconImages(IDI_BINOCULARS), (Images{{32, 4}, {16, 4}}));
    EXPECT_EQ(iconImages(IDI_WASTEBIN), (Images{{32, 4}, {16, 4}}));
    EXPECT_EQ(iconImages(IDI_QUESTION_MARK), (Images{{32, 4}, {32, 4}, {32, 1}}));
    EXPECT_EQ(iconImages(IDI_INFO_SIGN), (Images{{32, 4}, {16, 4}}));
    EXPECT_EQ(iconImages(IDI_PRODUCT), (Images{{32, 4}, {16, 4}}));
}

std::string versionString(const std::vector<char>& block, const char* name)
{
    void* value = nullptr;
    UINT length = 0;
    const std::string path = std::string("\\StringFileInfo\\040904B0\\") + name;
    if (!VerQueryValueA(block.data(), path.c_str(), &value, &length) || length == 0)
        return {};
    return static_cast<const char*>(value);
}

TEST(ResourcesTest, VersionRecordIsUsEnglishOneZeroZeroZero)
{
    char self[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, self, MAX_PATH);
    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeA(self, &ignored);
    ASSERT_GT(size, 0u);
    std::vector<char> block(size);
    ASSERT_TRUE(GetFileVersionInfoA(self, 0, size, block.data()));

    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueA(block.data(), "\\", reinterpret_cast<void**>(&fixed), &length));
    EXPECT_EQ(fixed->dwFileVersionMS, 0x00010000u);
    EXPECT_EQ(fixed->dwFileVersionLS, 0u);
    EXPECT_EQ(fixed->dwProductVersionMS, 0x00010000u);
    EXPECT_EQ(fixed->dwProductVersionLS, 0u);

    EXPECT_EQ(versionString(block, "ProductName"), "Latchsweep");
    EXPECT_EQ(versionString(block, "FileVersion"), "1.00");
    EXPECT_EQ(versionString(block, "ProductVersion"), "1.00");

    WORD* translation = nullptr;
    ASSERT_TRUE(VerQueryValueA(block.data(), "\\VarFileInfo\\Translation", reinterpret_cast<void**>(&translation),
                               &length));
    ASSERT_GE(length, 4u);
    EXPECT_EQ(translation[0], 0x0409);
    EXPECT_EQ(translation[1], 1200);
}

TEST(ResourcesTest, ManifestSelectsCommonControlsSix)
{
    HMODULE self = GetModuleHandleA(nullptr);
    EXPECT_NE(FindResourceA(self, MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(24)), nullptr); // RT_MANIFEST
    // Version 6 is the side-by-side assembly; without the manifest the system's version 5 loads.
    HMODULE comctl = GetModuleHandleA("comctl32.dll");
    ASSERT_NE(comctl, nullptr);
    char path[MAX_PATH] = {};
    GetModuleFileNameA(comctl, path, MAX_PATH);
    std::string lower = path;
    CharLowerA(lower.data());
    EXPECT_NE(lower.find("microsoft.windows.common-controls_6595b64144ccf1df_6."), std::string::npos) << path;
}

} // namespace
} // namespace latchsweep::win32
