// The change lock: while another holder has it (the window program or
// another command line), nothing that changes the system or Config.xml runs,
// and analysing and listing still do.
#include <gtest/gtest.h>

#include "core/platform/FileIO.h"
#include "tests/cli/CliFixture.h"
#include "tweaker/ChangeLock.h"

namespace {

using CliTesting::CliTest;
using CliTesting::Result;

TEST_F(CliTest, WhileAnotherHolderHasTheLockNothingChangesAndTheExitCodeIsOne)
{
    PrepareMachine();
    ASSERT_EQ(RunOnCatalogue({L"tuneup"}).code, 0);  // a backup point to try restoring
    ASSERT_EQ(Journals().size(), 1u);
    const std::wstring journal = Journals().front();
    ASSERT_EQ(Run({L"backups", L"restore", journal}).code, 0);
    const CliTesting::MachineState machine = Machine();
    std::string config;
    ASSERT_EQ(Platform::ReadWholeFile(ConfigPath(), &config), 0u);

    Platform::UniqueNamedLock held;
    ASSERT_EQ(Tweaker::TakeChangeLock(&held, settings_.lockName), 0u);
    const std::wstring refusal = L"corvane-cli: another Corvane program is changing the system (it holds the lock " +
                                 settings_.lockName + L"); try again when it has finished\n";
    for (const std::vector<std::wstring>& args : std::vector<std::vector<std::wstring>>{
             {L"select", L"Make a key"},
             {L"deselect", L"Set values"},
             {L"tuneup"},
             {L"tuneup", L"--no-backup"},
             {L"backups", L"restore", journal},
             {L"backups", L"delete", journal},
         }) {
        const Result r = RunOnCatalogue(args);
        EXPECT_EQ(r.code, 1) << args.front();
        EXPECT_EQ(r.err, refusal) << args.front();
        EXPECT_EQ(r.out, L"") << args.front();
    }
    EXPECT_EQ(Machine(), machine);
    std::string after;
    ASSERT_EQ(Platform::ReadWholeFile(ConfigPath(), &after), 0u);
    EXPECT_EQ(after, config);
    EXPECT_EQ(Journals(), std::vector<std::wstring>{journal});

    EXPECT_EQ(RunOnCatalogue({L"analyse"}).code, 0) << "analysis needs no lock";
    EXPECT_EQ(RunOnCatalogue({L"list"}).code, 0);
    EXPECT_EQ(Run({L"backups", L"list"}).code, 0);

    held.reset();
    EXPECT_EQ(RunOnCatalogue({L"select", L"Make a key"}).code, 0) << "free again once released";
    Platform::UniqueNamedLock mine;
    EXPECT_EQ(Tweaker::TakeChangeLock(&mine, settings_.lockName), 0u) << "the command line released it";
}

}  // namespace
