// Reading the command line's words.
#include <gtest/gtest.h>

#include "app/cli/Arguments.h"

namespace {

using Cli::BackupChoice;
using Cli::Command;
using Cli::ParseArguments;

TEST(CliArguments, TheCatalogueOptionStandsAnywhereBeforeTheNames)
{
    for (const auto& args : std::vector<std::vector<std::wstring>>{
             {L"--catalogue", L"C:\\a b.xml", L"select", L"One", L"Two"},
             {L"select", L"--catalogue", L"C:\\a b.xml", L"One", L"Two"},
             {L"select", L"One", L"--catalogue=C:\\a b.xml", L"Two"},
         }) {
        const Cli::ParsedArguments parsed = ParseArguments(args);
        ASSERT_EQ(parsed.error, L"");
        EXPECT_EQ(parsed.invocation.command, Command::Select);
        EXPECT_EQ(parsed.invocation.catalogue.value_or(L""), L"C:\\a b.xml");
        EXPECT_EQ(parsed.invocation.names, (std::vector<std::wstring>{L"One", L"Two"}));
    }
    EXPECT_EQ(ParseArguments({L"--catalogue", L"a", L"--catalogue", L"b", L"list"}).error,
              L"the option --catalogue is given twice");
    EXPECT_EQ(ParseArguments({L"list", L"--catalogue="}).error, L"the option --catalogue needs a file name");
}

TEST(CliArguments, AfterTheDoubleDashEveryWordIsAName)
{
    const Cli::ParsedArguments parsed = ParseArguments({L"deselect", L"--", L"--json", L"-x", L"--"});
    ASSERT_EQ(parsed.error, L"");
    EXPECT_EQ(parsed.invocation.command, Command::Deselect);
    EXPECT_FALSE(parsed.invocation.json);
    EXPECT_EQ(parsed.invocation.names, (std::vector<std::wstring>{L"--json", L"-x", L"--"}));
    EXPECT_EQ(ParseArguments({L"--", L"analyse"}).error, L"no command given") << "not a command after --";
}

TEST(CliArguments, EachCommandTakesItsOwnOptionsOnly)
{
    EXPECT_TRUE(ParseArguments({L"analyse", L"--json"}).invocation.json);
    EXPECT_TRUE(ParseArguments({L"backups", L"list", L"--json"}).invocation.json);
    EXPECT_EQ(ParseArguments({L"tuneup"}).invocation.backup, BackupChoice::Setting);
    EXPECT_EQ(ParseArguments({L"tuneup", L"--backup"}).invocation.backup, BackupChoice::On);
    EXPECT_EQ(ParseArguments({L"tuneup", L"--no-backup", L"--no-backup"}).invocation.backup, BackupChoice::Off);
    EXPECT_EQ(ParseArguments({L"tuneup", L"--backup", L"--no-backup"}).error,
              L"the options --backup and --no-backup exclude each other");
    EXPECT_EQ(ParseArguments({L"tuneup", L"--json"}).error, L"tuneup writes JSON only with --dry-run");
    EXPECT_EQ(ParseArguments({L"list", L"--backup"}).error, L"unknown option \"--backup\" for list");
    EXPECT_EQ(ParseArguments({L"backups", L"delete", L"--json", L"x"}).error,
              L"unknown option \"--json\" for backups delete");
}

TEST(CliArguments, NamesAreRequiredWhereTheyAreUsedAndRefusedElsewhere)
{
    EXPECT_EQ(ParseArguments({L"select"}).error, L"select needs at least one tweak name");
    EXPECT_EQ(ParseArguments({L"backups", L"restore"}).error, L"backups restore needs at least one backup point");
    EXPECT_EQ(ParseArguments({L"analyse", L"extra"}).error, L"unexpected argument \"extra\" for analyse");
    EXPECT_EQ(ParseArguments({L"backups", L"list", L"x"}).error, L"unexpected argument \"x\" for backups list");
    EXPECT_EQ(ParseArguments({L"backups", L"undo"}).error, L"unknown backups command \"undo\"");
    const Cli::ParsedArguments restore = ParseArguments({L"backups", L"restore", L"1.arch", L"C:\\b\\2.arch"});
    EXPECT_EQ(restore.invocation.command, Command::BackupsRestore);
    EXPECT_EQ(restore.invocation.names.size(), 2u);
}

TEST(CliArguments, HelpWinsOverEverythingElse)
{
    EXPECT_EQ(ParseArguments({L"tuneup", L"--help"}).invocation.command, Command::Help);
    EXPECT_EQ(ParseArguments({L"-h"}).error, L"");
    EXPECT_EQ(ParseArguments({L"help"}).invocation.command, Command::Help);
}

}  // namespace
