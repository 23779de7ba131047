// select and deselect: Config.xml keeps the selections, a name stands for
// every tweak of that name, and one unknown name changes nothing.
#include <gtest/gtest.h>

#include "core/platform/FileIO.h"
#include "tests/cli/CliFixture.h"

namespace {

using CliTesting::CliTest;
using CliTesting::Result;

class CliSelect : public CliTest {
protected:
    std::string Config()
    {
        std::string bytes;
        EXPECT_EQ(Platform::ReadWholeFile(ConfigPath(), &bytes), 0u);
        return bytes;
    }
};

TEST_F(CliSelect, SelectionsAreSavedToConfigXmlAndHoldOnTheNextRun)
{
    Result r = RunOnCatalogue({L"select", L"Make a key", L"Editor setting"});
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.out, L"Selected: Make a key\nSelected: Editor setting\n");
    EXPECT_EQ(r.err, L"");
    r = RunOnCatalogue({L"deselect", L"Set values"});
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.out, L"Deselected: Set values\n");

    const std::string config = Config();
    EXPECT_NE(config.find("<Tweak n=\"Make a key\" enabled=\"1\""), std::string::npos) << config;
    EXPECT_NE(config.find("<Tweak n=\"Editor setting\" enabled=\"1\""), std::string::npos) << config;
    EXPECT_NE(config.find("<Tweak n=\"Set values\" enabled=\"0\""), std::string::npos) << config;
    EXPECT_EQ(SelectionsOf(L"Make a key"), std::vector<bool>{true});
    EXPECT_EQ(SelectionsOf(L"Editor setting"), std::vector<bool>{true}) << "tweaks in nested groups too";
    EXPECT_EQ(SelectionsOf(L"Set values"), std::vector<bool>{false});
    EXPECT_EQ(SelectionsOf(L"Delete a value"), std::vector<bool>{true}) << "the others keep the file's choice";
}

TEST_F(CliSelect, ANameListedInSeveralSetsChangesEveryTweakOfThatName)
{
    ASSERT_EQ(SelectionsOf(L"Shared name"), (std::vector<bool>{false, false}));
    const Result r = RunOnCatalogue({L"select", L"Shared name"});
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.out, L"Selected: Shared name (2 tweaks of that name)\n");
    EXPECT_EQ(SelectionsOf(L"Shared name"), (std::vector<bool>{true, true}));
}

TEST_F(CliSelect, OneUnknownNameChangesNothing)
{
    ASSERT_EQ(RunOnCatalogue({L"list"}).code, 0);  // Config.xml exists from here on
    const std::string before = Config();
    const Result r = RunOnCatalogue({L"select", L"Make a key", L"No such tweak", L"Shared name", L"Nor this"});
    EXPECT_EQ(r.code, 2);
    EXPECT_EQ(r.err,
              L"corvane-cli: no tweak named \"No such tweak\" in the catalogue; nothing was changed\n"
              L"corvane-cli: no tweak named \"Nor this\" in the catalogue\n");
    EXPECT_EQ(r.out, L"");
    EXPECT_EQ(Config(), before);
    EXPECT_EQ(SelectionsOf(L"Make a key"), std::vector<bool>{false});
    EXPECT_EQ(SelectionsOf(L"Shared name"), (std::vector<bool>{false, false}));
}

TEST_F(CliSelect, NamesAreExactAndMayStartWithADashAfterTheDoubleDash)
{
    EXPECT_EQ(RunOnCatalogue({L"select", L"make a key"}).code, 2) << "letter case counts";
    EXPECT_EQ(RunOnCatalogue({L"select", L"Make a key "}).code, 2);
    const Result r = RunOnCatalogue({L"select", L"--", L"-Make a key"});
    EXPECT_EQ(r.code, 2);
    EXPECT_EQ(r.err, L"corvane-cli: no tweak named \"-Make a key\" in the catalogue; nothing was changed\n");
}

}  // namespace
