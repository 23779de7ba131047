// analyse and list: the reports and their JSON, the progress, and how a bad
// catalogue or a bad command line is told.
#include <gtest/gtest.h>

#include "core/system/OsVersion.h"
#include "core/text/JsonWriter.h"
#include "core/xml/XmlDocument.h"
#include "tests/cli/CliFixture.h"

namespace {

using CliTesting::CliTest;
using CliTesting::Result;

// A small catalogue whose whole report the tests pin down.
constexpr std::string_view kSmallCatalogue =
    "<Tweaks>\n"
    "  <Category n=\"Caf\xC3\xA9 &amp; Tools\" i=\"AQUA.MENU.APPTUNING\">\n"
    "    <Tweak n=\"Quote &quot;this&quot;\" enabled=\"1\" ver=\"WIN_XP\" maxver=\"WIN_11\">\n"
    "      <d>Back\\slash\ttab</d>\n"
    "      <Key parent=\"HKCU\" path=\"@KEY@\" keyname=\"Small\" action=\"KEY_SET\"/>\n"
    "      <Key parent=\"HKCU\" path=\"@KEY@\" keyname=\"Small\" action=\"VALUE_DELETE\" valuename=\"V\"/>\n"
    "    </Tweak>\n"
    "    <Group n=\"Nested\">\n"
    "      <Tweak n=\"Inner\" enabled=\"0\"><File path=\"@FOLDER@\" name=\"x.tmp\" action=\"FILE_DELETE\"/></Tweak>\n"
    "    </Group>\n"
    "  </Category>\n"
    "  <Category n=\"Empty\"></Category>\n"
    "</Tweaks>\n";

class SmallCatalogue : public CliTest {
protected:
    void SetUp() override
    {
        CliTest::SetUp();
        sets_.sets.clear();
        WriteFile(CataloguePath(), Fill(std::string(kSmallCatalogue)));
    }
};

// The expected output reads best as it prints.
// clang-format off
TEST_F(SmallCatalogue, AnalyseJsonNamesTheSystemAndEveryCategoryAndTweak)
{
    const Result r = RunOnCatalogue({L"analyse", L"--json"});
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.err, L"") << "no progress when standard error is no terminal";
    const std::wstring expected =
        L"{\n"
        L"  \"system\": {\n"
        L"    \"code\": " + std::to_wstring(Sys::GetOsVersionCode()) + L",\n"
        L"    \"name\": " + Text::JsonWriter::Quote(Sys::GetOsDisplayName()) + L"\n"
        L"  },\n"
        L"  \"categories\": [\n"
        L"    {\n"
        L"      \"name\": \"Caf\u00e9 & Tools\",\n"
        L"      \"status\": \"part of tweaks were applied\",\n"
        L"      \"statistics\": \"2 in general/1 applied\",\n"
        L"      \"inGeneral\": 2,\n"
        L"      \"applied\": 1,\n"
        L"      \"tweaks\": [\n"
        L"        {\n"
        L"          \"name\": \"Quote \\\"this\\\"\",\n"
        L"          \"groups\": [],\n"
        L"          \"selected\": true,\n"
        L"          \"ver\": \"WIN_XP\",\n"
        L"          \"maxver\": \"WIN_11\",\n"
        L"          \"inEffect\": false,\n"
        L"          \"registryStatus\": [\n"
        L"            \"!K_\",\n"
        L"            \"Y(!K)_\"\n"
        L"          ]\n"
        L"        },\n"
        L"        {\n"
        L"          \"name\": \"Inner\",\n"
        L"          \"groups\": [\n"
        L"            \"Nested\"\n"
        L"          ],\n"
        L"          \"selected\": false,\n"
        L"          \"ver\": \"\",\n"
        L"          \"maxver\": \"\",\n"
        L"          \"inEffect\": true,\n"
        L"          \"registryStatus\": []\n"
        L"        }\n"
        L"      ]\n"
        L"    },\n"
        L"    {\n"
        L"      \"name\": \"Empty\",\n"
        L"      \"status\": \"no selected tweaks for applying\",\n"
        L"      \"statistics\": \"0 in general/0 applied\",\n"
        L"      \"inGeneral\": 0,\n"
        L"      \"applied\": 0,\n"
        L"      \"tweaks\": []\n"
        L"    }\n"
        L"  ]\n"
        L"}\n";
    EXPECT_EQ(r.out, expected);
}
// clang-format on

// The expected output reads best as it prints.
// clang-format off
TEST_F(SmallCatalogue, AnalyseTextShowsProgressLinesThenTheReport)
{
    const Result r = RunOnCatalogue({L"analyse"});
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.out, L"Analysed Caf\u00e9 & Tools\n"
                     L"Analysed Empty\n"
                     L"\n"
                     L"System: " + Sys::GetOsDisplayName() + L"\n"
                     L"\n"
                     L"Caf\u00e9 & Tools: part of tweaks were applied (2 in general/1 applied)\n"
                     L"  [x] not in effect  Quote \"this\"  (!K_ Y(!K)_)\n"
                     L"  Nested:\n"
                     L"    [ ] in effect      Inner\n"
                     L"\n"
                     L"Empty: no selected tweaks for applying (0 in general/0 applied)\n");
    EXPECT_EQ(r.err, L"");
}
// clang-format on

