// The tweak-file editor's validator finds nothing to report in any tweak file
// the program ships, so a user who opens one in Knobset sees no warning.
#include <gtest/gtest.h>

#include <string>

#include "tests/catalogue/ShippedData.h"
#include "utils/Knobset/document/DocumentReader.h"
#include "utils/Knobset/document/Validator.h"

namespace {

// Duplicate categories would be renamed with a pause; none are expected, and
// the test must not wait if one appears.
class NoWaitClock final : public Knobset::IRenameClock {
public:
    uint64_t SecondsSince1970() override { return 1700000000; }
    void Wait(uint32_t) override {}
};

void ExpectNoFinding(const std::string& utf8, const std::string& what)
{
    Knobset::Document document;
    std::wstring error;
    ASSERT_EQ(0u, Knobset::ReadDocumentFromUtf8(utf8, &document, &error)) << what << ": " << Shipped::Narrow(error);
    NoWaitClock clock;
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

}  // namespace
