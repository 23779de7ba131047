// Building the catalogue from its sets and Config.xml, and saving the user's
// choices back.
#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <optional>
#include <string>

#include "core/platform/FileIO.h"
#include "core/platform/Handles.h"
#include "core/system/ShellFolders.h"
#include "core/text/Utf.h"
#include "tests/support/Scratch.h"
#include "tweaker/Configuration.h"
#include "tweaker/Manager.h"
#include "tweaker/SimpleTweak.h"

namespace {

using Testing::DeleteFolderTree;

std::string Describe(const std::wstring& text)
{
    std::string utf8;
    (void)Text::WideToUtf8(text, &utf8);
    return utf8;
}

// Sets given as text; a set without text is absent.
class TextSets final : public Tweaker::ITweakSetSource {
public:
    std::map<std::wstring, std::string> texts;
    uint32_t ReadSet(std::wstring_view setName, std::string* utf8, std::wstring* where) override
    {
        *where = L"set " + std::wstring(setName);
        const auto found = texts.find(std::wstring(setName));
        if (found == texts.end()) {
            return Err::FileNotFound;
        }
        *utf8 = found->second;
        return 0;
    }
};

const char* const kBuiltIn = R"(<Tweaks>
  <Category n="Windows/System" i="AQUA.MENU.WINDOWSSYS">
    <d>System</d>
    <Tweak n="Alpha" enabled="1"><Key parent="HKCU" path="Software\CorvaneTests\Cat" valuename="A" valuetype="REG_DWORD" valueval="1"/></Tweak>
    <Tweak n="Beta" enabled="0"><Key parent="HKCU" path="Software\CorvaneTests\Cat" valuename="B" valuetype="REG_DWORD" valueval="1"/></Tweak>
    <Tweak n="Edit" enabled="0"><Key parent="HKCU" path="Software\CorvaneTests\Cat" valuename="E" valuetype="REG_SZ" valueval="x" editable="range" valuedescr="any text"/></Tweak>
  </Category>
  <Category n="Filesystem" i="AQUA.MENU.FILESYS">
    <Tweak n="Gamma" enabled="1"><Key parent="HKCU" path="Software\CorvaneTests\Cat" valuename="G" valuetype="REG_DWORD" valueval="1"/></Tweak>
  </Category>
</Tweaks>)";

class CatalogueLoadTest : public Testing::ScratchTest {
protected:
    void SetUp() override
    {
        ScratchTest::SetUp();
        folderName_ = L"CorvaneTests-" + ScratchFolder().substr(ScratchFolder().rfind(L'\\') + 1);
        sets_.texts[L"Free"] = kBuiltIn;
#ifndef _WIN32
        Portable().System().SetSpecialFolder(Sys::Csidl::AppData, PathOf(L"AppData"));
#endif
        userTweaksPath_.emplace(Platform::CurrentUser(), L"Software\\Corvane", L"UserTweaksPath");
    }
    void TearDown() override
    {
        manager_.reset();
        if (!configFolder_.empty()) {
            (void)DeleteFolderTree(configFolder_);
        }
        userTweaksPath_.reset();
        ScratchTest::TearDown();
    }

    // A new catalogue over the sets, as a program start builds it.
    Tweaker::Manager& Load(bool* parsed = nullptr)
    {
        manager_ = std::make_unique<Tweaker::Manager>();
        manager_->SetTweakSetSource(&sets_);
        const bool result = manager_->LoadCatalogue(folderName_);
        if (parsed != nullptr) {
            *parsed = result;
        }
        configFolder_ = manager_->ConfigurationFolder();
        return *manager_;
    }

    Tweaker::ITweak* Find(std::wstring_view name, int nth = 0)
    {
        for (const auto& category : manager_->Categories()) {
            for (const auto& child : category->GetChildren()) {
                if (child->GetName() == name && nth-- == 0) {
                    return child.Get();
                }
            }
        }
        return nullptr;
    }

    std::string ConfigText() { return ReadFile(manager_->ConfigurationPath()); }

    void SetUserTweaksPath(std::wstring_view path) { ASSERT_EQ(0u, userTweaksPath_->SetString(path)); }

    TextSets sets_;
    std::wstring folderName_;
    std::wstring configFolder_;
    std::unique_ptr<Tweaker::Manager> manager_;

private:
    // The real registry under Wine holds the program's own settings key:
    // the user's tweak path is put back as it was.
    std::optional<Testing::SavedValue> userTweaksPath_;
};

