// Reading tweak files into the editor's document: texts held as read, the
// element name rules, where kept markup goes, and failures.
#include <gtest/gtest.h>

#include "core/platform/Errors.h"
#include "tests/knobset/KnobsetTesting.h"
#include "tests/support/Scratch.h"
#include "utils/Knobset/document/DocumentReader.h"
#include "utils/Knobset/document/SourceScan.h"

namespace {

using namespace Knobset;
using KnobsetTesting::Read;

TEST(DocumentReader, HoldsEveryAttributeAsItsText)
{
    const Document d = Read(
        LR"(<Tweaks><Category n="C" i="I">
  <Tweak n="t" ver="WIN_95" enabled="true" manageable="yes">
    <d>one &amp; two</d><dex>  spaced  </dex>
    <Key parent="DEFAULT_USER" path="p" keyname="k" valuename="v" valuetype="REG_DWORD_LITTLE_ENDIAN"
         valueval="0x10" valuevalbytelen="x" editable="maybe" valuedescr="vd"/>
  </Tweak></Category></Tweaks>)");
    ASSERT_EQ(d.categories.size(), 1u);
    const Category& c = d.categories[0];
    EXPECT_EQ(c.name, L"C");
    EXPECT_EQ(c.icon, L"I");
    const Tweak& t = c.tweaks.at(0);
    EXPECT_EQ(t.name, L"t");
    EXPECT_EQ(t.ver, L"WIN_95");
    EXPECT_EQ(t.enabled, L"true");
    EXPECT_EQ(t.manageable, L"yes");
    EXPECT_EQ(t.icon, L"");  // none in the file: its own, empty, not the category's
    EXPECT_EQ(t.description, L"one & two");
    EXPECT_EQ(t.details, L"  spaced  ");
    const Key& k = t.items.at(0).key;
    EXPECT_EQ(k.parent, L"DEFAULT_USER");
    EXPECT_EQ(k.action, L"");  // no action: held empty, written as VALUE_SET
    EXPECT_EQ(k.valuetype, L"REG_DWORD_LITTLE_ENDIAN");
    EXPECT_EQ(k.valueval, L"0x10");
    EXPECT_EQ(k.valuevalbytelen, L"x");
    EXPECT_EQ(k.editable, L"maybe");
    EXPECT_EQ(k.valuedescr, L"vd");
    EXPECT_TRUE(t.items[0].otherAttributes.empty());
}

TEST(DocumentReader, KeepsEveryVersionKeywordOfTheMainProgram)
{
    for (const wchar_t* ver : {L"WIN_2000", L"WIN_XP", L"WIN_2003", L"WIN_VISTA6", L"WIN_VISTA7", L"WIN_8", L"WIN_81",
                               L"WIN_10", L"WIN_11", L"WIN_32", L"win_xp"}) {
        const Document d = Read(std::wstring(L"<Tweaks><Category><Tweak ver=\"") + ver + L"\"/></Category></Tweaks>");
        EXPECT_EQ(d.categories.at(0).tweaks.at(0).ver, ver);
        const Document m =
            Read(std::wstring(L"<Tweaks><Category><Tweak maxver=\"") + ver + L"\"/></Category></Tweaks>");
        EXPECT_EQ(m.categories.at(0).tweaks.at(0).maxver, ver);
        EXPECT_TRUE(m.categories.at(0).tweaks.at(0).otherAttributes.empty());
    }
}

TEST(DocumentReader, ElementNamesFollowTheFormatsCaseRules)
{
    const Document d = Read(
        LR"(<Tweaks>
  <category n="skipped at the root"/>
  <Category n="C">
    <tweak n="a"><key parent="HKCU"/><Key parent="HKLM"/></tweak>
    <TWEAK n="b"><FILE/><File/><shortcut/><Shortcut/></TWEAK>
  </Category></Tweaks>)");
    ASSERT_EQ(d.categories.size(), 1u);
    const Category& c = d.categories[0];
    EXPECT_EQ(d.categories[0].keptBefore, (KeptMarkup{L"<category n=\"skipped at the root\"/>"}));
    ASSERT_EQ(c.tweaks.size(), 2u);
    ASSERT_EQ(c.tweaks[0].items.size(), 1u);
    EXPECT_EQ(c.tweaks[0].items[0].key.parent, L"HKLM");
    EXPECT_EQ(c.tweaks[0].items[0].keptBefore, (KeptMarkup{L"<key parent=\"HKCU\"/>"}));
    ASSERT_EQ(c.tweaks[1].items.size(), 2u);
    EXPECT_EQ(c.tweaks[1].items[0].kind, ItemKind::File);
    EXPECT_EQ(c.tweaks[1].items[1].kind, ItemKind::Shortcut);
    EXPECT_EQ(c.tweaks[1].items[1].keptBefore, (KeptMarkup{L"<shortcut/>"}));
}

TEST(DocumentReader, KeptMarkupBelongsToTheModelledSiblingAfterIt)
{
    const Document d = Read(
        LR"(<Tweaks>
  <!--a-->
  <Category n="C"><d>about C</d><Group n="g"/>
    <Tweak n="t"><!--top--><d>text</d><X/><Key/><!--after key--><?pi x?></Tweak>
    <Application n="app"><Tweak n="inner"/></Application>
  </Category>
  <Other/>
</Tweaks>)");
    EXPECT_EQ(d.categories[0].keptBefore, (KeptMarkup{L"<!--a-->"}));
    EXPECT_EQ(d.keptAtEnd, (KeptMarkup{L"<Other/>"}));
    const Category& c = d.categories[0];
    EXPECT_EQ(c.tweaks.at(0).keptBefore, (KeptMarkup{L"<d>about C</d>", L"<Group n=\"g\"/>"}));
    EXPECT_EQ(c.keptAtEnd, (KeptMarkup{L"<Application n=\"app\"><Tweak n=\"inner\"/></Application>"}));
    const Tweak& t = c.tweaks[0];
    EXPECT_EQ(t.keptAtStart, (KeptMarkup{L"<!--top-->"}));
    EXPECT_EQ(t.items.at(0).keptBefore, (KeptMarkup{L"<X/>"}));
    EXPECT_EQ(t.keptAtEnd, (KeptMarkup{L"<!--after key-->", L"<?pi x?>"}));
}

TEST(DocumentReader, ReadsTheChoicesOfTheFirstValuesElement)
{
    const Document d = Read(
        LR"(<Tweaks><Category><Tweak><Key editable="set"><pre/>
  <values a="1"><value main="1" val="v1" descr="one" action="KEY_SET" valuevalbytelen="4" extra="e"><inner/></value>
    <!--c--><value val="v2"/><tail/></values>
  <values><value val="ignored"/></values></Key></Tweak></Category></Tweaks>)");
    const Item& item = d.categories[0].tweaks[0].items[0];
    const Key& k = item.key;
    EXPECT_TRUE(k.hasValuesElement);
    EXPECT_EQ(k.valuesAttributes, (AttributeList{{L"a", L"1"}}));
    ASSERT_EQ(k.choices.size(), 2u);
    EXPECT_EQ(k.choices[0].main, L"1");
    EXPECT_EQ(k.choices[0].val, L"v1");
    EXPECT_EQ(k.choices[0].descr, L"one");
    EXPECT_EQ(k.choices[0].action, L"KEY_SET");
    EXPECT_EQ(k.choices[0].valuevalbytelen, L"4");
    EXPECT_EQ(k.choices[0].otherAttributes, (AttributeList{{L"extra", L"e"}}));
    EXPECT_EQ(k.choices[0].keptInside, (KeptMarkup{L"<inner/>"}));
    EXPECT_EQ(k.choices[1].keptBefore, (KeptMarkup{L"<!--c-->"}));
    EXPECT_EQ(k.keptAfterChoices, (KeptMarkup{L"<tail/>"}));
    EXPECT_EQ(item.keptInside, (KeptMarkup{L"<pre/>"}));
    EXPECT_EQ(item.keptAfterValues, (KeptMarkup{L"<values><value val=\"ignored\"/></values>"}));
}

TEST(DocumentReader, ADescriptionWithChildElementsIsKeptRatherThanFlattened)
{
    const Document d =
        Read(L"<Tweaks><Category><Tweak><d>a <b>bold</b> word</d><d>second</d></Tweak></Category></Tweaks>");
    const Tweak& t = d.categories[0].tweaks[0];
    EXPECT_EQ(t.description, L"second");
    EXPECT_EQ(t.keptAtStart, (KeptMarkup{L"<d>a <b>bold</b> word</d>"}));
}

TEST(DocumentReader, AttributeScanAgreesWithTheXmlReader)
{
    XmlDocument xml;
    ASSERT_TRUE(xml.SetDoc(KnobsetTesting::DataFileText("handwritten.xml")));
    const auto& index = xml.GetIndex();
    for (uint32_t r = 1; r < index.size(); ++r) {
        // The element alone, asked through the reader's own lookup.
        for (const Attribute& a : Source::Attributes(xml, r)) {
            XmlDocument one;
            ASSERT_TRUE(one.SetDoc(Source::ElementText(xml, r)));
            ASSERT_TRUE(one.FindElem());
            EXPECT_EQ(one.GetAttrib(a.name), a.value) << a.name;
        }
    }
    XmlDocument tail;
    // Unquoted, single-quoted, repeated (the first counts), spaced, and
    // missing values ("c=" before "/>").
    ASSERT_TRUE(tail.SetDoc(L"<x a=1 b='two' d=\"&lt;\" a=\"again\" e = \"spaced\" c=/>"));
    EXPECT_EQ(Source::Attributes(tail, 1),
              (AttributeList{{L"a", L"1"}, {L"b", L"two"}, {L"d", L"<"}, {L"e", L"spaced"}, {L"c", L""}}));
}

TEST(DocumentReader, FailuresLeaveTheDocumentAsItWas)
{
    const Document before = Read(L"<Tweaks><Category n=\"kept\"/></Tweaks>");
    struct Case {
        std::string bytes;
        Platform::Status status;
        std::wstring error;
    };
    const Case cases[] = {
        {"<Tweaks><Category></Tweaks>", Err::BadFormat, L"End tag does not correspond to Category"},
        {"", Err::BadFormat, L"Element tag not found"},
        {"<Config><Category/></Config>", Err::BadFormat, L"The document element is not Tweaks"},
        {"<Tweaks n=\"\xC3\"/>", Err::NoUnicodeTranslation, L"The file is not UTF-8 text"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.bytes);
        Document document = before;
        std::wstring error;
        EXPECT_EQ(ReadDocumentFromUtf8(c.bytes, &document, &error), c.status);
        EXPECT_EQ(error, c.error);
        EXPECT_EQ(document, before);
    }
}

TEST(DocumentReader, EveryTruncationOfAFileReadsOrFailsCleanly)
{
    const std::wstring text = KnobsetTesting::DataFileText("handwritten.xml");
    size_t read = 0;
    for (size_t length = 0; length <= text.size(); ++length) {
        Document document;
        std::wstring error;
        const Platform::Status s = ReadDocumentFromText(text.substr(0, length), &document, &error);
        EXPECT_TRUE(s == Err::Success || s == Err::BadFormat) << length;
        EXPECT_EQ(s == Err::Success, error.empty()) << length;
        read += s == Err::Success;
    }
    EXPECT_GE(read, 1u);  // the whole file, and whatever follows its end tag
}

TEST(DocumentReader, DeepUnknownNestingIsKeptWithoutRecursion)
{
    std::wstring deep;
    for (int i = 0; i < 100000; ++i) {
        deep += L"<x>";
    }
    for (int i = 0; i < 100000; ++i) {
        deep += L"</x>";
    }
    const Document d = Read(L"<Tweaks><Category><Tweak>" + deep + L"</Tweak></Category></Tweaks>");
    EXPECT_EQ(d.categories.at(0).tweaks.at(0).keptAtEnd, (KeptMarkup{deep}));
}

class DocumentFile : public Testing::ScratchTest {};

TEST_F(DocumentFile, AMissingFileIsErrorTwo)
{
    Document document;
    std::wstring error;
    EXPECT_EQ(ReadDocument(PathOf(L"none.xml"), &document, &error), Err::FileNotFound);
    EXPECT_EQ(error, L"The file was not found");
    EXPECT_TRUE(document.categories.empty());
}

TEST_F(DocumentFile, ReadsAFileThroughThePlatform)
{
    WriteFile(PathOf(L"t.xml"), "<Tweaks><Category n=\"\xD0\xA1\"><Tweak n=\"t\"/></Category></Tweaks>");
    Document document;
    std::wstring error = L"stale";
    ASSERT_EQ(ReadDocument(PathOf(L"t.xml"), &document, &error), 0u);
    EXPECT_EQ(error, L"");
    EXPECT_EQ(document.categories.at(0).name, L"\x0421");
}

}  // namespace
