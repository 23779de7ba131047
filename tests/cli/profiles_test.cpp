// profiles list|show|set|save|delete and analyse --check, in-process: what a
// script sees (output, JSON and exit codes), and that every refusal changes
// nothing.
#include <gtest/gtest.h>

#include "core/platform/FileIO.h"
#include "tests/cli/CliFixture.h"
#include "tweaker/ChangeLock.h"

namespace {

using CliTesting::CliTest;
using CliTesting::Result;

class CliProfiles : public CliTest {
protected:
    bool Contains(const std::wstring& text, const std::wstring& part) { return text.find(part) != std::wstring::npos; }
    std::string Config()
    {
        std::string bytes;
        EXPECT_EQ(Platform::ReadWholeFile(ConfigPath(), &bytes), 0u);
        return bytes;
    }
    std::wstring ProfileFolder() const { return ProgramFolder() + L"\\profiles\\"; }
    // The file name of a saved profile from "Saved profile ...: <path>".
    static std::wstring SavedFile(const Result& r)
    {
        const size_t slash = r.out.rfind(L'\\');
        return slash == std::wstring::npos ? std::wstring() : r.out.substr(slash + 1, r.out.size() - slash - 2);
    }
};

TEST_F(CliProfiles, SaveListShowSetAndDeleteAProfile)
{
    ASSERT_EQ(RunOnCatalogue({L"deselect", L"Set values"}).code, 0);
    Result r = RunOnCatalogue(
        {L"profiles", L"save", L"Mine \u2615", L"--description", L"short & <d>", L"--details=long \"dex\""});
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_TRUE(Contains(r.out, L"Saved profile \"Mine \u2615\": " + ProfileFolder())) << r.out;
    const std::wstring file = SavedFile(r);
    EXPECT_EQ(file.size(), 14u) << file;  // "<ten digits>.pfs"

    r = RunOnCatalogue({L"profiles", L"list"});
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_TRUE(Contains(r.out, L"  default   Default\n")) << r.out;
    EXPECT_TRUE(Contains(r.out, L"  built-in  Windows Appearance\n")) << r.out;
    EXPECT_TRUE(Contains(r.out, L"  user      Mine \u2615  " + file + L"  ")) << r.out;
    EXPECT_TRUE(Contains(r.out, L"\n            short & <d>\n")) << r.out;

    r = RunOnCatalogue({L"profiles", L"list", L"--json"});
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_TRUE(Contains(r.out, L"\"kind\": \"user\",\n      \"name\": \"Mine \u2615\",\n      \"file\": \"" + file))
        << r.out;
    EXPECT_TRUE(Contains(r.out, L"\"readable\": true,\n      \"problem\": \"\"")) << r.out;

    r = RunOnCatalogue({L"profiles", L"show", file, L"--json"});
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_TRUE(Contains(r.out, L"\"details\": \"long \\\"dex\\\"\"")) << r.out;
    EXPECT_TRUE(Contains(r.out, L"\"name\": \"Set values\",\n      \"selected\": false,\n      \"inCatalogue\": true"))
        << r.out;

    // Another choice, then the profile brings the saved one back.
    ASSERT_EQ(RunOnCatalogue({L"select", L"Set values"}).code, 0);
    r = RunOnCatalogue({L"profiles", L"set", L"Mine \u2615"});
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.out, L"Profile setting completed\n");
    EXPECT_EQ(SelectionsOf(L"Set values"), std::vector<bool>{false});
    EXPECT_EQ(SelectionsOf(L"Make a key"), std::vector<bool>{false});
    // Default: the tweak file's own selections.
    ASSERT_EQ(RunOnCatalogue({L"profiles", L"set", L"Default"}).code, 0);
    EXPECT_EQ(SelectionsOf(L"Set values"), std::vector<bool>{true});

    r = RunOnCatalogue({L"profiles", L"delete", L"Mine \u2615"});
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.out, L"Deleted " + file + L" (\"Mine \u2615\")\n");
    EXPECT_FALSE(Exists(ProfileFolder() + file));
}