TEST_F(CatalogueLoadTest, FirstRunCreatesTheEmptyConfigurationAndSelectionsComeFromTheFile)
{
    SetUserTweaksPath(L"");
    bool parsed = false;
    Tweaker::Manager& manager = Load(&parsed);
    EXPECT_TRUE(parsed);
    EXPECT_EQ("<Tweaks></Tweaks>", ConfigText());
    ASSERT_EQ(2u, manager.Categories().size());
    EXPECT_EQ(L"Windows/System", manager.Categories()[0]->GetName());
    EXPECT_EQ(L"Filesystem", manager.Categories()[1]->GetName());
    EXPECT_EQ(4, manager.CountTweaks());
    EXPECT_TRUE(Find(L"Alpha")->IsSelected());
    EXPECT_FALSE(Find(L"Beta")->IsSelected());
    EXPECT_TRUE(manager.LoadProblems().empty()) << (manager.LoadProblems().empty() ? "" : Describe(manager.LoadProblems()[0].where + L": " + manager.LoadProblems()[0].text));
}

TEST_F(CatalogueLoadTest, StoredSelectionsOverrideTheTweakFile)
{
    SetUserTweaksPath(L"");
    Load();
    ASSERT_EQ(0u, Platform::WriteWholeFile(manager_->ConfigurationPath(),
                                           R"(<Tweaks><Tweak n="Alpha" enabled="0"/><Tweak n="Beta" enabled="1"/></Tweaks>)"));
    Load();
    EXPECT_FALSE(Find(L"Alpha")->IsSelected());
    EXPECT_TRUE(Find(L"Beta")->IsSelected());
    EXPECT_TRUE(Find(L"Gamma")->IsSelected());
}

TEST_F(CatalogueLoadTest, ANonAsciiTweakNameKeepsItsSelectionAcrossARestart)
{
    SetUserTweaksPath(L"");
    sets_.texts[L"Free"] = R"(<Tweaks><Category n="Windows/System">)"
                           R"(<Tweak n="Größe ändern — ☕" enabled="0"><Key parent="HKCU" path="Software\CorvaneTests\Cat" valuename="U" valuetype="REG_DWORD" valueval="1"/></Tweak>)"
                           R"(</Category></Tweaks>)";
    Load();
    Tweaker::ITweak* tweak = Find(L"Größe ändern — ☕");
    ASSERT_NE(nullptr, tweak);
    tweak->SetSelected(true);
    ASSERT_EQ(0u, manager_->UpdateConfigRecordAndSave(*tweak));
    Load();
    EXPECT_TRUE(Find(L"Größe ändern — ☕")->IsSelected());
}

TEST_F(CatalogueLoadTest, SavingWritesItemValuesWithoutPathInNameOrder)
{
    SetUserTweaksPath(L"");
    Load();
    Tweaker::ITweak* edit = Find(L"Edit");
    edit->SetSelected(true);
    manager_->UpdateConfigRecord(*Find(L"Beta"));
    ASSERT_EQ(0u, manager_->UpdateConfigRecordAndSave(*edit));
    EXPECT_EQ("<Tweaks>\r\n<Tweak n=\"Beta\" enabled=\"0\"/>\r\n<Tweak n=\"Edit\" enabled=\"1\">\r\n"
              "<ItmKeyVal n=\"E\" curval=\"x\" action=\"VALUE_SET\"/>\r\n</Tweak>\r\n</Tweaks>\r\n",
              ConfigText());

    Tweaker::TweakValuesMap read;
    XmlDocument document;
    ASSERT_EQ(0u, document.LoadFromUtf8(ConfigText()));
    ASSERT_TRUE(Tweaker::ReadConfiguration(document, &read));
    EXPECT_EQ(manager_->ConfigTweakValues(), read);
}

TEST_F(CatalogueLoadTest, ConfigurationTextsSurviveAWriteAndReadBack)
{
    Tweaker::TweakValuesMap map;
    map[L"<&\"quoted\">"] = {true, {{L"a&b", L"", L"x\"y", L"VALUE_DELETE"}, {L"", L"C:\\p", L"", L""}}};
    map[L"plain"] = {false, {}};
    XmlDocument document;
    ASSERT_TRUE(document.SetDoc(Tweaker::WriteConfiguration(map)));
    Tweaker::TweakValuesMap read;
    ASSERT_TRUE(Tweaker::ReadConfiguration(document, &read));
    EXPECT_EQ(map, read);
}

TEST_F(CatalogueLoadTest, UpdatingANonEditableTweakKeepsItsStoredItems)
{
    SetUserTweaksPath(L"");
    Load();
    ASSERT_EQ(0u, Platform::WriteWholeFile(
                      manager_->ConfigurationPath(),
                      R"(<Tweaks><Tweak n="Alpha" enabled="1"><ItmKeyVal n="A" curval="7" action="VALUE_SET"/></Tweak></Tweaks>)"));
    Load();
    Tweaker::ITweak* alpha = Find(L"Alpha");
    alpha->SetSelected(false);
    manager_->UpdateConfigRecord(*alpha);
    const auto& entry = manager_->ConfigTweakValues().at(L"Alpha");
    EXPECT_FALSE(entry.enabled);
    ASSERT_EQ(1u, entry.items.size());
    EXPECT_EQ(L"7", entry.items[0].curval);
}

