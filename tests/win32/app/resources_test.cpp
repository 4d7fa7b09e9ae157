// The executable's resources, which every test program carries as latchsweep.exe does.

#include <windows.h>
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "resources/version.h"
#include "tests/win32/support/win32_test_support.h"
#include "win32/resource_ids.h"

namespace latchsweep::win32 {
namespace {

using Images = std::vector<std::pair<int, int>>; // width and colour depth

// The images of an icon group resource: a 6-byte header with the count at 4, then 14-byte
// entries with the width at 0 (0 for 256) and the colour depth at 6.
Images iconImages(int id)
{
    Images images;
    HMODULE self = GetModuleHandleA(nullptr);
    if (HRSRC found = FindResourceA(self, MAKEINTRESOURCEA(id), MAKEINTRESOURCEA(14))) { // RT_GROUP_ICON
        const auto* group = static_cast<const BYTE*>(LockResource(LoadResource(self, found)));
        for (int i = 0; i < *reinterpret_cast<const WORD*>(group + 4); ++i) {
            const BYTE* entry = group + 6 + 14 * i;
            images.emplace_back(entry[0] ? entry[0] : 256, *reinterpret_cast<const WORD*>(entry + 6));
        }
    }
    return images;
}

TEST(ResourcesTest, IconsHoldTheirImages)
{
    const Images small{{32, 4}, {16, 4}};
    const std::pair<int, Images> icons[] = {{IDI_LATCHSWEEP, small}, {IDI_FRAME1, {{32, 4}}},
                                            {IDI_FRAME2, {{32, 4}}}, {IDI_BINOCULARS, small},
                                            {IDI_WASTEBIN, small},   {IDI_INFO_SIGN, small},
                                            {IDI_PRODUCT, small},    {IDI_QUESTION_MARK, {{32, 4}, {32, 4}, {32, 1}}}};
    for (const auto& [id, images] : icons)
        EXPECT_EQ(iconImages(id), images) << id;
}

TEST(ResourcesTest, VersionRecordIsUsEnglishOneZeroZeroZero)
{
    char self[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, self, MAX_PATH);
    DWORD ignored = 0;
    std::vector<char> block(GetFileVersionInfoSizeA(self, &ignored));
    ASSERT_FALSE(block.empty());
    ASSERT_TRUE(GetFileVersionInfoA(self, 0, static_cast<DWORD>(block.size()), block.data()));
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueA(block.data(), "\\", reinterpret_cast<void**>(&fixed), &length));
    EXPECT_EQ(fixed->dwFileVersionMS, 0x00010000u);
    EXPECT_EQ(fixed->dwFileVersionLS, 0u);
    EXPECT_EQ(fixed->dwProductVersionMS, 0x00010000u);
    EXPECT_EQ(fixed->dwProductVersionLS, 0u);
    for (const auto& [name, expected] :
         {std::pair{"ProductName", LATCHSWEEP_PRODUCT_NAME}, std::pair{"FileVersion", LATCHSWEEP_VERSION_TEXT},
          std::pair{"ProductVersion", LATCHSWEEP_VERSION_TEXT}}) {
        void* value = nullptr;
        const std::string path = std::string("\\StringFileInfo\\040904B0\\") + name;
        ASSERT_TRUE(VerQueryValueA(block.data(), path.c_str(), &value, &length) && length > 0) << name;
        EXPECT_STREQ(static_cast<const char*>(value), expected);
    }
    WORD* translation = nullptr;
    ASSERT_TRUE(
        VerQueryValueA(block.data(), "\\VarFileInfo\\Translation", reinterpret_cast<void**>(&translation), &length));
    ASSERT_GE(length, 4u);
    EXPECT_EQ(translation[0], 0x0409);
    EXPECT_EQ(translation[1], 1200);
}

TEST(ResourcesTest, ManifestNamesTheProgramAndTheVersionOfTheVersionRecord)
{
    HMODULE self = GetModuleHandleA(nullptr);
    HRSRC found = FindResourceA(self, MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(24)); // RT_MANIFEST
    ASSERT_NE(found, nullptr);
    const std::string manifest(static_cast<const char*>(LockResource(LoadResource(self, found))),
                               SizeofResource(self, found));
    const std::string identity = std::string("<assemblyIdentity type=\"win32\" name=\"") + LATCHSWEEP_PRODUCT_NAME +
                                 "\" version=\"" + LATCHSWEEP_VERSION_STRING + "\"";
    EXPECT_NE(manifest.find(identity), std::string::npos) << manifest.substr(0, 300);
    EXPECT_NE(manifest.find("version=\"1.0.0.0\""), std::string::npos);
    EXPECT_EQ(manifest.find('@'), std::string::npos) << "a placeholder left unfilled";
}

TEST(ResourcesTest, ManifestSelectsCommonControlsSix)
{
    EXPECT_NE(FindResourceA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(24)), nullptr);
    // Version 6 is the side-by-side assembly; without the manifest the system's version 5 loads.
    HMODULE comctl = GetModuleHandleA("comctl32.dll");
    ASSERT_NE(comctl, nullptr);
    char path[MAX_PATH] = {};
    GetModuleFileNameA(comctl, path, MAX_PATH);
    std::string lower = path;
    CharLowerA(lower.data());
    EXPECT_NE(lower.find("microsoft.windows.common-controls_6595b64144ccf1df_6."), std::string::npos) << path;
}

TEST(ResourcesTest, ManifestMakesTheProgramAwareOfEachMonitorsDpi)
{
    // Per monitor (version 2 on Windows 10 1703 and later; Wine 8 gives version 1), where a
    // system-aware program would be 1. Looked up by name: older systems have neither function.
    HMODULE user32 = GetModuleHandleA("user32.dll");
    using GetContext = HANDLE(WINAPI*)();
    using AwarenessOf = int(WINAPI*)(HANDLE);
    const auto current =
        reinterpret_cast<GetContext>(reinterpret_cast<void*>(GetProcAddress(user32, "GetThreadDpiAwarenessContext")));
    const auto awareness = reinterpret_cast<AwarenessOf>(
        reinterpret_cast<void*>(GetProcAddress(user32, "GetAwarenessFromDpiAwarenessContext")));
    ASSERT_TRUE(current && awareness);
    EXPECT_EQ(awareness(current()), 2); // DPI_AWARENESS_PER_MONITOR_AWARE
}

} // namespace
} // namespace latchsweep::win32
