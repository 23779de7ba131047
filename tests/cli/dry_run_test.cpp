// tuneup --dry-run: the list of what a tune-up would change, as text and
// JSON, computed from the analysis; nothing on the machine changes and no
// backup point is kept.
#include <gtest/gtest.h>

#include "tests/cli/CliFixture.h"

namespace {

using CliTesting::CliTest;
using CliTesting::Result;

class CliDryRun : public CliTest {
protected:
    void SetUp() override
    {
        CliTest::SetUp();
        PrepareMachine();
    }
    static size_t Count(const std::wstring& text, const std::wstring& part)
    {
        size_t n = 0;
        for (size_t at = text.find(part); at != std::wstring::npos; at = text.find(part, at + 1)) {
            ++n;
        }
        return n;
    }
};

TEST_F(CliDryRun, ListsTheChangesAndChangesNothing)
{
    const struct {
        std::vector<std::wstring> args;
        std::vector<std::wstring> parts;  // each must appear in the output
        size_t tweaks;                    // how often the per-tweak marker appears
        std::wstring marker;
    } rows[] = {
        {{L"tuneup", L"--dry-run"},
         {L"A tune-up would apply 8 tweaks:\n", L"[Number] REG_DWORD: ", L"(no key) -> 42\n",
          L"Dry run: nothing was changed.\n"},
         8,
         L"\n  "},
        {{L"tuneup", L"--dry-run", L"--json"},
         {L"\"dryRun\": true", L"\"type\": \"REG_DWORD\"", L"\"new\": \"42\"", L"\"kind\": \"file\""},
         8,
         L"\"category\": "},
    };
    for (const auto& row : rows) {
        const CliTesting::MachineState before = Machine();
        const Result r = RunOnCatalogue(row.args);
        ASSERT_EQ(r.code, 0) << r.err;
        EXPECT_EQ(r.err, L"");
        for (const std::wstring& part : row.parts) {
            EXPECT_NE(r.out.find(part), std::wstring::npos) << part << "\n" << r.out;
        }
        // Tweak lines are indented by two blanks, their changes by four.
        EXPECT_EQ(Count(r.out, row.marker) - Count(r.out, row.marker + L"  "), row.tweaks) << r.out;
        EXPECT_EQ(Machine(), before);
        EXPECT_TRUE(Journals().empty());
    }
}

TEST_F(CliDryRun, OptionsThatDoNotGoTogetherAreRefused)
{
    const struct {
        std::vector<std::wstring> args;
        const wchar_t* error;
    } rows[] = {
        {{L"tuneup", L"--json"}, L"tuneup writes JSON only with --dry-run"},
        {{L"tuneup", L"--dry-run", L"--no-backup"}, L"--dry-run excludes --backup and --no-backup"},
        {{L"analyse", L"--dry-run"}, L"unknown option \"--dry-run\" for analyse"},
    };
    for (const auto& row : rows) {
        const CliTesting::MachineState before = Machine();
        const Result r = RunOnCatalogue(row.args);
        EXPECT_NE(r.code, 0);
        EXPECT_NE(r.err.find(row.error), std::wstring::npos) << r.err;
        EXPECT_EQ(Machine(), before);
    }
}

}  // namespace