TEST_F(CatalogueLoadTest, SetsAppendToCategoriesOfTheSameNameOnly)
{
    SetUserTweaksPath(L"");
    sets_.texts[L"Silver"] = R"(<Tweaks><Category n="Filesystem"><Tweak n="Silver one"/></Category>)"
                             R"(<Category n="Unknown"><Tweak n="Lost"/></Category></Tweaks>)";
    sets_.texts[L"Gold"] = R"(<Tweaks><Category n="Windows/System"><Tweak n="Gold one"/><Tweak n="Alpha"/></Category></Tweaks>)";
    Tweaker::Manager& manager = Load();
    EXPECT_EQ(8 - 1, manager.CountTweaks());
    const auto& system = manager.Categories()[0]->GetChildren();
    ASSERT_EQ(5u, system.size());
    EXPECT_EQ(L"Gold one", system[3]->GetName());
    EXPECT_EQ(L"Alpha", system[4]->GetName());  // listed twice, once per set
    EXPECT_EQ(L"Silver one", manager.Categories()[1]->GetChildren().back()->GetName());
    EXPECT_EQ(nullptr, Find(L"Lost"));
    EXPECT_FALSE(manager.MergeTweakSet(L"Platinum"));
}

TEST_F(CatalogueLoadTest, TheUserFileMergesIntoKnownCategoriesAndNewOnesAddNothing)
{
    const std::wstring userFile = PathOf(L"tweaks.xml");
    WriteFile(userFile, R"(<Tweaks><Category n="Filesystem"><Tweak n="Mine"/></Category></Tweaks>)");
    SetUserTweaksPath(userFile);
    Tweaker::Manager& manager = Load();
    EXPECT_EQ(L"Mine", manager.Categories()[1]->GetChildren().back()->GetName());
    EXPECT_EQ(5, manager.CountTweaks());

    WriteFile(userFile, R"(<Tweaks><Category n="My own"><Tweak n="Other"/></Category></Tweaks>)");
    EXPECT_FALSE(manager.MergeUserTweaks());
    EXPECT_EQ(5, manager.CountTweaks());

    SetUserTweaksPath(L"");
    EXPECT_FALSE(manager.MergeUserTweaks());
    SetUserTweaksPath(PathOf(L"missing.xml"));
    EXPECT_FALSE(manager.MergeUserTweaks());
}

TEST_F(CatalogueLoadTest, AnUnparsableSetIsReportedWithItsXmlErrorAndTheRestLoads)
{
    const std::wstring userFile = PathOf(L"broken.xml");
    WriteFile(userFile, "<Tweaks><Category n=\"Filesystem\"></Tweaks>");
    SetUserTweaksPath(userFile);
    sets_.texts[L"Free"] = "<Tweaks><Category n=\"Windows/System\"><Tweak n=\"T\"/></Category></Tweak>";
    sets_.texts[L"Silver"] = "<Other/>";
    bool parsed = true;
    Tweaker::Manager& manager = Load(&parsed);
    EXPECT_FALSE(parsed);
    EXPECT_EQ(0, manager.CountTweaks());
    const auto& problems = manager.LoadProblems();
    ASSERT_EQ(3u, problems.size());
    EXPECT_EQ(L"set Free", problems[0].where);
    EXPECT_NE(std::wstring::npos, problems[0].text.find(L"Tweak")) << problems[0].text;
    EXPECT_EQ(L"set Silver", problems[1].where);
    EXPECT_EQ(L"The root element is not Tweaks.", problems[1].text);
    EXPECT_EQ(userFile, problems[2].where);
}

TEST_F(CatalogueLoadTest, AnUnparsableConfigurationIsKeptAsideAndAFreshOneSaves)
{
    SetUserTweaksPath(L"");
    Load();
    const std::wstring path = manager_->ConfigurationPath();
    const std::string broken = "<Tweaks><Tweak n=\"Alpha\" enabled=\"0\">";
    ASSERT_EQ(0u, Platform::WriteWholeFile(path, broken));
    Load();
    EXPECT_EQ(broken, ReadFile(path + L".bad"));
    EXPECT_EQ("<Tweaks></Tweaks>", ConfigText());
    ASSERT_EQ(1u, manager_->LoadProblems().size());
    EXPECT_EQ(path, manager_->LoadProblems()[0].where);
    EXPECT_TRUE(Find(L"Alpha")->IsSelected());  // the file's choice, as on a first start
    ASSERT_EQ(0u, manager_->UpdateConfigRecordAndSave(*Find(L"Beta")));

    // A second broken file never overwrites the first one kept aside.
    ASSERT_EQ(0u, Platform::WriteWholeFile(path, "\xff\xfe not UTF-8"));
    Load();
    EXPECT_EQ(broken, ReadFile(path + L".bad"));
    EXPECT_EQ("\xff\xfe not UTF-8", ReadFile(path + L".bad2"));
    EXPECT_EQ("<Tweaks></Tweaks>", ConfigText());
}

