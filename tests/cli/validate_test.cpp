// validate FILE: the editor's checks from the command line.
#include <gtest/gtest.h>

#include "app/cli/Arguments.h"
#include "tests/cli/CliFixture.h"

namespace {

using CliTesting::CliTest;

TEST(CliValidateArguments, TakesExactlyOneFile)
{
    EXPECT_EQ(Cli::ParseArguments({L"validate"}).error, L"validate needs one tweak file");
    EXPECT_EQ(Cli::ParseArguments({L"validate", L"a.xml", L"b.xml"}).error, L"validate takes one tweak file");
    EXPECT_EQ(Cli::ParseArguments({L"validate", L"--json", L"a.xml"}).error,
              L"unknown option \"--json\" for validate");
    const Cli::ParsedArguments parsed = Cli::ParseArguments({L"validate", L"a.xml"});
    EXPECT_EQ(parsed.error, L"");
    EXPECT_EQ(parsed.invocation.command, Cli::Command::Validate);
}

using CliValidate = CliTest;

TEST_F(CliValidate, ASoundFileHasNoMistakes)
{
    WriteFile(PathOf(L"sound.xml"),
              R"(<Tweaks><Category n="Filesystem"><Tweak n="One"><Key parent="HKCU" path="Software\X" valuename="V" valuetype="REG_DWORD" valueval="0x0000000A"/></Tweak></Category></Tweaks>)");
    const CliTesting::Result result = Run({L"validate", PathOf(L"sound.xml")});
    EXPECT_EQ(result.code, 0);
    EXPECT_EQ(result.out, L"\"" + PathOf(L"sound.xml") + L"\": no mistakes found\n");
    EXPECT_EQ(result.err, L"");
}

TEST_F(CliValidate, FindingsArePrintedOneALineAndExitWithOne)
{
    WriteFile(PathOf(L"faulty.xml"),
              R"(<Tweaks><Category n="Filesystem"><Tweak n="Twice"/></Category><Category n="Filesystem">)"
              R"(<Tweak n="Twice"><Key parent="HKLM" path="HKLM\Software" valuetype="REG_DWORD" valueval="1.5"/></Tweak>)"
              R"(</Category></Tweaks>)");
    const CliTesting::Result result = Run({L"validate", PathOf(L"faulty.xml")});
    EXPECT_EQ(result.code, 1);
    EXPECT_NE(result.out.find(L"Equal names of categories detected! One of twins name was changed: Filesystem!"),
              std::wstring::npos)
        << result.out;
    EXPECT_NE(result.out.find(L"No any Item in Tweak: Filesystem!"), std::wstring::npos) << result.out;
    EXPECT_NE(result.out.find(L"Propably incorrect path for key Item (can include root directory): "
                              L"Filesystem\\Twice\\Item0\n"),
              std::wstring::npos)
        << result.out;
    EXPECT_NE(result.out.find(L"Incorrect DWORD value for key Item: Filesystem\\Twice\\Item0\n"), std::wstring::npos);
    EXPECT_NE(result.out.find(L": 5 mistakes found\n"), std::wstring::npos) << result.out;
    // The file is only read: the rename is reported, not saved.
    EXPECT_EQ(ReadFile(PathOf(L"faulty.xml")).find("Filesystem!"), std::string::npos);
}

TEST_F(CliValidate, AFileThatCannotBeReadOrParsedExitsWithTwo)
{
    CliTesting::Result result = Run({L"validate", PathOf(L"missing.xml")});
    EXPECT_EQ(result.code, 2);
    EXPECT_EQ(result.out, L"");
    EXPECT_NE(result.err.find(L"cannot read the tweak file \"" + PathOf(L"missing.xml") + L"\""), std::wstring::npos);

    WriteFile(PathOf(L"broken.xml"), "<Tweaks><Category n=\"a\"></Tweaks>");
    result = Run({L"validate", PathOf(L"broken.xml")});
    EXPECT_EQ(result.code, 2);
    EXPECT_NE(result.err.find(L"Category"), std::wstring::npos) << "the XML error names the element: " << result.err.size();
}

}  // namespace
