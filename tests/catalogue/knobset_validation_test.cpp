// The tweak files the program ships in the tweak-file editor: its validator
// finds nothing to report, so a user who opens one sees no warning, and
// saving one changes nothing a reader of tweak files sees.
#include <gtest/gtest.h>

#include <string>

#include "tests/catalogue/ShippedData.h"
#include "tests/knobset/KnobsetTesting.h"
#include "utils/Knobset/document/DocumentReader.h"
#include "utils/Knobset/document/DocumentWriter.h"
#include "utils/Knobset/document/Validator.h"

namespace {

void ExpectNoFinding(const std::string& utf8, const std::string& what)
{
    Knobset::Document document;
    std::wstring error;
    ASSERT_EQ(0u, Knobset::ReadDocumentFromUtf8(utf8, &document, &error)) << what << ": " << Shipped::Narrow(error);
    // None is expected, but a duplicate category must not make the test wait.
    KnobsetTesting::StoppedClock clock(1700000000);
    const Knobset::ValidationReport report = Knobset::Validate(&document, clock);
    EXPECT_TRUE(report.verdict) << what;
    for (const std::wstring& line : Knobset::ReportLines(report)) {
        ADD_FAILURE() << what << ": " << Shipped::Narrow(line);
    }
}

TEST(ShippedFilesInKnobset, TheValidatorFindsNothingInTheTweakSets)
{
    for (const Shipped::TweakSet& set : Shipped::kSets) {
        ExpectNoFinding(Shipped::SetText(set), Shipped::Narrow(set.name));
    }
}

TEST(ShippedFilesInKnobset, TheStarterUserFileIsANewKnobsetDocument)
{
    ExpectNoFinding(Shipped::SourceFile("resources/tweaks/tweaks.xml"), "tweaks.xml");
}

void ExpectSameAfterSaving(const std::string& utf8, const std::string& what)
{
    std::wstring text;
    ASSERT_EQ(0u, Text::Utf8ToWide(utf8, &text)) << what;
    const Knobset::Document document = KnobsetTesting::Read(text);
    const std::wstring written = Knobset::WriteDocumentText(document);
    EXPECT_EQ(KnobsetTesting::ParsedView::Of(written), KnobsetTesting::ParsedView::Of(text)) << what;
    EXPECT_EQ(Knobset::WriteDocumentText(KnobsetTesting::Read(written)), written) << what;
}

TEST(ShippedFilesInKnobset, SavingEveryShippedFileKeepsItAsParsed)
{
    for (const Shipped::TweakSet& set : Shipped::kSets) {
        ExpectSameAfterSaving(Shipped::SetText(set), Shipped::Narrow(set.name));
    }
    ExpectSameAfterSaving(Shipped::SourceFile("resources/tweaks/tweaks.xml"), "tweaks.xml");
}

}  // namespace