TEST_F(CatalogueLoadTest, SavingWithoutAConfigurationFileWritesNothing)
{
    SetUserTweaksPath(L"");
    Load();
    ASSERT_EQ(0u, Fs().DeleteFile(manager_->ConfigurationPath()));
    EXPECT_EQ(Err::FileNotFound, manager_->SaveConfiguration());
    EXPECT_FALSE(Exists(manager_->ConfigurationPath()));
}

TEST_F(CatalogueLoadTest, ApplyingValuesSetsListedTweaksSelectionsAndLeavesTheOthers)
{
    SetUserTweaksPath(L"");
    Load();
    Tweaker::TweakValuesMap profile;
    profile[L"Beta"] = {false, {}};
    profile[L"Edit"] = {true, {{L"E", L"", L"chosen", L"VALUE_SET"}}};
    manager_->ApplyTweakValues(*manager_->Categories()[0], profile);
    EXPECT_TRUE(Find(L"Alpha")->IsSelected());
    EXPECT_FALSE(Find(L"Beta")->IsSelected());  // the entry's own flag
    EXPECT_TRUE(Find(L"Edit")->IsSelected());
    EXPECT_EQ(L"chosen", manager_->ConfigTweakValues().at(L"Edit").items.at(0).curval);
    EXPECT_EQ(0u, manager_->ConfigTweakValues().count(L"Alpha"));
}

#ifndef _WIN32
// A crash between writing the new configuration and putting it in place
// (the replace fails) leaves the old file whole and no temporary behind.
TEST_F(CatalogueLoadTest, AFailedReplaceLeavesTheOldConfigurationWhole)
{
    SetUserTweaksPath(L"");
    Load();
    Find(L"Beta")->SetSelected(true);
    ASSERT_EQ(0u, manager_->UpdateConfigRecordAndSave(*Find(L"Beta")));
    const std::string before = ConfigText();
    const std::wstring path = manager_->ConfigurationPath();

    Portable().Faults().FailWhen(Platform::Portable::Operation::MoveFile, path + L".tmp", Err::WriteFault);
    Find(L"Gamma")->SetSelected(false);
    EXPECT_EQ(Err::WriteFault, manager_->UpdateConfigRecordAndSave(*Find(L"Gamma")));
    EXPECT_EQ(before, ConfigText());
    EXPECT_FALSE(Exists(path + L".tmp"));

    Portable().Faults().Clear();
    Portable().Faults().FailWhen(Platform::Portable::Operation::FlushFile, path + L".tmp", Err::WriteFault);
    EXPECT_EQ(Err::WriteFault, manager_->SaveConfiguration());
    EXPECT_EQ(before, ConfigText());

    Portable().Faults().Clear();
    EXPECT_EQ(0u, manager_->SaveConfiguration());
    EXPECT_NE(before, ConfigText());
}

// A configuration that can be neither read nor moved aside is never
// overwritten.
TEST_F(CatalogueLoadTest, AConfigurationThatCannotBeKeptAsideIsNeverOverwritten)
{
    SetUserTweaksPath(L"");
    Load();
    const std::wstring path = manager_->ConfigurationPath();
    ASSERT_EQ(0u, Platform::WriteWholeFile(path, "<broken"));
    Portable().Faults().FailWhen(Platform::Portable::Operation::MoveFile, path, Err::AccessDenied);
    Load();
    EXPECT_EQ(Err::AccessDenied, manager_->UpdateConfigRecordAndSave(*Find(L"Alpha")));
    Portable().Faults().Clear();
    EXPECT_EQ("<broken", ConfigText());
}

TEST_F(CatalogueLoadTest, TheFirstRunCreatesEveryMissingFolder)
{
    SetUserTweaksPath(L"");
    Portable().System().SetSpecialFolder(Sys::Csidl::AppData, PathOf(L"deep\\er\\AppData"));
    Load();
    EXPECT_EQ(PathOf(L"deep\\er\\AppData\\") + folderName_ + L"\\Config.xml", manager_->ConfigurationPath());
    EXPECT_EQ("<Tweaks></Tweaks>", ConfigText());
}
#endif

}  // namespace