TEST_F(CliProfiles, RefusalsEndWithExitCode2AndChangeNothing)
{
    const Result mine = RunOnCatalogue({L"profiles", L"save", L"Mine"});
    ASSERT_EQ(mine.code, 0);
    const Result twin = RunOnCatalogue({L"profiles", L"save", L"Twin"});
    ASSERT_EQ(twin.code, 0);
    // A copy of a file carries the same name: a second "Twin".
    WriteFile(ProfileFolder() + L"1.pfs", ReadFile(ProfileFolder() + SavedFile(twin)));
    WriteFile(ProfileFolder() + L"bad.pfs", "<Profile name=\"cut");
    ASSERT_EQ(RunOnCatalogue({L"deselect", L"Set values"}).code, 0);
    const std::string config = Config();

    struct Case {
        std::vector<std::wstring> args;
        std::wstring error;  // part of standard error
    };
    const Case cases[] = {
        {{L"profiles", L"set", L"No such"}, L"no profile named \"No such\"; nothing was changed"},
        {{L"profiles", L"set", L"mine"}, L"no profile named \"mine\""},  // names compare exactly
        {{L"profiles", L"set", L"Twin"}, L"2 profiles are named \"Twin\" ("},
        {{L"profiles", L"set", L"bad.pfs"}, L"cannot be set"},
        {{L"profiles", L"show", L"bad.pfs"}, L"cannot be read"},
        {{L"profiles", L"save", L"Default"}, L"the name \"Default\" is taken by another profile; nothing was saved"},
        {{L"profiles", L"save", L"Windows Appearance"}, L"is taken"},
        {{L"profiles", L"save", L"Mine"}, L"is taken"},
        {{L"profiles", L"save", L""}, L"needs a name"},
        {{L"profiles", L"delete", L"Default"},
         L"\"Default\" is the default profile; only user profiles can be deleted"},
        {{L"profiles", L"delete", L"Mine", L"Security and Privacy"}, L"is the built-in profile"},
        {{L"profiles", L"delete", L"Mine", L"No such"}, L"no profile named \"No such\""},
        {{L"profiles", L"frobnicate"}, L"unknown profiles command \"frobnicate\""},
        {{L"profiles", L"set", L"Mine", L"--description", L"x"}, L"unknown option \"--description\""},
        {{L"profiles", L"save", L"x", L"--details"}, L"the option --details needs a text"},
    };
    for (const Case& c : cases) {
        const Result r = RunOnCatalogue(c.args);
        EXPECT_EQ(r.code, 2) << r.err;
        EXPECT_TRUE(Contains(r.err, c.error)) << r.err;
        EXPECT_EQ(Config(), config);
        EXPECT_TRUE(Exists(ProfileFolder() + SavedFile(mine)));
        EXPECT_TRUE(Exists(ProfileFolder() + SavedFile(twin)));
        EXPECT_TRUE(Exists(ProfileFolder() + L"bad.pfs"));
    }
    const Result list = RunOnCatalogue({L"profiles", L"list"});
    EXPECT_TRUE(Contains(list.out, L"  user      (unreadable)  bad.pfs  ")) << list.out;

    // The file name picks one twin; an unreadable file can be deleted.
    EXPECT_EQ(RunOnCatalogue({L"profiles", L"set", L"1.pfs"}).code, 0);
    EXPECT_EQ(RunOnCatalogue({L"profiles", L"delete", L"bad.pfs", L"1.pfs"}).code, 0);
    EXPECT_EQ(RunOnCatalogue({L"profiles", L"set", L"Twin"}).code, 0);
}

TEST_F(CliProfiles, ChangesNeedTheLockAndAFailedWriteEndsWithExitCode1)
{
    ASSERT_EQ(RunOnCatalogue({L"list"}).code, 0);
    const std::string config = Config();
    Platform::UniqueNamedLock other;
    ASSERT_EQ(Tweaker::TakeChangeLock(&other, settings_.lockName), 0u);
    for (const wchar_t* command : {L"set", L"save", L"delete"}) {
        const Result r = RunOnCatalogue({L"profiles", command, L"Default"});
        EXPECT_EQ(r.code, 1) << r.err;
        EXPECT_TRUE(Contains(r.err, L"another Corvane program is changing the system")) << r.err;
    }
    EXPECT_EQ(RunOnCatalogue({L"profiles", L"list"}).code, 0);  // reading needs no lock
    other.reset();
    EXPECT_EQ(Config(), config);
#ifndef _WIN32
    Portable().Faults().FailWhen(
        Platform::Portable::Operation::CreateFile,
        [this](const Platform::Portable::FaultSubject& s) { return s.path.rfind(ProfileFolder(), 0) == 0; },
        Err::AccessDenied);
    const Result r = RunOnCatalogue({L"profiles", L"save", L"Mine"});
    EXPECT_EQ(r.code, 1);
    EXPECT_TRUE(Contains(r.err, L"The profile \"Mine\" could not be saved in " + ProfileFolder())) << r.err;
    Portable().Faults().Clear();
    Portable().Faults().FailWhen(Platform::Portable::Operation::MoveFile, ConfigPath() + L".tmp", Err::WriteFault);
    EXPECT_EQ(RunOnCatalogue({L"profiles", L"set", L"Default"}).code, 1);
#endif
}

TEST_F(CliProfiles, AnalyseCheckTellsWhetherATuneUpWouldApplyAnything)
{
    PrepareMachine();
    Result r = RunOnCatalogue({L"analyse", L"--check"});
    EXPECT_EQ(r.code, 3) << r.err;
    EXPECT_TRUE(Contains(r.out, L" selected tweaks are not in effect:\n")) << r.out;
    EXPECT_TRUE(Contains(r.out, L"\n  Windows/System: Set values\n")) << r.out;
    EXPECT_FALSE(Contains(r.out, L"Analysed")) << "no progress lines";
    ASSERT_EQ(RunOnCatalogue({L"tuneup", L"--no-backup"}).code, 0);
    r = RunOnCatalogue({L"analyse", L"--check"});
    EXPECT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.out, L"Every selected tweak is in effect.\n");
    r = RunOnCatalogue({L"analyse", L"--check", L"--json"});
    EXPECT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.out.substr(0, 1), L"{");
}

}  // namespace