TEST_F(SmallCatalogue, OnATerminalEachCategoryGetsABarDrawnInPlace)
{
    console_.outTerminal = true;
    const Result r = RunOnCatalogue({L"analyse"});
    ASSERT_EQ(r.code, 0) << r.err;
    const std::wstring report = r.out.substr(0, r.out.find(L"\nSystem: "));
    EXPECT_NE(report.find(
                  L"\rCaf\u00e9 & Tools  [--------------------]  0/4\rCaf\u00e9 & Tools  [#####---------------]  1/4"),
              std::wstring::npos)
        << report;
    EXPECT_NE(report.find(L"\rCaf\u00e9 & Tools  [####################]  "), std::wstring::npos) << report;
    EXPECT_NE(report.find(L"\rEmpty         [####################]  10/10\n"), std::wstring::npos)
        << "an empty category counts ten steps: " << report;
    EXPECT_EQ(report.find(L"Analysed"), std::wstring::npos) << "no plain lines on a terminal";

    console_.outTerminal = false;
    console_.errTerminal = true;
    const Result json = RunOnCatalogue({L"analyse", L"--json"});
    ASSERT_EQ(json.code, 0) << json.err;
    EXPECT_EQ(json.out.rfind(L"{\n", 0), 0u) << "standard output holds the document alone";
    EXPECT_NE(json.err.find(L"\rEmpty         [####################]  10/10\n"), std::wstring::npos) << json.err;
}

// The expected output reads best as it prints.
// clang-format off
TEST_F(SmallCatalogue, ListShowsSelectionsAndDescriptionsWithoutAnalysing)
{
    const Result text = RunOnCatalogue({L"list"});
    ASSERT_EQ(text.code, 0) << text.err;
    EXPECT_EQ(text.out,
              L"Caf\u00e9 & Tools:\n"
              L"  [x] Quote \"this\"\n"
              L"  Nested:\n"
              L"    [ ] Inner\n"
              L"\n"
              L"Empty:\n");
    const Result json = RunOnCatalogue({L"list", L"--json"});
    ASSERT_EQ(json.code, 0) << json.err;
    EXPECT_EQ(json.out,
              L"{\n"
              L"  \"categories\": [\n"
              L"    {\n"
              L"      \"name\": \"Caf\u00e9 & Tools\",\n"
              L"      \"tweaks\": [\n"
              L"        {\n"
              L"          \"name\": \"Quote \\\"this\\\"\",\n"
              L"          \"groups\": [],\n"
              L"          \"selected\": true,\n"
              L"          \"ver\": \"WIN_XP\",\n"
              L"          \"maxver\": \"WIN_11\",\n"
              L"          \"description\": \"Back\\\\slash\\ttab\"\n"
              L"        },\n"
              L"        {\n"
              L"          \"name\": \"Inner\",\n"
              L"          \"groups\": [\n"
              L"            \"Nested\"\n"
              L"          ],\n"
              L"          \"selected\": false,\n"
              L"          \"ver\": \"\",\n"
              L"          \"maxver\": \"\",\n"
              L"          \"description\": \"\"\n"
              L"        }\n"
              L"      ]\n"
              L"    },\n"
              L"    {\n"
              L"      \"name\": \"Empty\",\n"
              L"      \"tweaks\": []\n"
              L"    }\n"
              L"  ]\n"
              L"}\n");
}
// clang-format on

TEST_F(CliTest, AnalyseReportsEveryActionKindWithItsStatusCodes)
{
    PrepareMachine();
    const Result r = RunOnCatalogue({L"analyse"});
    ASSERT_EQ(r.code, 0) << r.err;
    for (const wchar_t* line : {
             L"Windows/System: part of tweaks were applied (7 in general/1 applied)\n",
             L"  [x] not in effect  Set values  (!K_ !K_ !K_ !K_ !K_)\n",
             L"  [x] not in effect  Replace a value  (C_)\n",
             L"  [x] not in effect  Delete a value  (V_)\n",
             L"  [ ] not in effect  Make a key  (!K_)\n",
             L"  [x] not in effect  Remove a key  (K_)\n",
             L"  [x] not in effect  Empty a key  (Y_)\n",
             L"  [x] in effect      Already there  (Y(!K)_)\n",
             L"Filesystem: no tweaks were applied (3 in general/0 applied)\n",
             L"  [x] not in effect  Clean temporary files\n",
             L"  [x] not in effect  Notes shortcut\n",
             L"Network/Internet: no selected tweaks for applying (4 in general/0 applied)\n",
             L"  [ ] not in effect  Clear values  (Y_ Y_ Y_ Y_)\n",
             L"  Editors:\n    [ ] not in effect  Editor setting  (!K_)\n",
         }) {
        EXPECT_NE(r.out.find(line), std::wstring::npos) << "missing: " << line << "in:\n" << r.out;
    }
    EXPECT_EQ(r.err, L"");
}

