// The editor's decisions without a window: a new document, new tweaks and
// items, enabled fields, drop-down lists, Save, and removing nodes.
#include <gtest/gtest.h>

#include "tests/knobset/KnobsetTesting.h"
#include "utils/Knobset/document/DefaultCategories.h"
#include "utils/Knobset/document/DocumentWriter.h"
#include "utils/Knobset/document/EditorRules.h"
#include "utils/Knobset/document/Keywords.h"

namespace {

using namespace Knobset;
using KnobsetTesting::Read;

TEST(EditorRules, ANewDocumentHoldsTheEightCategoriesInOrder)
{
    const Document document = NewDocument();
    const std::pair<const wchar_t*, const wchar_t*> expected[] = {
        {L"Windows/System", L"AQUA.MENU.WINDOWSSYS"},     {L"Filesystem", L"AQUA.MENU.FILESYS"},
        {L"Network/Internet", L"AQUA.MENU.NETWORK"},      {L"Configuration/Appearance", L"AQUA.MENU.CONFIGAPPEARENCE"},
        {L"Security Leaks", L"AQUA.MENU.SECURITYLEAKS"},  {L"Privacy Leaks", L"AQUA.MENU.PRIVACYLEAKS"},
        {L"Applications Tuning", L"AQUA.MENU.APPTUNING"}, {L"CPU/Memory/Hardware", L"AQUA.MENU.CPUMEMHARD"},
    };
    ASSERT_EQ(document.categories.size(), std::size(expected));
    for (size_t i = 0; i < std::size(expected); ++i) {
        EXPECT_EQ(document.categories[i].name, expected[i].first);
        EXPECT_EQ(document.categories[i].icon, expected[i].second);
        EXPECT_TRUE(document.categories[i].tweaks.empty());
    }
    EXPECT_EQ(DefaultCategories().size(), 8u);
}

TEST(EditorRules, NewTweaksAreNamedByTheTimeAndNeverShareAName)
{
    Document document = NewDocument();
    Tweak first = NewTweak(document, 1700000000);
    EXPECT_EQ(first.name, L"tweak1700000000");
    EXPECT_EQ(first.ver, L"WIN_32");
    EXPECT_FALSE(first.icon.has_value());
    EXPECT_TRUE(first.items.empty());
    document.categories[3].tweaks.push_back(first);
    // The same second again, as two presses within a second would give.
    EXPECT_EQ(NewTweak(document, 1700000000).name, L"tweak1700000001");
}

TEST(EditorRules, ANewItemIsAValueSetKeyUnderHkcu)
{
    const Item item = NewKeyItem();
    EXPECT_EQ(item.kind, ItemKind::Key);
    EXPECT_EQ(item.key.parent, L"HKCU");
    EXPECT_EQ(item.key.valuetype, L"REG_SZ");
    EXPECT_EQ(item.key.action, L"VALUE_SET");
    Key empty;
    empty.parent = item.key.parent;
    empty.valuetype = item.key.valuetype;
    empty.action = item.key.action;
    EXPECT_EQ(item.key, empty);  // every other field empty
}

TEST(EditorRules, KeyFieldsAreEnabledByEditableAndType)
{
    Key key;
    key.editable = L"set";
    key.valuetype = L"REG_BINARY";
    KeyFieldStates states = KeyFieldStatesOf(key);
    EXPECT_TRUE(states.choicesEnabled);
    EXPECT_FALSE(states.valuedescrEnabled);
    EXPECT_TRUE(states.byteLengthEnabled);
    key.editable = L"range";
    key.valuetype = L"REG_DWORD";
    states = KeyFieldStatesOf(key);
    EXPECT_FALSE(states.choicesEnabled);
    EXPECT_TRUE(states.valuedescrEnabled);
    EXPECT_FALSE(states.byteLengthEnabled);
}

TEST(EditorRules, DropDownListsShowEmptyTextsAsTheirMeaning)
{
    EXPECT_EQ(ShownEditable(L""), L"no");
    EXPECT_EQ(ShownEditable(L"set"), L"set");
    EXPECT_EQ(ShownAction(L""), L"VALUE_SET");
    EXPECT_EQ(ShownAction(L"KEY_SET"), L"KEY_SET");
    EXPECT_EQ(ShownVersion(L""), L"WIN_32");
}

TEST(EditorRules, DropDownListsOfferEveryKeywordAndKeepAnyOtherText)
{
    const std::vector<std::wstring> versions = VersionChoices(L"WIN_XP");
    EXPECT_EQ(versions, (std::vector<std::wstring>{L"WIN_32", L"WIN_2000", L"WIN_XP", L"WIN_2003", L"WIN_VISTA6",
                                                   L"WIN_VISTA7", L"WIN_8", L"WIN_81", L"WIN_10", L"WIN_11"}));
    EXPECT_EQ(VersionChoices(L"").size(), versions.size());
    EXPECT_EQ(VersionChoices(L"WIN_95").back(), L"WIN_95");
    for (const std::wstring_view v : VersionKeywords()) {
        EXPECT_TRUE(IsVersionKeyword(v));
    }
    EXPECT_FALSE(IsVersionKeyword(L"WIN_32"));
    // maxver: an empty entry (no newest version) and every keyword.
    const std::vector<std::wstring> newest = MaxVersionChoices(L"WIN_VISTA7");
    EXPECT_EQ(newest, (std::vector<std::wstring>{L"", L"WIN_2000", L"WIN_XP", L"WIN_2003", L"WIN_VISTA6", L"WIN_VISTA7",
                                                 L"WIN_8", L"WIN_81", L"WIN_10", L"WIN_11"}));
    EXPECT_EQ(MaxVersionChoices(L""), newest);
    EXPECT_EQ(MaxVersionChoices(L"WIN_32").back(), L"WIN_32");

    const std::vector<std::wstring> actions = ActionChoices(L"");
    EXPECT_EQ(actions.size(), 9u);  // the nine actions; an empty one shows as VALUE_SET
    EXPECT_EQ(actions.front(), L"VALUE_SET");
    EXPECT_EQ(ActionChoices(L"SUBKEYS_DELETE").size(), 9u);
    EXPECT_EQ(ActionChoices(L"FROB").back(), L"FROB");
    EXPECT_EQ(ParentChoices(L"DEFAULT_USER").size(), 9u);
    EXPECT_EQ(ParentChoices(L"HKXX").back(), L"HKXX");
    EXPECT_EQ(ValueTypeChoices(L"REG_EXPAND_SZ").size(), 9u);
    EXPECT_EQ(EditableChoices(L""), (std::vector<std::wstring>{L"no", L"range", L"set"}));
}

TEST(EditorRules, SaveDependsOnCategoriesChangesAndPath)
{
    const Document document = NewDocument();
    EXPECT_EQ(DecideSave(document, false, L"C:\\t.xml"), SaveStep::NothingToSave);
    EXPECT_EQ(DecideSave(Document{}, true, L"C:\\t.xml"), SaveStep::NothingToSave);
    EXPECT_EQ(DecideSave(document, true, L""), SaveStep::AskForPath);
    EXPECT_EQ(DecideSave(document, true, L"C:\\t.xml"), SaveStep::Write);
}

TEST(EditorRules, TreeNodeKindsFollowTheDepth)
{
    EXPECT_EQ(NodeKindName(NodeKindAtDepth(0)), L"Category");
    EXPECT_EQ(NodeKindName(NodeKindAtDepth(1)), L"Tweak");
    EXPECT_EQ(NodeKindName(NodeKindAtDepth(2)), L"Item");
    EXPECT_EQ(NodeKindName(NodeKindAtDepth(3)), L"Unknown Type");
    EXPECT_EQ(NodeKindName(NodeKindAtDepth(-1)), L"Unknown Type");
}

TEST(EditorRules, RemovingANodeKeepsTheMarkupThatStoodBeforeIt)
{
    Document document = Read(
        LR"(<Tweaks><Category n="C">
      <Group n="g"/><Tweak n="a"><!--x--><Key path="1"/><Key path="2"/></Tweak>
      <!--b--><Tweak n="b"><Key editable="set"><values><!--v--><value val="1"/></values></Key></Tweak>
    </Category></Tweaks>)");
    Category& category = document.categories[0];
    ASSERT_TRUE(RemoveTweak(&category, 0));
    EXPECT_EQ(category.tweaks.at(0).keptBefore, (KeptMarkup{L"<Group n=\"g\"/>", L"<!--b-->"}));
    Tweak& b = category.tweaks[0];
    ASSERT_TRUE(RemoveChoice(&b.items[0].key, 0));
    EXPECT_EQ(b.items[0].key.keptAfterChoices, (KeptMarkup{L"<!--v-->"}));
    ASSERT_TRUE(RemoveTweak(&category, 0));
    EXPECT_EQ(category.keptAtEnd, (KeptMarkup{L"<Group n=\"g\"/>", L"<!--b-->"}));
    EXPECT_FALSE(RemoveTweak(&category, 0));
    EXPECT_NE(WriteDocumentText(document).find(L"<Group n=\"g\"/>"), std::wstring::npos);

    Document second =
        Read(L"<Tweaks><Category><Tweak><!--x--><Key path=\"1\"/><X/><Key path=\"2\"/></Tweak></Category></Tweaks>");
    Tweak& tweak = second.categories[0].tweaks[0];
    ASSERT_TRUE(RemoveItem(&tweak, 1));
    ASSERT_TRUE(RemoveItem(&tweak, 0));
    EXPECT_TRUE(tweak.items.empty());
    EXPECT_EQ(tweak.keptAtEnd, (KeptMarkup{L"<!--x-->", L"<X/>"}));
    EXPECT_FALSE(RemoveItem(&tweak, 0));
}

}  // namespace
