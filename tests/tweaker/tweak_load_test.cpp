// Reading tweak files into the model: element and attribute rules, version
// filtering, configuration values and the default snapshot.
#include <gtest/gtest.h>

#include "core/system/Caches.h"
#include "core/system/OsVersion.h"
#include "tests/tweaker/TweakerFixture.h"

namespace {

using namespace TweakerTesting;
using Tweaker::Group;
using Tweaker::SimpleTweak;

using TweakLoadTest = TweakerTest;

SimpleTweak* TweakAt(const Group& group, size_t index)
{
    return dynamic_cast<SimpleTweak*>(group.GetChildren().at(index).Get());
}

std::vector<std::wstring> ChildNames(const Group& group)
{
    std::vector<std::wstring> names;
    for (const auto& child : group.GetChildren()) {
        names.push_back(child->GetName());
    }
    return names;
}

const wchar_t kVersions[] =
    LR"(<Tweaks><Category n="C">
  <Tweak n="any"/><Tweak n="w32" ver="WIN_32"/><Tweak n="2000" ver="WIN_2000"/><Tweak n="xp" ver="WIN_XP"/>
  <Tweak n="2003" ver="WIN_2003"/><Tweak n="vista" ver="WIN_VISTA6"/><Tweak n="7" ver="WIN_VISTA7"/>
  <Tweak n="8" ver="WIN_8"/><Tweak n="81" ver="WIN_81"/><Tweak n="10" ver="WIN_10"/><Tweak n="11" ver="WIN_11"/>
  <Group n="g" ver="WIN_11"><Tweak n="inner"/></Group>
</Category></Tweaks>)";

TEST_F(TweakLoadTest, VersionFilteringKeepsTweaksUpToTheRunningSystem)
{
    struct Case {
        int code;
        std::vector<std::wstring> names;
    };
    const Case cases[] = {
        {0, {L"any", L"w32", L"g"}},
        {6, {L"any", L"w32", L"2000", L"g"}},
        {7, {L"any", L"w32", L"2000", L"xp", L"g"}},
        {10, {L"any", L"w32", L"2000", L"xp", L"2003", L"vista", L"7", L"g"}},
        {13, {L"any", L"w32", L"2000", L"xp", L"2003", L"vista", L"7", L"8", L"81", L"10", L"g"}},
        {14, {L"any", L"w32", L"2000", L"xp", L"2003", L"vista", L"7", L"8", L"81", L"10", L"11", L"g"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.code);
        Tweaker::Manager manager;
        const auto categories = LoadTweaks(manager, kVersions, c.code);
        ASSERT_EQ(categories.size(), 1u);
        EXPECT_EQ(ChildNames(*categories[0]), c.names);
    }
}

const wchar_t kVersionRanges[] =
    LR"(<Tweaks><Category n="C">
  <Tweak n="to-vista7" ver="WIN_VISTA6" maxver="WIN_VISTA7"/><Tweak n="upto-xp" maxver="WIN_XP"/>
  <Tweak n="only-10" ver="WIN_10" maxver="WIN_10"/><Tweak n="unknown-max" maxver="WIN_32"/>
  <Tweak n="max-11" ver="WIN_8" maxver="WIN_11"/>
</Category></Tweaks>)";

