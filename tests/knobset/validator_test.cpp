// The validator's findings: every message with its location, the number
// forms, the order of the checks, and tweaks inside nested groups.
#include <gtest/gtest.h>

#include "tests/knobset/KnobsetTesting.h"
#include "utils/Knobset/document/Validator.h"

namespace {

using namespace Knobset;
using KnobsetTesting::Read;

ValidationReport Validated(std::wstring_view xml)
{
    Document document = Read(xml);
    KnobsetTesting::StoppedClock clock(1700000000);
    return Validate(&document, clock);
}

std::wstring ReportOf(std::wstring_view xml)
{
    return FormatReport(Validated(xml));
}

// One tweak C\T holding one Key with the given attributes and choices.
std::wstring KeyReport(std::wstring_view keyAttributes, std::wstring_view choices = {},
                       std::wstring_view tweakAttributes = {})
{
    std::wstring xml = L"<Tweaks><Category n=\"C\"><Tweak n=\"T\" ";
    xml += tweakAttributes;
    xml += L"><Key ";
    xml += keyAttributes;
    xml += L">";
    if (!choices.empty()) {
        xml += L"<values>" + std::wstring(choices) + L"</values>";
    }
    xml += L"</Key></Tweak></Category></Tweaks>";
    return ReportOf(xml);
}

TEST(Validator, EachKeyCheckHasItsMessageAndLocation)
{
    struct Case {
        const wchar_t* key;
        const wchar_t* choices;
        const wchar_t* report;
    };
    const Case cases[] = {
        {LR"(path="HKLM\Software")", L"",
         LR"(
Propably incorrect path for key Item (can include root directory): C\T\Item0)"},
        {LR"(path="p" valuetype="REG_DWORD" valueval="0x10")", L"",
         LR"(
Incorrect DWORD value for key Item: C\T\Item0)"},
        {LR"(path="")", L"",
         LR"(
No path for key-Item: C\T\Item0)"},
        {LR"(path="p" action="KEY_SET")", L"",
         LR"(
No keyname in Item for registry key action: C\T\Item0)"},
        {LR"(path="p" valuetype="REG_BINARY" valuevalbytelen="0")", L"",
         LR"(
No length in bytes for key Item: C\T)"},
        {LR"(path="p" valuetype="REG_BINARY" valuevalbytelen="4a")", L"",
         LR"(
Incorrect length in bytes for key Item: C\T\Item0)"},
        {LR"(path="p" editable="set")", L"",
         LR"(
No values in set of Key Item: C\T\Item0
No any main in set for Key Item: C\T\Item0)"},
        {LR"(path="p" editable="set")", LR"(<value main="1" action="KEY_SET"/>)",
         LR"(
No keyname in Item for registry key action in item`s set: C\T\Item0)"},
        {LR"(path="p" editable="set" valuetype="REG_DWORD")", LR"(<value main="1" val="x"/>)",
         LR"(
Wrong DWORD value from set for Key Item: C\T\Item0)"},
        {LR"(path="p" editable="set" valuetype="REG_BINARY" valuevalbytelen="2")", LR"(<value main="1" val="AA=="/>)",
         LR"(
Wrong length in bytes of BINARY value from set for Key Item: C\T\Item0)"},
        {LR"(path="p" editable="set")", LR"(<value main="1"/><value main="1"/>)",
         LR"(
More then one main in set for Key Item: C\T\Item0)"},
        {LR"(path="Software\HKLM" keyname="k" action="KEY_SET")", L"", L""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.key);
        EXPECT_EQ(KeyReport(c.key, c.choices), c.report);
    }
}

TEST(Validator, DwordTextsPassAsEightDigitHexOrDigitsOnly)
{
    struct Case {
        const wchar_t* value;
        bool passes;
    };
    const Case cases[] = {
        {L"0x0000ffff", true},  {L"0X0000FFFF", true},   {L"0x0000FfFf", true},
        {L"16", true},          {L"9999999999", true},   {L"", true},
        {L"0x10", false},       {L"-1", false},          {L"1.5", false},
        {L"0x0000fffg", false}, {L"0x000000000", false}, {L" 16", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.value);
        const std::wstring attributes =
            std::wstring(L"path=\"p\" valuetype=\"REG_DWORD\" valueval=\"") + c.value + L"\"";
        EXPECT_EQ(KeyReport(attributes).empty(), c.passes);
        // The same text as a choice's value.
        const std::wstring choice = std::wstring(L"<value main=\"1\" val=\"") + c.value + L"\"/>";
        EXPECT_EQ(KeyReport(L"path=\"p\" valuetype=\"REG_DWORD\" editable=\"set\"", choice).empty(), c.passes);
    }
}

TEST(Validator, ValueChecksApplyOnlyToValueSetOrNoAction)
{
    EXPECT_NE(KeyReport(LR"(path="p" action="" valuetype="REG_DWORD" valueval="x")"), L"");
    EXPECT_NE(KeyReport(LR"(path="p" action="VALUE_SET" valuetype="REG_DWORD" valueval="x")"), L"");
    EXPECT_EQ(KeyReport(LR"(path="p" action="VALUE_DELETE" valuetype="REG_DWORD" valueval="x")"), L"");
    EXPECT_EQ(KeyReport(LR"(path="p" action="VALUE_CLEAR" valuetype="REG_BINARY")"), L"");
    EXPECT_EQ(KeyReport(LR"(path="p" valuetype="REG_DWORD_LITTLE_ENDIAN" valueval="x")"), L"");  // exact type only
    EXPECT_EQ(KeyReport(LR"(path="p" editable="set" valuetype="REG_DWORD")",
                        LR"(<value main="1" action="VALUE_DELETE" val="x"/><value action="VALUE_SET" val="1"/>)"),
              L"");
}

TEST(Validator, ByteLengthsOfKeysAndChoices)
{
    const std::wstring noLength = L"\nNo length in bytes for key Item: C\\T";
    EXPECT_EQ(KeyReport(LR"(path="p" valuetype="REG_BINARY")"), noLength);
    EXPECT_EQ(KeyReport(LR"(path="p" valuetype="REG_BINARY" valuevalbytelen="00")"), L"");
    EXPECT_EQ(KeyReport(LR"(path="p" valuetype="REG_BINARY" valuevalbytelen="16")"), L"");

    const std::wstring key = LR"(path="p" valuetype="REG_BINARY" valuevalbytelen="4" editable="set")";
    const std::wstring wrong = L"\nWrong length in bytes of BINARY value from set for Key Item: C\\T\\Item0";
    EXPECT_EQ(KeyReport(key, LR"(<value main="1" valuevalbytelen="0"/>)"), wrong);
    EXPECT_EQ(KeyReport(key, LR"(<value main="1" valuevalbytelen="x1"/>)"), wrong);
    EXPECT_EQ(KeyReport(key, LR"(<value main="1" valuevalbytelen="00"/>)"), L"");
    EXPECT_EQ(KeyReport(key, LR"(<value main="1" valuevalbytelen="0"/><value valuevalbytelen=""/>)"), wrong + wrong);
}

TEST(Validator, AMissingMainChoiceIsFineForATweakThatIsOffByDefault)
{
    const wchar_t* key = LR"(path="p" editable="set")";
    const wchar_t* choices = LR"(<value val="1"/><value main="0"/>)";
    EXPECT_EQ(KeyReport(key, choices, L"enabled=\"0\""), L"");
    EXPECT_EQ(KeyReport(key, choices, L"enabled=\"1\""), L"\nNo any main in set for Key Item: C\\T\\Item0");
    EXPECT_EQ(KeyReport(key, choices), L"\nNo any main in set for Key Item: C\\T\\Item0");
}

TEST(Validator, ChoiceChecksRunPerChoiceInOrderThenTheMainChecks)
{
    const std::wstring report = KeyReport(LR"(path="p" valuetype="REG_DWORD" editable="set")",
                                          LR"(<value action="KEY_SET" val="x"/><value val="bad"/><value val="1"/>)");
    EXPECT_EQ(report,
              L"\nNo keyname in Item for registry key action in item`s set: C\\T\\Item0"
              L"\nWrong DWORD value from set for Key Item: C\\T\\Item0"
              L"\nNo any main in set for Key Item: C\\T\\Item0");
}

TEST(Validator, SeveralChecksCanFireForOneKeyInTableOrder)
{
    EXPECT_EQ(KeyReport(LR"(path="HKCU\x" action="" valuetype="REG_DWORD" valueval="z")"),
              L"\nPropably incorrect path for key Item (can include root directory): C\\T\\Item0"
              L"\nIncorrect DWORD value for key Item: C\\T\\Item0");
    EXPECT_EQ(KeyReport(LR"(action="KEY_SET")"),
              L"\nNo path for key-Item: C\\T\\Item0\nNo keyname in Item for registry key action: C\\T\\Item0");
}

TEST(Validator, FileAndShortcutItemsAreNeverReported)
{
    const ValidationReport report = Validated(
        LR"(<Tweaks><Category n="C"><Tweak n="T">
      <File path="HKLM" name="" action="nonsense"/><Shortcut/><Key path="HK"/></Tweak></Category></Tweaks>)");
    ASSERT_EQ(report.findings.size(), 1u);
    EXPECT_EQ(report.findings[0].check, Check::PathWithRoot);
    EXPECT_EQ(report.findings[0].location, L"C\\T\\Item2");  // items count from 0, every kind counted
}

TEST(Validator, DuplicateTweaksAreReportedNotRenamed)
{
    Document document = Read(
        LR"(<Tweaks>
      <Category n="A"><Tweak n="T"><Key path="p"/></Tweak><Tweak n="U"><Key path="p"/></Tweak></Category>
      <Category n="B"><Tweak n="T"><Key path="p"/></Tweak><Tweak n="T"><Key path="p"/></Tweak></Category>
    </Tweaks>)");
    KnobsetTesting::StoppedClock clock(0);
    const ValidationReport report = Validate(&document, clock);
    EXPECT_EQ(FormatReport(report),
              L"\nEqual names of tweaks detected! - A\\T = B\\T"
              L"\nEqual names of tweaks detected! - A\\T = B\\T");
    EXPECT_EQ(report.findings[0].message, L"Equal names of tweaks detected! - A\\T = ");
    EXPECT_EQ(report.findings[0].location, L"B\\T");
    EXPECT_EQ(document.categories[1].tweaks[0].name, L"T");
    EXPECT_FALSE(report.verdict);
}

TEST(Validator, AMaxverOlderThanTheVerIsReportedByKeywordOrder)
{
    struct Case {
        const wchar_t* tweak;
        bool reported;
    };
    const Case cases[] = {
        {LR"(ver="WIN_10" maxver="WIN_VISTA7")", true},
        {LR"(ver="WIN_81" maxver="WIN_8")", true},
        {LR"(ver="WIN_VISTA6" maxver="WIN_VISTA7")", false},
        {LR"(ver="WIN_10" maxver="WIN_10")", false},
        {LR"(maxver="WIN_XP")", false},               // no ver: every version up to XP
        {LR"(ver="WIN_32" maxver="WIN_XP")", false},  // WIN_32 is no keyword
        {LR"(ver="WIN_11" maxver="WIN_95")", false},  // nor is WIN_95: no newest version
        {LR"(ver="WIN_11")", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.tweak);
        EXPECT_EQ(
            KeyReport(LR"(path="p")", {}, c.tweak),
            c.reported ? L"\nNewest version (maxver) is older than the oldest version (ver) of Tweak: C\\T" : L"");
    }
}

TEST(Validator, ChecksRunAsPassesOverAllTweaks)
{
    const std::wstring report = ReportOf(
        LR"(<Tweaks><Category n="C">
      <Tweak n="a"><Key path="HK1"/></Tweak>
      <Tweak n="empty"/>
      <Tweak n="a"><Key path="HK2"/></Tweak>
    </Category></Tweaks>)");
    EXPECT_EQ(report,
              L"\nEqual names of tweaks detected! - C\\a = C\\a"
              L"\nNo any Item in Tweak: C\\empty"
              L"\nPropably incorrect path for key Item (can include root directory): C\\a\\Item0"
              L"\nPropably incorrect path for key Item (can include root directory): C\\a\\Item0");
}

TEST(Validator, TweaksInNestedGroupsAreCheckedWithTheirGroupsInTheLocation)
{
    const std::wstring xml =
        LR"(<Tweaks><Category n="C">
      <Tweak n="top"><Key path="p"/></Tweak>
      <Group n="G"><d>about G</d>
        <Tweak n="inner"/>
        <application n="App"><Tweak n="top"><File/><Key path="HKLM\x"/></Tweak></application>
      </Group>
      <Tweak n="last"/>
    </Category></Tweaks>)";
    Document document = Read(xml);
    const Document before = document;
    KnobsetTesting::StoppedClock clock(0);
    const ValidationReport report = Validate(&document, clock);
    EXPECT_EQ(FormatReport(report),
              L"\nEqual names of tweaks detected! - C\\top = C\\G\\App\\top"
              L"\nNo any Item in Tweak: C\\G\\inner"
              L"\nNo any Item in Tweak: C\\last"
              L"\nPropably incorrect path for key Item (can include root directory): C\\G\\App\\top\\Item1");
    EXPECT_EQ(document, before);  // nested groups are only read
}

TEST(Validator, NestingBeyondAnyRealFileIsNotWalked)
{
    std::wstring groups;
    std::wstring ends;
    for (int depth = 1; depth <= 40; ++depth) {
        groups += L"<Group n=\"g\"><Tweak n=\"t" + std::to_wstring(depth) + L"\"/>";
        ends += L"</Group>";
    }
    const ValidationReport report = Validated(L"<Tweaks><Category n=\"C\">" + groups + ends + L"</Category></Tweaks>");
    EXPECT_EQ(report.findings.size(), 32u);                              // one empty tweak per level walked
    EXPECT_EQ(report.findings.back().location.size(), 1 + 32 * 2 + 4u);  // C, 32 times \g, \t32
}

TEST(Validator, ACleanDocumentPasses)
{
    Document document = Read(
        LR"(<Tweaks><Category n="C"><Tweak n="T" enabled="1">
      <Key parent="HKCU" path="Software\x" valuename="v" valuetype="REG_DWORD" valueval="0x00000001" editable="set">
        <values><value main="1" val="1"/><value val="0x0000000A"/></values></Key>
      <Key path="Software\y" keyname="k" action="KEY_SET"/>
      <Key path="Software\z" valuetype="REG_BINARY" valueval="AAA=" valuevalbytelen="2"/>
    </Tweak></Category></Tweaks>)");
    const ValidationReport report = Validate(&document);  // the platform's clock: no rename, no wait
    EXPECT_TRUE(report.verdict);
    EXPECT_TRUE(report.findings.empty());
    EXPECT_EQ(FormatReport(report), L"");

    Document empty;
    EXPECT_TRUE(Validate(&empty).verdict);
}

TEST(Validator, ReportLinesHaveNoLineBreaks)
{
    const ValidationReport report =
        Validated(LR"(<Tweaks><Category n="C"><Tweak n="a"/><Tweak n="b"/></Category></Tweaks>)");
    EXPECT_EQ(ReportLines(report),
              (std::vector<std::wstring>{L"No any Item in Tweak: C\\a", L"No any Item in Tweak: C\\b"}));
}

}  // namespace
