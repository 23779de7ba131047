#include "app/version/MainWindowTitle.h"

#include <gtest/gtest.h>

#include <string>

#include "app/version/ProgramVersion.h"

namespace {

TEST(MainWindowTitle, NamesMajorMinorAndTheCatalogueSize)
{
    struct Case {
        const wchar_t* product;
        int major;
        int minor;
        std::size_t tweaks;
        const wchar_t* title;
    };
    const Case cases[] = {
        {L"Corvane", 2, 3, 412, L"Corvane 2.3 (412 tweaks)"},
        {L"Corvane", 2, 3, 0, L"Corvane 2.3 (0 tweaks)"},
        {L"Corvane", 10, 0, 1, L"Corvane 10.0 (1 tweaks)"},
        {L"Corvane", 3, 14, 1000000, L"Corvane 3.14 (1000000 tweaks)"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Version::MainWindowTitle(c.product, c.major, c.minor, c.tweaks), c.title);
    }
}

TEST(MainWindowTitle, ThisBuildTakesItsVersionFromTheSetting)
{
    const std::wstring version = Version::kProgramVersion;
    const std::wstring majorMinor = std::to_wstring(Version::kMajor) + L"." + std::to_wstring(Version::kMinor);
    EXPECT_EQ(version, majorMinor + L"." + std::to_wstring(Version::kPatch));
    EXPECT_EQ(Version::MainWindowTitle(7), std::wstring(Version::kProductName) + L" " + majorMinor + L" (7 tweaks)");
}

}  // namespace