TEST_F(CliTest, WithoutTheOptionTheBuiltInCatalogueIsAnalysed)
{
    sets_.sets[L"Free"] = Resource(L"CLIFREE");
    const Result r = Run({L"analyse", L"--json"});
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_NE(r.out.find(L"\"name\": \"Show file name extensions\""), std::wstring::npos) << r.out;
    EXPECT_EQ(r.out.find(L"Set values"), std::wstring::npos) << "the test catalogue was not asked for";
}

TEST_F(CliTest, TheProgramsOwnSetsAreReadFromItsResources)
{
    settings_.sets = nullptr;
    const Result r = Run({L"list", L"--json"});
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.err, L"") << "the shipped sets load without a problem";
    EXPECT_NE(r.out.find(L"\"name\": \"Windows/System\""), std::wstring::npos);
    EXPECT_NE(r.out.find(L"\"selected\": "), std::wstring::npos) << "with tweaks";
}

TEST_F(CliTest, TheOtherSetsStillMergeIntoTheNamedCatalogue)
{
    const Result r = RunOnCatalogue({L"list"});
    ASSERT_EQ(r.code, 0) << r.err;
    const size_t first = r.out.find(L"[ ] Shared name\n");
    ASSERT_NE(first, std::wstring::npos) << r.out;
    EXPECT_NE(r.out.find(L"[ ] Shared name\n", first + 1), std::wstring::npos) << "Silver adds its own";
    EXPECT_EQ(r.out.find(L"Dropped"), std::wstring::npos) << "a category the catalogue lacks adds nothing";
}

TEST_F(CliTest, AnUnparsableCatalogueIsNamedWithTheXmlErrorText)
{
    const std::string broken = Resource(L"CLIBROKEN");
    WriteFile(CataloguePath(), broken);
    XmlDocument document;
    ASSERT_NE(document.LoadFromUtf8(broken), 0u);
    ASSERT_FALSE(document.GetError().empty());

    for (const wchar_t* command : {L"analyse", L"list", L"tuneup"}) {
        const Result r = RunOnCatalogue({command});
        EXPECT_EQ(r.code, 2) << command;
        EXPECT_EQ(r.err,
                  L"corvane-cli: cannot load the catalogue " + CataloguePath() + L": " + document.GetError() + L"\n")
            << command;
        EXPECT_EQ(r.out, L"") << command;
    }
    EXPECT_TRUE(Journals().empty());
}

TEST_F(CliTest, AMissingOrUndecodableCatalogueIsNamedWithTheReason)
{
    const std::wstring missing = PathOf(L"no such catalogue.xml");
    Result r = Run({L"--catalogue", missing, L"analyse"});
    EXPECT_EQ(r.code, 2);
    EXPECT_EQ(r.err, L"corvane-cli: cannot read the catalogue " + missing + L": it does not exist (error 2)\n");

    WriteFile(CataloguePath(), "<Tweaks>\xff\xfe</Tweaks>");
    r = RunOnCatalogue({L"analyse"});
    EXPECT_EQ(r.code, 2);
    EXPECT_NE(r.err.find(L"cannot load the catalogue " + CataloguePath() + L": "), std::wstring::npos) << r.err;
    EXPECT_NE(r.err.find(L"UTF-8"), std::wstring::npos) << r.err;
}

TEST_F(CliTest, ProblemsOfTheOtherSetsAreWarningsAndTheCommandGoesOn)
{
    sets_.sets[L"Gold"] = "<Tweaks><Category n=\"Filesystem\">";
    const Result r = RunOnCatalogue({L"list"});
    EXPECT_EQ(r.code, 0);
    EXPECT_EQ(r.err.rfind(L"corvane-cli: warning: test set Gold: ", 0), 0u) << r.err;
    EXPECT_NE(r.out.find(L"Set values"), std::wstring::npos);
}

TEST_F(CliTest, UnknownCommandsAndOptionsPrintTheUsage)
{
    struct Case {
        std::vector<std::wstring> args;
        std::wstring error;
    };
    const Case cases[] = {
        {{L"frobnicate"}, L"unknown command \"frobnicate\""},
        {{L"analyse", L"--verbose"}, L"unknown option \"--verbose\" for analyse"},
        {{L"select", L"--json", L"A"}, L"unknown option \"--json\" for select"},
        {{}, L"no command given"},
        {{L"backups"}, L"backups needs list, show, find, restore or delete"},
        {{L"--catalogue"}, L"the option --catalogue needs a file name"},
    };
    for (const Case& c : cases) {
        const Result r = Run(c.args);
        EXPECT_EQ(r.code, 2) << c.error;
        EXPECT_EQ(r.err, L"corvane-cli: " + c.error + L"\n\n" + Cli::UsageText());
        EXPECT_EQ(r.out, L"");
    }
    const Result help = Run({L"--help"});
    EXPECT_EQ(help.code, 0);
    EXPECT_EQ(help.out, Cli::UsageText());
    EXPECT_EQ(Run({L"help"}).out, Cli::UsageText());
}

}  // namespace
