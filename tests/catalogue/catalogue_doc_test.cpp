// docs/catalogue.md: generated from the tweak sets and kept current, and the
// renderer's handling of what the shipped sets do not happen to contain.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/catalogue/ShippedData.h"
#include "tools/catalogue-doc/CatalogueDoc.h"

namespace {

using CatalogueDoc::RenderCatalogueDoc;
using CatalogueDoc::SetText;

std::string Render(std::vector<SetText> sets, std::wstring* error = nullptr)
{
    return RenderCatalogueDoc(sets, error);
}

bool Contains(const std::string& text, const std::string& part)
{
    return text.find(part) != std::string::npos;
}

#ifndef _WIN32
// Natively only: the source files are read as they are checked in.
TEST(CatalogueDoc, TheCheckedInDocumentIsCurrent)
{
    std::vector<SetText> sets;
    for (const Shipped::TweakSet& set : Shipped::kSets) {
        sets.push_back({set.name, Shipped::SourceFile(set.file)});
    }
    std::wstring error;
    const std::string rendered = Render(sets, &error);
    ASSERT_FALSE(rendered.empty()) << Shipped::Narrow(error);
    const std::string checkedIn = Shipped::SourceFile("docs/catalogue.md");
    EXPECT_TRUE(rendered == checkedIn)
        << "docs/catalogue.md is out of date with resources/tweaks/: run tools/update-catalogue-doc.sh";
}
#endif

TEST(CatalogueDoc, ASetThatDoesNotParseIsNamedAndNothingIsRendered)
{
    std::wstring error;
    EXPECT_EQ("", Render({{L"Free", "<Tweaks><Category n=\"A\"></Tweaks>"}}, &error));
    EXPECT_NE(std::wstring::npos, error.find(L"Free")) << Shipped::Narrow(error);
    EXPECT_EQ("", Render({{L"Free", "<Tweaks/>"}, {L"Silver", "<Other/>"}}, &error));
    EXPECT_NE(std::wstring::npos, error.find(L"Silver")) << Shipped::Narrow(error);
    EXPECT_EQ("", Render({{L"Free", "<Tweaks>\xff</Tweaks>"}}, &error));
    EXPECT_NE(std::wstring::npos, error.find(L"UTF-8")) << Shipped::Narrow(error);
}

TEST(CatalogueDoc, ALaterSetOnlyAddsToCategoriesOfTheBuiltInSet)
{
    const std::string doc = Render({
        {L"Free",
         R"(<Tweaks><Category n="A"><Tweak n="One" enabled="1"><Key parent="HKCU" path="P" action="KEY_SET" keyname="K"/></Tweak></Category></Tweaks>)"},
        {L"Silver",
         R"(<Tweaks><Category n="A"><Tweak n="Two"/></Category><Category n="B"><Tweak n="Lost"/></Category></Tweaks>)"},
    });
    EXPECT_TRUE(Contains(doc, "| A | 1 | 1 | 2 | 1 |")) << doc;
    EXPECT_TRUE(Contains(doc, "## B\n\nThe built-in set has no category of this name, so the program leaves out"))
        << doc;
    EXPECT_LT(doc.find("### One"), doc.find("### Two"));
    EXPECT_TRUE(Contains(doc, "Free set · every Windows version · selected by default")) << doc;
    EXPECT_TRUE(Contains(doc, "- Creates the key `HKCU\\P\\K`.")) << doc;
}

TEST(CatalogueDoc, ValuesAreShownAsTheProgramWritesThem)
{
    const std::string doc = Render(
        {{L"Free",
          R"(<Tweaks><Category n="A"><Tweak n="T" ver="WIN_XP">)"
          R"(<Key parent="HKLM" path="S" valuename="Bin" valuetype="REG_BINARY" valueval="AQI=" valuevalbytelen="4"/>)"
          R"(<Key parent="HKLM" path="S" valuename="Hex" valuetype="REG_DWORD" valueval="0x000000FF"/>)"
          "<Key parent=\"HKLM\" path=\"S\" valuename=\"Multi\" valuetype=\"REG_MULTI_SZ\" valueval=\"a\r\nb\"/>"
          R"(<Key parent="HKLM" path="S" valuetype="REG_SZ" valueval="x" editable="set"><values>)"
          R"(<value main="1" val="x" descr="Ex"/><value action="VALUE_DELETE" descr="Gone"/></values></Key>)"
          R"(</Tweak></Category></Tweaks>)"}});
    // A binary value is zero-filled to its length; a hexadecimal DWORD also
    // shows its decimal value; a switch lists its choices.
    EXPECT_TRUE(Contains(doc, "to the 4 bytes `01 02 00 00`.")) << doc;
    EXPECT_TRUE(Contains(doc, "to `0x000000FF` (255).")) << doc;
    EXPECT_TRUE(Contains(doc, "to the strings `a`, `b`.")) << doc;
    EXPECT_TRUE(Contains(doc,
                         "Sets the default value (`REG_SZ`) in `HKLM\\S` to `x`. Choices: `x` (Ex, recommended); "
                         "delete the value (Gone)."))
        << doc;
    EXPECT_TRUE(Contains(doc, "Windows XP and later")) << doc;
}

TEST(CatalogueDoc, EachTweakShowsTheRangeOfVersionsItIsOfferedOn)
{
    struct Case {
        const char* attributes;
        const char* shown;
    };
    const Case cases[] = {
        {R"(ver="WIN_XP")", "Free set · Windows XP and later ·"},
        {R"(ver="WIN_VISTA6" maxver="WIN_VISTA7")", "Free set · Windows Vista to Windows 7 ·"},
        {R"(ver="WIN_10" maxver="WIN_10")", "Free set · Windows 10 only ·"},
        {R"(maxver="WIN_XP")", "Free set · every Windows version up to Windows XP ·"},
        {R"(ver="WIN_32" maxver="WIN_95")", "Free set · every Windows version ·"},
    };
    for (const Case& c : cases) {
        const std::string doc = Render({{L"Free", std::string(R"(<Tweaks><Category n="A"><Tweak n="T" )") +
                                                      c.attributes + "/></Category></Tweaks>"}});
        EXPECT_TRUE(Contains(doc, c.shown)) << c.attributes << "\n" << doc;
    }
}

TEST(CatalogueDoc, FileCleanupsSayWhetherARestoreCanBringTheFilesBack)
{
    const std::string doc = Render(
        {{L"Free",
          R"(<Tweaks><Category n="A"><Tweak n="T">)"
          R"(<File path="C:\Temp" name="*.tmp" action="FILE_DELETE" recursive="1"/>)"
          R"(<File path="C:\Temp" name="one.log" action="FILE_DELETE"/>)"
          R"(<Shortcut shcname="Tool.lnk" shcpath="Sub" shcfoldername="CSIDL_APPDATA" targetname="t.exe" targetpath="C:\T"/>)"
          R"(</Tweak></Category></Tweaks>)"}});
    EXPECT_TRUE(Contains(doc,
                         "Deletes the files `*.tmp` in `C:\\Temp` and its subfolders. Deleted files are not kept "
                         "in the backup point: a restore cannot bring them back."))
        << doc;
    EXPECT_TRUE(Contains(doc, "Deletes the file `one.log` in `C:\\Temp`. A copy is kept in the backup point.")) << doc;
    EXPECT_TRUE(Contains(doc, "Creates the shortcut `<AppData>\\Sub\\Tool.lnk` to `C:\\T\\t.exe`")) << doc;
}

TEST(CatalogueDoc, TweaksOfNestedGroupsStandWhereTheirGroupStands)
{
    const std::string doc =
        Render({{L"Free",
                 R"(<Tweaks><Category n="A"><Tweak n="First"/><Group n="G"><d>Not the category's</d><Tweak n="Inner"/>)"
                 R"(<Application n="App"><Tweak n="Deep"/></Application></Group><!-- note --><d>About A</d>)"
                 R"(<Tweak n="Last"/></Category></Tweaks>)"}});
    EXPECT_TRUE(Contains(doc, "## A\n\nAbout A\n\n### First\n")) << doc;
    EXPECT_LT(doc.find("### First"), doc.find("### Inner"));
    EXPECT_LT(doc.find("### Inner"), doc.find("### Deep"));
    EXPECT_LT(doc.find("### Deep"), doc.find("### Last"));
    EXPECT_TRUE(
        Contains(doc, "### Inner\n\nFree set · every Windows version · not selected by default · in the group G\n"))
        << doc;
    EXPECT_TRUE(Contains(doc, " · in the group G / App\n")) << doc;
    EXPECT_TRUE(Contains(doc, "| A | 4 | 4 | 0 |")) << doc;
}

TEST(CatalogueDoc, MarkdownCharactersInNamesAreEscaped)
{
    const std::string doc =
        Render({{L"Free", R"(<Tweaks><Category n="A|B"><Tweak n="*bold* and `code`"/></Category></Tweaks>)"}});
    EXPECT_TRUE(Contains(doc, "### \\*bold\\* and \\`code\\`\n")) << doc;
    EXPECT_TRUE(Contains(doc, "| A\\|B | 1 |")) << doc;
}

}  // namespace
