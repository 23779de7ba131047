// tuneup: analyse first, run only when something selected is pending, keep a
// backup point as EnableBackup or the options say, and tell what stayed not
// in effect.
#include <gtest/gtest.h>

#include "tests/cli/CliFixture.h"

namespace {

using CliTesting::CliTest;
using CliTesting::Result;
using JournalTesting::ValueState;

std::vector<uint8_t> Dword(uint32_t v)
{
    return {static_cast<uint8_t>(v), static_cast<uint8_t>(v >> 8), static_cast<uint8_t>(v >> 16),
            static_cast<uint8_t>(v >> 24)};
}

class CliTuneUp : public CliTest {
protected:
    void SetUp() override
    {
        CliTest::SetUp();
        PrepareMachine();
    }
    bool Contains(const std::wstring& text, const std::wstring& part) { return text.find(part) != std::wstring::npos; }
};

TEST_F(CliTuneUp, AppliesTheSelectedTweaksAndKeepsABackupPointWhenTheSettingIsAbsent)
{
    const Result r = RunOnCatalogue({L"tuneup"});
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.err, L"");
    const std::vector<std::wstring> journals = Journals();
    ASSERT_EQ(journals.size(), 1u);
    EXPECT_TRUE(Contains(r.out, L"Tuning up 8 tweaks, keeping a backup point...\n")) << r.out;
    EXPECT_TRUE(Contains(r.out, L"Tuned up Windows/System\n")) << r.out;
    EXPECT_TRUE(Contains(r.out, L"\nBackup point: " + BackupFolder() + journals.front() + L"\n")) << r.out;
    EXPECT_TRUE(Contains(r.out, L"\nA restart of Windows may be needed for the changes to take effect.\n")) << r.out;

    const JournalTesting::TreeState keys = JournalTesting::SnapshotTree(ScratchRoot(), MachineKeyPath());
    ASSERT_EQ(keys.count(L"Values"), 1u);
    const auto& values = keys.at(L"Values");
    EXPECT_EQ(values.at(L"Text"), (ValueState{1, Testing::StringBytes(L"Gr\u00fc\u00dfe \u2615")}));
    EXPECT_EQ(values.at(L"Expandable").type, 2u);
    EXPECT_EQ(values.at(L"Number"), (ValueState{4, Dword(42)}));
    EXPECT_EQ(values.at(L"Bytes"), (ValueState{3, {1, 2, 3, 4, 0, 0}}));
    const std::wstring lines(L"one\0two\0\0", 9);
    EXPECT_EQ(values.at(L"Lines"), (ValueState{7, JournalTesting::Utf16(lines)}));
    EXPECT_EQ(keys.at(L"Old").count(L"Obsolete"), 0u);
    EXPECT_EQ(keys.at(L"Old").at(L"Mode"), (ValueState{4, Dword(2)}));
    EXPECT_EQ(keys.count(L"Gone"), 0u);
    EXPECT_TRUE(keys.at(L"Emptied").empty());
    EXPECT_EQ(keys.count(L"Made"), 0u) << "not selected";

    EXPECT_FALSE(Exists(MachineFolder() + L"\\Temp\\a.tmp"));
    EXPECT_FALSE(Exists(MachineFolder() + L"\\Temp\\b.tmp"));
    EXPECT_TRUE(Exists(MachineFolder() + L"\\Temp\\keep.txt"));
    EXPECT_FALSE(Exists(MachineFolder() + L"\\old.log"));
    EXPECT_TRUE(Exists(LinksFolder() + L"\\Corvane Notes.lnk"));

    const Result after = RunOnCatalogue({L"analyse"});
    EXPECT_TRUE(Contains(after.out, L"Windows/System: all selected tweaks were applied (7 in general/6 applied)\n"))
        << after.out;
    EXPECT_TRUE(Contains(after.out, L"Filesystem: all selected tweaks were applied (3 in general/3 applied)\n"))
        << after.out;
}

TEST_F(CliTuneUp, WithNothingPendingItSaysSoAndRunsNothing)
{
    ASSERT_EQ(RunOnCatalogue({L"tuneup"}).code, 0);
    ASSERT_EQ(Journals().size(), 1u);
    const CliTesting::MachineState machine = Machine();
    const Result r = RunOnCatalogue({L"tuneup", L"--backup"});
    EXPECT_EQ(r.code, 0);
    EXPECT_TRUE(Contains(r.out, L"\nNo tweaks selected for applying: every selected tweak is in effect already.\n"))
        << r.out;
    EXPECT_FALSE(Contains(r.out, L"Tuning up")) << r.out;
    EXPECT_EQ(Journals().size(), 1u) << "no run, no journal";
    EXPECT_EQ(Machine(), machine);
}

TEST_F(CliTuneUp, EnableBackupZeroTurnsTheBackupOffAndTheOptionsOverrideIt)
{
    SetEnableBackup(0);
    ASSERT_EQ(RunOnCatalogue({L"deselect", L"Set values", L"Replace a value", L"Delete a value", L"Remove a key",
                              L"Empty a key", L"Clean temporary files", L"Notes shortcut"})
                  .code,
              0);
    Result r = RunOnCatalogue({L"tuneup"});
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_TRUE(Contains(r.out, L"Tuning up 1 tweak without a backup point...\n")) << r.out;
    EXPECT_TRUE(Contains(r.out, L"\nNo backup point was kept (backup is off).\n")) << r.out;
    EXPECT_TRUE(Journals().empty());
    EXPECT_FALSE(Exists(MachineFolder() + L"\\old.log"));

    ASSERT_EQ(RunOnCatalogue({L"select", L"Replace a value"}).code, 0);
    r = RunOnCatalogue({L"tuneup", L"--backup"});
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(Journals().size(), 1u) << "--backup keeps one whatever the setting";

    SetEnableBackup(1);
    ASSERT_EQ(RunOnCatalogue({L"select", L"Remove a key"}).code, 0);
    r = RunOnCatalogue({L"tuneup", L"--no-backup"});
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(Journals().size(), 1u) << "--no-backup keeps none whatever the setting";
    EXPECT_FALSE(KeyExists(L"Machine\\Gone"));

    ASSERT_EQ(RunOnCatalogue({L"select", L"Empty a key"}).code, 0);
    r = RunOnCatalogue({L"tuneup"});
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(Journals().size(), 2u) << "EnableBackup 1 keeps one";
}

TEST_F(CliTuneUp, ASelectedTweakLeftNotInEffectEndsWithExitCodeThree)
{
    ASSERT_EQ(RunOnCatalogue({L"select", L"Out of reach"}).code, 0);
    const Result r = RunOnCatalogue({L"tuneup"});
    EXPECT_EQ(r.code, 3);
    EXPECT_EQ(r.err,
              L"corvane-cli: Some selected tweaks were not applied  - check your profile access writes\n"
              L"corvane-cli: not in effect after the tune-up: \"Out of reach\"\n");
    EXPECT_TRUE(Contains(r.out, L"\nBackup point: ")) << r.out;
    EXPECT_TRUE(Contains(r.out, L"A restart of Windows may be needed")) << r.out;
    EXPECT_FALSE(Exists(MachineFolder() + L"\\old.log")) << "the other tweaks were applied";
}

}  // namespace
