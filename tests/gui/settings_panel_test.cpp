// The settings panel's model: its groups and captions, the boxes filled from
// the stored settings, and "OK" storing every box (the Protection boxes too,
// switching the guard) with failures reported by name.
#include <gtest/gtest.h>

#include "gui/SettingsPanelModel.h"
#include "tests/settings/SettingsFixture.h"

#ifndef _WIN32
#include "core/platform/portable/Faults.h"
#endif

namespace Testing {
namespace {

using GUI::SettingsBox;
using GUI::SettingsPanelModel;

TEST(SettingsPanelLayoutTest, TwoGroupsWithTheirBoxesInOrder)
{
    const auto& groups = SettingsPanelModel::Groups();
    ASSERT_EQ(groups.size(), 2u);
    std::vector<std::vector<std::wstring>> captions;
    for (const auto& group : groups) {
        captions.push_back({group.caption});
        for (SettingsBox box : group.boxes) {
            captions.back().push_back(SettingsPanelModel::CaptionOf(box));
        }
    }
    const std::vector<std::vector<std::wstring>> expected = {
        {L"Options", L"Create backup registry", L"Load at Windows startup", L"Show the program at desktop",
         L"Run the analyse at program launching"},
        {L"Protection", L"Startup Guard", L"Browser Guard"},
    };
    EXPECT_EQ(captions, expected);
}

class SettingsPanelTest : public SettingsTest {};

TEST_F(SettingsPanelTest, OkStoresEveryBoxTheProtectionBoxesIncluded)
{
    (void)AppSettings::AtStart(env_);
    SettingsPanelModel model(env_);
    model.Load();
    EXPECT_TRUE(model.Ticked(SettingsBox::CreateBackup)) << "the default";
    EXPECT_FALSE(model.Ticked(SettingsBox::StartupGuard)) << "the default";

    struct Row {
        SettingsBox box;
        bool ticked;
        const wchar_t* value;  // under the settings key; null: the Run value
    };
    const Row rows[] = {
        {SettingsBox::StartupGuard, true, L"EnableStartUpGuard"},
        {SettingsBox::BrowserGuard, true, L"EnableBrowserGuard"},
        {SettingsBox::CreateBackup, false, L"EnableBackup"},
        {SettingsBox::AnalyseAtLaunch, false, L"AnalyseAtLaunch"},
        {SettingsBox::StartupGuard, false, L"EnableStartUpGuard"},
        {SettingsBox::LoadAtStartup, true, nullptr},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(SettingsPanelModel::CaptionOf(row.box));
        model.SetTicked(row.box, row.ticked);
        EXPECT_EQ(model.Apply(), L"");
        if (row.value) {
            EXPECT_EQ(StoredDword(row.value), row.ticked ? 1 : 0);
        } else {
            uint32_t type = 0;
            std::vector<uint8_t> data;
            EXPECT_EQ(ReadValue(L"Run", L"Corvane", &type, &data), Err::Success);
        }
        SettingsPanelModel reopened(env_);
        reopened.Load();
        EXPECT_EQ(reopened.Options(), model.Options()) << "shown again as stored";
    }
    EXPECT_EQ(guard_.calls, (std::vector<bool>{true, false})) << "the guard follows its box at once";
}

#ifndef _WIN32
TEST_F(SettingsPanelTest, ABoxThatCannotBeSavedIsNamedToTheUser)
{
    using Platform::Portable::FaultSubject;
    using Platform::Portable::Operation;
    (void)AppSettings::AtStart(env_);
    SettingsPanelModel model(env_);
    model.Load();
    model.SetTicked(SettingsBox::StartupGuard, true);
    Portable().Faults().FailWhen(
        Operation::SetValue, [](const FaultSubject& s) { return s.name == L"EnableStartUpGuard"; }, Err::AccessDenied);
    EXPECT_EQ(model.Apply(), L"Some settings could not be saved.\n\nStartup Guard");
    Portable().Faults().Clear();
    SettingsPanelModel reopened(env_);
    reopened.Load();
    EXPECT_FALSE(reopened.Ticked(SettingsBox::StartupGuard)) << "the panel shows what is stored, not what was wished";
}
#endif

}  // namespace
}  // namespace Testing