TEST_F(TweakLoadTest, MaxverDropsTweaksOnNewerSystemsAsVerDropsThemOnOlderOnes)
{
    struct Case {
        int code;
        std::vector<std::wstring> names;
    };
    const Case cases[] = {
        {0, {L"upto-xp", L"unknown-max"}},
        {7, {L"upto-xp", L"unknown-max"}},
        {8, {L"unknown-max"}},
        {9, {L"to-vista7", L"unknown-max"}},
        {10, {L"to-vista7", L"unknown-max"}},
        {11, {L"unknown-max", L"max-11"}},
        {13, {L"only-10", L"unknown-max", L"max-11"}},
        {14, {L"unknown-max", L"max-11"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.code);
        Tweaker::Manager manager;
        const auto categories = LoadTweaks(manager, kVersionRanges, c.code);
        ASSERT_EQ(categories.size(), 1u);
        EXPECT_EQ(ChildNames(*categories[0]), c.names);
    }
    Tweaker::Manager manager;
    const auto categories = LoadTweaks(manager, kVersionRanges, 10);
    EXPECT_EQ(L"WIN_VISTA7", TweakAt(*categories[0], 0)->GetMaxVersionText());
    EXPECT_EQ(Sys::OsCode::Windows7, TweakAt(*categories[0], 0)->GetMaximumSystem());
}

#ifndef _WIN32
TEST_F(TweakLoadTest, WithoutAnOverrideTheRunningSystemDecides)
{
    Platform::VersionInfo xp;
    xp.major = 5;
    xp.minor = 1;
    xp.build = 2600;
    Portable().System().SetVersion(xp);
    Sys::ResetSystemCachesForTesting();
    ASSERT_EQ(Sys::GetOsVersionCode(), Sys::OsCode::WindowsXp);
    Tweaker::Manager manager;
    manager.RegisterFactories();
    XmlDocument doc;
    ASSERT_TRUE(doc.SetDoc(kVersions));
    std::vector<RTI::Reference<Group>> categories;
    ASSERT_TRUE(manager.LoadCategories(doc, &categories));
    EXPECT_EQ(ChildNames(*categories[0]), (std::vector<std::wstring>{L"any", L"w32", L"2000", L"xp", L"g"}));
}
#endif

TEST_F(TweakLoadTest, EnabledSelectsOnlyForOneAndManageableIsFalseOnlyForZero)
{
    Tweaker::Manager manager;
    const auto categories = LoadTweaks(manager,
                                       LR"(<Tweaks><Category n="C">
        <Tweak n="a" enabled="1"/><Tweak n="b" enabled="true"/><Tweak n="c"/><Tweak n="d" enabled=" 1"/>
        <Tweak n="e" manageable="0"/><Tweak n="f" manageable="false"/><Tweak n="g" manageable=""/>
        </Category></Tweaks>)");
    const Group& c = *categories.at(0);
    EXPECT_TRUE(TweakAt(c, 0)->IsSelected());
    EXPECT_FALSE(TweakAt(c, 1)->IsSelected());
    EXPECT_FALSE(TweakAt(c, 2)->IsSelected());
    EXPECT_FALSE(TweakAt(c, 3)->IsSelected());
    EXPECT_FALSE(TweakAt(c, 4)->IsManageable());
    EXPECT_TRUE(TweakAt(c, 5)->IsManageable());
    EXPECT_TRUE(TweakAt(c, 6)->IsManageable());
    EXPECT_TRUE(TweakAt(c, 0)->IsManageable());
}

TEST_F(TweakLoadTest, GroupChildrenIgnoreCaseButItemsAndTextsDoNot)
{
    Tweaker::Manager manager;
    const auto categories = LoadTweaks(manager,
                                       LR"(<Tweaks><Category n="C" i="AQUA.MENU.FILESYS"><d>About</d>
        <tweak n="lower"/><TWEAK n="upper"><D>not the description</D><d>desc</d><dex>more</dex>
          <key parent="HKCU" path="x"/><Key parent="HKCU" path="x"/><Unknown/><File path="C:\x" name="y" action="FILE_DELETE"/>
        </TWEAK><Widget n="skipped"/><application n="app"><Tweak n="inapp"/></application>
        </Category><Other n="ignored"/></Tweaks>)");
    ASSERT_EQ(categories.size(), 1u);
    const Group& c = *categories[0];
    EXPECT_EQ(c.GetDescription(), L"About");
    EXPECT_EQ(c.GetIcon(), L"AQUA.MENU.FILESYS");
    EXPECT_EQ(ChildNames(c), (std::vector<std::wstring>{L"lower", L"upper", L"app"}));
    const SimpleTweak* upper = TweakAt(c, 1);
    EXPECT_EQ(upper->GetDescription(), L"desc");
    EXPECT_EQ(upper->GetDetails(), L"more");
    ASSERT_EQ(upper->CountItems(), 2u);
    EXPECT_EQ(upper->GetItems()[0]->GetTypeName(), L"Key");
    EXPECT_EQ(upper->GetItems()[1]->GetTypeName(), L"File");
    EXPECT_NE(dynamic_cast<Tweaker::Application*>(c.GetChildren()[2].Get()), nullptr);
    EXPECT_EQ(c.CountNodes(), 5);
}

TEST_F(TweakLoadTest, RootOtherThanTweaksLoadsNothing)
{
    Tweaker::Manager manager;
    manager.RegisterFactories();
    XmlDocument doc;
    ASSERT_TRUE(doc.SetDoc(L"<Tweak><Category n=\"C\"/></Tweak>"));
    std::vector<RTI::Reference<Group>> categories;
    EXPECT_FALSE(manager.LoadCategories(doc, &categories));
    EXPECT_TRUE(categories.empty());
}

TEST_F(TweakLoadTest, KeyWithoutActionIsValueSetAndReadsOnlyItsActionsAttributes)
{
    auto plain = LoadItem<Tweaker::Key>(
        L"<Key parent=\"HKLM\" path=\"p\" valuename=\"v\" valuetype=\"REG_BINARY\" valueval=\"AA==\" "
        L"valuevalbytelen=\"3\" recursive=\"1\"/>");
    EXPECT_EQ(plain->GetActionText(), L"VALUE_SET");
    EXPECT_EQ(plain->GetActionCode(), Tweaker::Action::ValueSet);
    EXPECT_EQ(plain->GetByteLength(), 3u);
    EXPECT_EQ(plain->GetRecommendedValue(), L"AA==");
    EXPECT_FALSE(plain->IsRecursive());  // not read for VALUE_SET

    auto keySet = LoadItem<Tweaker::Key>(
        L"<Key parent=\"HKLM\" path=\"p\" keyname=\"k\" action=\"KEY_SET\" valuename=\"v\" recursive=\"1\"/>");
    EXPECT_EQ(keySet->GetValueName(), L"");
    EXPECT_FALSE(keySet->IsRecursive());

    auto valueDelete = LoadItem<Tweaker::Key>(
        L"<Key parent=\"HKLM\" path=\"p\" action=\"VALUE_DELETE\" valuename=\"v\" valueval=\"x\" recursive=\"1\"/>");
    EXPECT_EQ(valueDelete->GetValueName(), L"v");
    EXPECT_TRUE(valueDelete->IsRecursive());
    EXPECT_EQ(valueDelete->GetConfiguredValue(), L"");
}

TEST_F(TweakLoadTest, ChoiceListKeyReadsEveryAttributeWhateverItsAction)
{
    auto key = LoadItem<Tweaker::Key>(
        LR"(<Key parent="HKCU" path="p" action="VALUE_DELETE" valuename="v"
        valuetype="REG_DWORD" valueval="1" editable="set"><values>
          <value val="1" descr="On" main="1"/><value action="VALUE_DELETE" descr="Off"/></values></Key>)");
    EXPECT_EQ(key->GetEditKind(), Tweaker::EditKind::Choices);
    EXPECT_EQ(key->GetValueType(), Platform::RegType::Dword);
    EXPECT_EQ(key->GetConfiguredValue(), L"1");
    const auto choices = key->GetChoices();
    ASSERT_EQ(choices.size(), 2u);
    EXPECT_EQ(choices[0].action, L"VALUE_SET");
    EXPECT_TRUE(choices[0].main);
    EXPECT_EQ(choices[1].action, L"VALUE_DELETE");
    EXPECT_EQ(choices[1].val, L"");
    EXPECT_FALSE(choices[1].main);
}

TEST_F(TweakLoadTest, FileWithUnknownActionAndShortcutWithUnknownFolderAreRejected)
{
    Tweaker::Manager manager;
    const auto categories = LoadTweaks(manager,
                                       LR"(<Tweaks><Category n="C"><Tweak n="t">
        <File path="C:\x" name="a" action="FILE_COPY"/>
        <Shortcut shcname="s" shcfoldername="CSIDL_DESKTOP"/>
        <Shortcut shcname="ok.LNK" shcfoldername="CSIDL_APPDATA"/>
        <Key parent="HKCU" path="p" keyname="k" action="KEY_SET"/>
        </Tweak></Category></Tweaks>)");
    const SimpleTweak* tweak = TweakAt(*categories.at(0), 0);
    ASSERT_EQ(tweak->CountItems(), 2u);
    EXPECT_EQ(tweak->GetItems()[0]->GetTypeName(), L"Shortcut");
    EXPECT_EQ(tweak->GetItems()[0]->GetName(), L"ok");
}

TEST_F(TweakLoadTest, ShortcutNameLosesOnlyTheFirstLinkExtension)
{
    EXPECT_EQ(LoadItem<Tweaker::Shortcut>(L"<Shortcut shcname=\"a.Lnk\" shcfoldername=\"CSIDL_PERSONAL\"/>")->GetName(),
              L"a");
    EXPECT_EQ(
        LoadItem<Tweaker::Shortcut>(L"<Shortcut shcname=\"a.lnk.LNK\" shcfoldername=\"CSIDL_PERSONAL\"/>")->GetName(),
        L"a.LNK");
}

TEST_F(TweakLoadTest, GroupsNestedTooDeepAreDropped)
{
    std::wstring xml = L"<Tweaks><Category n=\"C\">";
    for (int i = 0; i < 70; ++i) {
        xml += L"<Group n=\"" + std::to_wstring(i) + L"\">";
    }
    for (int i = 0; i < 70; ++i) {
        xml += L"</Group>";
    }
    xml += L"</Category></Tweaks>";
    Tweaker::Manager manager;
    const auto categories = LoadTweaks(manager, xml);
    ASSERT_EQ(categories.size(), 1u);
    // The category is level 1; levels 2 to 64 are kept.
    EXPECT_EQ(categories[0]->CountNodes(), Tweaker::Manager::kMaxGroupDepth);
}

TEST_F(TweakLoadTest, StoredConfigurationOverridesSelectionAndValuesAndTheFileValuesAreKept)
{
    Tweaker::Manager manager;
    manager.ConfigTweakValues()[L"t"] = {false, {{L"v", L"", L"2", L"VALUE_SET"}, {L"v", L"C:\\elsewhere", L"9", L""}}};
    manager.ConfigTweakValues()[L"b"] = {true, {{L"w", L"", L"AQ==", L"VALUE_SET"}}};
    const auto categories = LoadTweaks(manager,
                                       LR"(<Tweaks><Category n="C">
        <Tweak n="t" enabled="1"><Key parent="HKCU" path="p" valuename="v" valuetype="REG_DWORD" valueval="1"/></Tweak>
        <Tweak n="b"><Key parent="HKCU" path="p" valuename="w" valuetype="REG_BINARY" valueval="AAA=" valuevalbytelen="2"
           editable="set"><values><value val="AAA=" valuevalbytelen="2"/><value val="AQ==" valuevalbytelen="1"/></values></Key></Tweak>
        <Tweak n="plain" enabled="1"><Key parent="HKCU" path="p" valuename="v" valuetype="REG_DWORD" valueval="1"/></Tweak>
        </Category></Tweaks>)");
    const Group& c = *categories.at(0);
    const SimpleTweak* t = TweakAt(c, 0);
    EXPECT_FALSE(t->IsSelected());
    auto* key = dynamic_cast<Tweaker::Key*>(t->GetItems()[0].Get());
    EXPECT_EQ(key->GetConfiguredValue(), L"2");
    EXPECT_EQ(key->GetRecommendedValue(), L"1");
    auto* binary = dynamic_cast<Tweaker::Key*>(TweakAt(c, 1)->GetItems()[0].Get());
    EXPECT_TRUE(TweakAt(c, 1)->IsSelected());
    EXPECT_EQ(binary->GetConfiguredValue(), L"AQ==");
    EXPECT_EQ(binary->GetByteLength(), 1u);

    const Tweaker::TweakValuesMap& defaults = manager.DefaultTweakValues();
    EXPECT_EQ(defaults.at(L"t"), (Tweaker::TweakValues{true, {{L"v", L"", L"1", L"VALUE_SET"}}}));
    // Every registry item is in the snapshot, stored choices or not.
    EXPECT_EQ(defaults.at(L"plain"), (Tweaker::TweakValues{true, {{L"v", L"", L"1", L"VALUE_SET"}}}));
}

TEST_F(TweakLoadTest, CollectTweakValuesRecordsRegistryItemsOnly)
{
    Tweaker::Manager manager;
    manager.Categories() = LoadTweaks(manager,
                                      LR"(<Tweaks><Category n="C">
        <Tweak n="t" enabled="1"><Key parent="HKCU" path="p" valuename="v" valuetype="REG_SZ" valueval="x"/>
          <File path="C:\x" name="y" action="FILE_DELETE"/></Tweak>
        <Tweak n="f"><File path="C:\x" name="y" action="FILE_DELETE"/></Tweak>
        </Category></Tweaks>)");
    Tweaker::TweakValuesMap map;
    map[L"f"] = {true, {{L"kept", L"", L"", L""}}};
    manager.CollectTweakValues(map);
    EXPECT_EQ(map.at(L"t"), (Tweaker::TweakValues{true, {{L"v", L"", L"x", L"VALUE_SET"}}}));
    EXPECT_EQ(map.at(L"f").items.at(0).n, L"kept");
}

TEST_F(TweakLoadTest, HostileInputNeverCrashes)
{
    const wchar_t* const texts[] = {
        L"<Tweaks><Category><Tweak><Key valuevalbytelen=\"99999999999999\" valuetype=\"REG_BINARY\"/></Tweak>"
        L"</Category></Tweaks>",
        L"<Tweaks><Category><Tweak><Key editable=\"set\"><values><values/><value/></values></Key></Tweak>"
        L"</Category></Tweaks>",
        L"<Tweaks><Category><Tweak><Tweak/><Category/></Tweak></Category></Tweaks>",
    };
    for (const wchar_t* text : texts) {
        Tweaker::Manager manager;
        const auto categories = LoadTweaks(manager, text);
        ASSERT_EQ(categories.size(), 1u);
        for (const auto& child : categories[0]->GetChildren()) {
            (void)child->Analyse(nullptr, categories[0].Get(), nullptr);
        }
    }
}

}  // namespace
