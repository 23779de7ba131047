// Writing documents: the format's writing order for a document made in the
// editor, and the rules that keep a written file meaning what it meant.
#include <gtest/gtest.h>

#include <algorithm>

#include "tests/knobset/KnobsetTesting.h"
#include "utils/Knobset/document/DefaultCategories.h"
#include "utils/Knobset/document/DocumentWriter.h"
#include "utils/Knobset/document/EditorRules.h"

namespace {

using namespace Knobset;
using KnobsetTesting::Read;

std::wstring WithoutCarriageReturns(std::wstring text)
{
    std::erase(text, L'\r');
    return text;
}

Item KeyItem(std::wstring_view action, std::wstring_view type)
{
    Item item = NewKeyItem();
    item.key.path = L"Software\\Corvane";
    item.key.action = action;
    item.key.valuetype = type;
    return item;
}

// A document made the way the editor makes one: New file, Add Tweak, Add Item
// and field edits.
Document BuiltInCode()
{
    Document document = NewDocument();
    document.categories.resize(2);
    document.categories[1].name = L"Filesystem & <Disks>";

    Tweak tweak = NewTweak(document, 1700000000);
    tweak.enabled = L"1";
    tweak.manageable = L"0";
    tweak.description = L"Faster \"menus\" & more";
    tweak.details = L"Second <text>";

    Item binary = KeyItem(L"VALUE_SET", L"REG_BINARY");
    binary.key.valuename = L"Mask";
    binary.key.valueval = L"AAEC";
    binary.key.valuevalbytelen = L"3";
    tweak.items.push_back(binary);

    Item keySet = KeyItem(L"KEY_SET", L"REG_SZ");  // the type a new item starts with: not written for KEY_SET
    keySet.key.keyname = L"Sub";
    keySet.key.editable = L"no";
    tweak.items.push_back(keySet);

    Item deletion = KeyItem(L"VALUE_DELETE", L"REG_SZ");
    deletion.key.valuename = L"Old";
    deletion.key.valueval = L"left from VALUE_SET";  // not written for VALUE_DELETE
    deletion.key.valuedescr = L"not a range";        // not written unless editable is "range"
    tweak.items.push_back(deletion);

    Item choices = KeyItem(L"VALUE_SET", L"REG_BINARY");
    choices.key.valuevalbytelen = L"2";
    choices.key.editable = L"set";
    Choice main;
    main.main = L"1";
    main.val = L"AAA=";
    main.valuevalbytelen = L"2";
    main.descr = L"Zero";
    main.action = L"VALUE_SET";
    Choice remove;
    remove.action = L"VALUE_DELETE";
    choices.key.choices = {main, remove};
    tweak.items.push_back(choices);

    Item range = KeyItem(L"VALUE_SET", L"REG_DWORD");
    range.key.editable = L"range";
    range.key.valuedescr = L"0 to 10";
    tweak.items.push_back(range);

    document.categories[1].tweaks.push_back(tweak);
    Tweak plain = NewTweak(document, 1700000000);
    plain.maxver = L"WIN_VISTA7";
    document.categories[1].tweaks.push_back(plain);
    return document;
}

TEST(DocumentWriter, FollowsTheWritingOrderForADocumentMadeInTheEditor)
{
    const std::wstring written = WriteDocumentText(BuiltInCode());
    EXPECT_EQ(WithoutCarriageReturns(written),
              LR"(<Tweaks>
  <Category n="Windows/System" i="AQUA.MENU.WINDOWSSYS"/>
  <Category n="Filesystem &amp; &lt;Disks&gt;" i="AQUA.MENU.FILESYS">
    <Tweak n="tweak1700000000" i="AQUA.MENU.FILESYS" ver="WIN_32" enabled="1" manageable="0">
      <d>Faster "menus" &amp; more</d>
      <dex>Second &lt;text&gt;</dex>
      <Key parent="HKCU" path="Software\Corvane" action="VALUE_SET" valuename="Mask" valuetype="REG_BINARY" valueval="AAEC" valuevalbytelen="3"/>
      <Key parent="HKCU" path="Software\Corvane" keyname="Sub" action="KEY_SET"/>
      <Key parent="HKCU" path="Software\Corvane" action="VALUE_DELETE" valuename="Old" valuetype="REG_SZ"/>
      <Key parent="HKCU" path="Software\Corvane" action="VALUE_SET" valuetype="REG_BINARY" valueval="" valuevalbytelen="2" editable="set">
        <values>
          <value main="1" val="AAA=" valuevalbytelen="2" descr="Zero"/>
          <value action="VALUE_DELETE" valuevalbytelen=""/>
        </values>
      </Key>
      <Key parent="HKCU" path="Software\Corvane" action="VALUE_SET" valuetype="REG_DWORD" valueval="" editable="range" valuedescr="0 to 10"/>
    </Tweak>
    <Tweak n="tweak1700000001" i="AQUA.MENU.FILESYS" ver="WIN_32" maxver="WIN_VISTA7" enabled=""/>
  </Category>
</Tweaks>
)");
    // Every line ends with CR LF.
    EXPECT_EQ(std::count(written.begin(), written.end(), L'\r'), std::count(written.begin(), written.end(), L'\n'));
}

TEST(DocumentWriter, ATweakOfItsOwnIconKeepsItAndANewOneTakesItsCategorys)
{
    Document document =
        Read(LR"(<Tweaks><Category n="C" i="CAT"><Tweak n="own" i="MINE"/><Tweak n="none"/></Category></Tweaks>)");
    Tweak added = NewTweak(document, 7);
    document.categories[0].tweaks.push_back(added);
    document.categories[0].icon = L"CHANGED";
    const std::wstring written = WriteDocumentText(document);
    EXPECT_NE(written.find(L"<Tweak n=\"own\" i=\"MINE\""), std::wstring::npos);
    EXPECT_NE(written.find(L"<Tweak n=\"none\" i=\"\""), std::wstring::npos);
    EXPECT_NE(written.find(L"<Tweak n=\"tweak7\" i=\"CHANGED\""), std::wstring::npos);
}

TEST(DocumentWriter, AFileKeepsEveryAttributeItHad)
{
    const std::wstring written =
        WriteDocumentText(Read(LR"(<Tweaks><Category n="C"><Tweak n="t" manageable="1">
      <Key path="p" editable="no" recursive="0"/>
      <Key path="p" action="KEY_DELETE" valuename="v" valuetype="REG_DWORD" valueval="5" valuevalbytelen="4" valuedescr="kept"/>
      <Key path="p" editable="set"><values><value action="VALUE_SET" main="0" val="v"/></values></Key>
    </Tweak></Category></Tweaks>)"));
    EXPECT_NE(written.find(L"<Tweak n=\"t\" i=\"\" ver=\"\" enabled=\"\" manageable=\"1\">"), std::wstring::npos);
    EXPECT_NE(written.find(L"<Key parent=\"\" path=\"p\" action=\"VALUE_SET\" valuetype=\"\" valueval=\"\" "
                           L"editable=\"no\" recursive=\"0\"/>"),
              std::wstring::npos);
    EXPECT_NE(written.find(L"<Key parent=\"\" path=\"p\" action=\"KEY_DELETE\" valuename=\"v\" valuetype=\"REG_DWORD\" "
                           L"valueval=\"5\" valuevalbytelen=\"4\" valuedescr=\"kept\"/>"),
              std::wstring::npos);
    EXPECT_NE(written.find(L"<value main=\"0\" action=\"VALUE_SET\" val=\"v\"/>"), std::wstring::npos);
}

TEST(DocumentWriter, KeepsChoicesAndTheValuesElementWhateverEditableSays)
{
    Document document = Read(
        LR"(<Tweaks><Category><Tweak><Key path="p" editable="set"><values><value val="a"/></values></Key>
      <Key path="q" editable="set"/></Tweak></Category></Tweaks>)");
    document.categories[0].tweaks[0].items[0].key.editable = L"no";  // choices hidden, not dropped
    const Document back = Read(WriteDocumentText(document));
    EXPECT_EQ(back.categories[0].tweaks[0].items[0].key.choices.at(0).val, L"a");
    EXPECT_TRUE(back.categories[0].tweaks[0].items[1].key.hasValuesElement);  // "set" always gets its values element
}

TEST(DocumentWriter, TheTweakTextIsTheTweakElementAlone)
{
    Tweak tweak = NewTweak(Document{}, 1);
    tweak.items.push_back(NewKeyItem());
    EXPECT_EQ(WriteTweakText(tweak, L"ICON"),
              L"<Tweak n=\"tweak1\" i=\"ICON\" ver=\"WIN_32\" enabled=\"\">\r\n"
              L"  <Key parent=\"HKCU\" path=\"\" action=\"VALUE_SET\" valuetype=\"REG_SZ\" valueval=\"\"/>\r\n"
              L"</Tweak>\r\n");
}

TEST(DocumentWriter, AttributeNamesThatCannotBeReadBackAreLeftOut)
{
    Document document = NewDocument();
    document.categories[0].otherAttributes = {{L"good", L"1"}, {L"bad name", L"2"}, {L"", L"3"}, {L"x=y", L"4"}};
    const Document back = Read(WriteDocumentText(document));
    EXPECT_EQ(back.categories[0].otherAttributes, (AttributeList{{L"good", L"1"}}));
}

}  // namespace
