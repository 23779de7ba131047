// The validator's one repair: a category whose name a later category has too
// gets a new name carrying the time, and the validator waits after each.
#include <gtest/gtest.h>

#include "tests/knobset/KnobsetTesting.h"
#include "utils/Knobset/document/DocumentWriter.h"
#include "utils/Knobset/document/Validator.h"

namespace {

using namespace Knobset;
using KnobsetTesting::Read;

std::vector<std::wstring> NamesOf(const Document& document)
{
    std::vector<std::wstring> names;
    for (const Category& c : document.categories) {
        names.push_back(c.name);
    }
    return names;
}

TEST(CategoryRename, TheFirstOfTwoTwinsGetsANewName)
{
    Document document = Read(
        LR"(<Tweaks><Category n="Filesystem"><Tweak n="a"><File/></Tweak></Category>
      <Category n="Network"/><Category n="Filesystem"/></Tweaks>)");
    KnobsetTesting::SteppingClock clock(1700000000);
    const ValidationReport report = Validate(&document, clock);

    EXPECT_EQ(NamesOf(document), (std::vector<std::wstring>{L"Filesystem!1700000000", L"Network", L"Filesystem"}));
    EXPECT_EQ(clock.waits, (std::vector<uint32_t>{2000}));
    EXPECT_EQ(FormatReport(report),
              L"\nEqual names of categories detected! One of twins name was changed: Filesystem!1700000000");
    ASSERT_EQ(report.renames.size(), 1u);
    EXPECT_EQ(report.renames[0].index, 0u);
    EXPECT_EQ(report.renames[0].oldName, L"Filesystem");
    EXPECT_EQ(report.renames[0].newName, L"Filesystem!1700000000");
    EXPECT_FALSE(report.verdict);

    // The new name is what a save writes, with the category's tweaks.
    const std::wstring written = WriteDocumentText(document);
    EXPECT_NE(written.find(L"<Category n=\"Filesystem!1700000000\""), std::wstring::npos);
    EXPECT_EQ(Read(written).categories[0].tweaks.at(0).name, L"a");
}

TEST(CategoryRename, OfThreeTwinsTheLastKeepsItsNameAndTheNumbersDiffer)
{
    Document document = Read(L"<Tweaks><Category n=\"X\"/><Category n=\"X\"/><Category n=\"X\"/></Tweaks>");
    KnobsetTesting::SteppingClock clock(100);
    const ValidationReport report = Validate(&document, clock);
    EXPECT_EQ(NamesOf(document), (std::vector<std::wstring>{L"X!100", L"X!102", L"X"}));
    EXPECT_EQ(clock.waits, (std::vector<uint32_t>{2000, 2000}));
    EXPECT_EQ(report.findings.size(), 2u);
}

TEST(CategoryRename, ANewNameNeverMakesNewTwins)
{
    // A clock that stands still, and a category already named as the first
    // rename would name it.
    Document document = Read(
        L"<Tweaks><Category n=\"X!100\"/><Category n=\"X\"/><Category n=\"X\"/>"
        L"<Category n=\"X\"/></Tweaks>");
    KnobsetTesting::StoppedClock clock(100);
    Validate(&document, clock);
    EXPECT_EQ(NamesOf(document), (std::vector<std::wstring>{L"X!100", L"X!101", L"X!102", L"X"}));
}

TEST(CategoryRename, LaterChecksSeeTheNewNames)
{
    Document document = Read(
        LR"(<Tweaks><Category n="C"><Tweak n="t"/></Category>
      <Category n="C"><Tweak n="t"><File/></Tweak></Category></Tweaks>)");
    KnobsetTesting::StoppedClock clock(5);
    EXPECT_EQ(FormatReport(Validate(&document, clock)),
              L"\nEqual names of categories detected! One of twins name was changed: C!5"
              L"\nEqual names of tweaks detected! - C!5\\t = C\\t"
              L"\nNo any Item in Tweak: C!5\\t");
}

TEST(CategoryRename, NamesAreComparedExactly)
{
    Document document =
        Read(L"<Tweaks><Category n=\"Files\"/><Category n=\"files\"/><Category n=\"Files \"/></Tweaks>");
    KnobsetTesting::SteppingClock clock(1);
    EXPECT_TRUE(Validate(&document, clock).verdict);
    EXPECT_TRUE(clock.waits.empty());
}

}  // namespace
