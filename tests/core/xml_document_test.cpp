#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "core/platform/Errors.h"
#include "core/xml/XmlDocument.h"
#include "tests/support/Scratch.h"

namespace {

using Record = XmlDocument::Record;

// The index in document order (depth first through first child and next
// sibling, without recursion), with each record's depth: what a parse of the
// same text must give, whatever the order of the records in the array.
struct Visited {
    Record record;
    size_t depth;
};

std::vector<Visited> Walk(const XmlDocument& doc)
{
    const std::vector<Record>& index = doc.GetIndex();
    std::vector<Visited> out;
    std::vector<uint32_t> stack;
    for (uint32_t r = index[0].firstChild; r != 0 || !stack.empty();) {
        if (r == 0) {
            r = index[stack.back()].nextSibling;
            stack.pop_back();
            continue;
        }
        out.push_back({index[r], stack.size()});
        if (index[r].firstChild) {
            stack.push_back(r);
            r = index[r].firstChild;
        } else {
            r = index[r].nextSibling;
        }
    }
    return out;
}

// Every record points at the markup it describes and lies inside its parent.
void ExpectIndexConsistent(const XmlDocument& doc)
{
    const std::wstring& text = doc.GetDoc();
    const std::vector<Record>& index = doc.GetIndex();
    for (size_t i = 1; i < index.size(); ++i) {
        const Record& r = index[i];
        ASSERT_LT(r.endTagEnd, text.size()) << i;
        EXPECT_EQ(text[r.startTagStart], L'<') << i;
        EXPECT_EQ(text[r.startTagEnd], L'>') << i;
        EXPECT_EQ(text[r.endTagEnd], L'>') << i;
        if (r.flags & Record::Empty) {
            EXPECT_EQ(r.endTagStart + 1, r.startTagEnd) << i;
            EXPECT_EQ(r.endTagEnd, r.startTagEnd) << i;
            EXPECT_EQ(text[r.endTagStart], L'/') << i;
            EXPECT_EQ(r.firstChild, 0u) << i;
        } else {
            EXPECT_EQ(text.compare(r.endTagStart, 2, L"</"), 0) << i;
            EXPECT_LT(r.startTagEnd, r.endTagStart) << i;
        }
        if (r.parent != 0) {
            EXPECT_GT(r.startTagStart, index[r.parent].startTagEnd) << i;
            EXPECT_LT(r.endTagEnd, index[r.parent].endTagStart) << i;
        }
        if (r.nextSibling != 0) {
            EXPECT_EQ(index[r.nextSibling].parent, r.parent) << i;
            EXPECT_GT(index[r.nextSibling].startTagStart, r.endTagEnd) << i;
        }
    }
}

// After edits, the index must be exactly what a fresh parse of the text gives.
void ExpectIndexMatchesReparse(const XmlDocument& doc)
{
    ExpectIndexConsistent(doc);
    XmlDocument fresh;
    ASSERT_TRUE(fresh.SetDoc(doc.GetDoc())) << fresh.GetError();
    const std::vector<Visited> a = Walk(doc);
    const std::vector<Visited> b = Walk(fresh);
    ASSERT_EQ(a.size(), b.size());
    for (size_t i = 0; i < a.size(); ++i) {
        EXPECT_EQ(a[i].depth, b[i].depth) << i;
        EXPECT_EQ(a[i].record.startTagStart, b[i].record.startTagStart) << i;
        EXPECT_EQ(a[i].record.startTagEnd, b[i].record.startTagEnd) << i;
        EXPECT_EQ(a[i].record.endTagStart, b[i].record.endTagStart) << i;
        EXPECT_EQ(a[i].record.endTagEnd, b[i].record.endTagEnd) << i;
        EXPECT_EQ(a[i].record.flags, b[i].record.flags) << i;
    }
}

// Visits every element through the cursor and reads everything; returns the
// number of elements. Used on hostile input, where it must simply not crash.
size_t ReadEverything(XmlDocument& doc)
{
    doc.ResetPos();
    size_t count = 0;
    size_t depth = 0;
    for (;;) {
        if (doc.FindElem()) {
            ++count;
            (void)doc.GetTagName();
            (void)doc.GetAttrib(L"n");
            (void)doc.GetData();
            EXPECT_TRUE(doc.IntoElem());
            ++depth;
            continue;
        }
        if (depth == 0) {
            break;
        }
        EXPECT_TRUE(doc.OutOfElem());
        --depth;
        // The element just left is now the current child.
        (void)doc.GetChildTagName();
        (void)doc.GetChildAttrib(L"n");
        (void)doc.GetChildData();
    }
    return count;
}

std::wstring Parse(const std::wstring& text)
{
    XmlDocument doc;
    return doc.SetDoc(text) ? L"" : doc.GetError();
}

// ------------------------------------------------------------------ parsing

TEST(XmlParse, EveryErrorText)
{
    struct Case {
        const wchar_t* text;
        const wchar_t* error;
    };
    const Case cases[] = {
        {L"", L"Element tag not found"},
        {L"just text", L"Element tag not found"},
        {L"</a>", L"Element tag not found"},  // an end tag before any element
        {L"<", L"Abrupt end within tag"},
        {L"<a></a><", L""},  // after the document element nothing is read
        {L"<\r\n\t ", L"Abrupt end within tag"},
        {L"<a><", L"Abrupt end within tag"},
        {L"<'a'>", L"Tag starts with quote"},
        {L"<a><\"b\"/></a>", L"Tag starts with quote"},
        {L"<?xml version='1.0'", L"Invalid node"},
        {L"<!-- never closed <a/>", L"Invalid node"},
        {L"<a><![CDATA[ x</a>", L"Invalid node"},
        {L"<!DOCTYPE a [ <!ENTITY b 'c'> <a/>", L"Invalid node"},
        {L"<a", L"End of tag not found"},
        {L"<a x='>'", L"End of tag not found"},
        {L"<a x='></a>", L"End of tag not found"},  // the quote runs to the end
        {L"<a>", L"End tag of a element not found"},
        {L"<a>text", L"End tag of a element not found"},
        {L"<a><b></b>", L"End tag of a element not found"},
        {L"<a><b>", L"End tag of b element not found"},
        {L"<a>< /a>", L"Expecting end tag of element a"},
        {L"<a></b>", L"End tag does not correspond to a"},
        {L"<a></>", L"End tag does not correspond to a"},
        {L"<a></A>", L"End tag does not correspond to a"},
        {L"<a></'a'>", L"End tag does not correspond to a"},
        {L"<a><b></a></b>", L"End tag does not correspond to b"},
        {L"<a></", L"End tag not completed for element a"},
        {L"<a></  ", L"End tag not completed for element a"},
        {L"<a></a", L"End tag not completed for element a"},
        {L"<a></a x", L"End tag not completed for element a"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Parse(c.text), c.error) << ::testing::PrintToString(std::wstring(c.text));
    }
}

TEST(XmlParse, AFailedParseKeepsTheTextButLeavesNoElements)
{
    XmlDocument doc;
    ASSERT_TRUE(doc.SetDoc(L"<a><b/></a>"));
    ASSERT_TRUE(doc.FindElem(L"a"));
    EXPECT_FALSE(doc.SetDoc(L"<a><b/>"));
    EXPECT_EQ(doc.GetDoc(), L"<a><b/>");
    EXPECT_EQ(doc.GetIndex().size(), 1u);
    EXPECT_EQ(doc.GetTagName(), L"");
    EXPECT_FALSE(doc.FindElem());
    EXPECT_TRUE(doc.SetDoc(L"<a/>"));
    EXPECT_EQ(doc.GetError(), L"");  // cleared by the next good parse
}

TEST(XmlParse, MarkupNodesAreSkippedWherePermitted)
{
    const std::wstring text =
        L"\uFEFF<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n"
        L"<!DOCTYPE r [ <!ELEMENT r ANY> <!ENTITY e \"]>\"> ]>\r\n"
        L"<!-- a comment with <tags> and -- dashes -->\r\n"
        L"<r><!-- <x/> --><?pi <y/> ?><![CDATA[<z/>]]><a/></r>";
    XmlDocument doc;
    ASSERT_TRUE(doc.SetDoc(text)) << doc.GetError();
    ASSERT_TRUE(doc.FindElem(L"r"));
    ASSERT_TRUE(doc.FindChildElem());
    EXPECT_EQ(doc.GetChildTagName(), L"a");
    EXPECT_FALSE(doc.FindChildElem());
}

TEST(XmlParse, AQuoteOpensAValueOnlyWhereATokenBegins)
{
    // Inside a run of name characters a quote is an ordinary character, so
    // the ">" after it ends the tag; after "=", whitespace or another quoted
    // value it opens a value, and a ">" inside that does not.
    XmlDocument doc;
    ASSERT_TRUE(doc.SetDoc(L"<r><a x=b\"c>1</a><b x='>'\"'\">2</b><c x=\"/>\"'/>'y=\">\"/></r>"));
    ASSERT_TRUE(doc.FindElem());
    ASSERT_TRUE(doc.FindChildElem(L"a"));
    EXPECT_EQ(doc.GetChildData(), L"1");
    EXPECT_EQ(doc.GetChildAttrib(L"x"), L"b\"c");
    ASSERT_TRUE(doc.FindChildElem(L"b"));
    EXPECT_EQ(doc.GetChildData(), L"2");
    ASSERT_TRUE(doc.FindChildElem(L"c"));
    EXPECT_EQ(doc.GetChildAttrib(L"y"), L">");
    EXPECT_FALSE(doc.FindChildElem());
    EXPECT_FALSE(doc.SetDoc(L"<a x='>'\"></a>"));  // the second value runs to the end
}

TEST(XmlParse, IndexRecordsHoldTheTagPositions)
{
    XmlDocument doc;
    //                  0123456789012345678901234567890
    ASSERT_TRUE(doc.SetDoc(L"<a x='>'><b/>t<c></c ></a>tail"));
    const std::vector<Record>& index = doc.GetIndex();
    ASSERT_EQ(index.size(), 4u);
    const Record& a = index[index[0].firstChild];
    EXPECT_EQ(a.startTagStart, 0u);
    EXPECT_EQ(a.startTagEnd, 8u);
    EXPECT_EQ(a.endTagStart, 22u);
    EXPECT_EQ(a.endTagEnd, 25u);
    EXPECT_EQ(a.flags, 0u);
    const Record& b = index[a.firstChild];
    EXPECT_EQ(b.startTagStart, 9u);
    EXPECT_EQ(b.startTagEnd, 12u);
    EXPECT_EQ(b.endTagStart, 11u);
    EXPECT_EQ(b.endTagEnd, 12u);
    EXPECT_EQ(b.flags, Record::Empty);
    const Record& c = index[b.nextSibling];
    EXPECT_EQ(c.startTagStart, 14u);
    EXPECT_EQ(c.endTagStart, 17u);
    EXPECT_EQ(c.endTagEnd, 21u);
    EXPECT_EQ(c.nextSibling, 0u);
    EXPECT_EQ(index[b.nextSibling].parent, index[0].firstChild);
}

TEST(XmlParse, ASecondTopLevelElementIsIgnored)
{
    XmlDocument doc;
    ASSERT_TRUE(doc.SetDoc(L"<a/><b/>"));
    EXPECT_FALSE(doc.FindElem(L"b"));
    EXPECT_TRUE(doc.FindElem(L"a"));
    EXPECT_FALSE(doc.FindElem());
    // Junk after the document element is ignored too.
    EXPECT_TRUE(doc.SetDoc(L"<a></a></b><'"));
}

// --------------------------------------------------------------- navigation

const wchar_t kCatalogue[] =
    L"<Root>\r\n"
    L"  <Category n=\"A\"><Tweak n=\"1\"/><Tweak n=\"2\"><Key v=\"k\"/></Tweak></Category>\r\n"
    L"  <Category n=\"B\"/>\r\n"
    L"</Root>\r\n";

TEST(XmlNavigate, FindIntoAndOutWithTheChildCursor)
{
    XmlDocument doc;
    ASSERT_TRUE(doc.SetDoc(kCatalogue));
    EXPECT_FALSE(doc.IntoElem());  // nothing current yet
    ASSERT_TRUE(doc.FindElem(L"Root"));
    ASSERT_TRUE(doc.IntoElem());
    EXPECT_EQ(doc.GetTagName(), L"");  // no current element inside Root yet
    ASSERT_TRUE(doc.FindElem(L"Category"));
    EXPECT_EQ(doc.GetAttrib(L"n"), L"A");

    ASSERT_TRUE(doc.FindChildElem(L"Tweak"));
    EXPECT_EQ(doc.GetChildAttrib(L"n"), L"1");
    ASSERT_TRUE(doc.FindChildElem());
    EXPECT_EQ(doc.GetChildAttrib(L"n"), L"2");
    EXPECT_FALSE(doc.FindChildElem());
    EXPECT_EQ(doc.GetChildAttrib(L"n"), L"2");  // a failed find moves nothing

    // Into Category A: its current child Tweak 2 becomes the current element.
    ASSERT_TRUE(doc.IntoElem());
    EXPECT_EQ(doc.GetTagName(), L"Tweak");
    EXPECT_EQ(doc.GetAttrib(L"n"), L"2");
    EXPECT_EQ(doc.GetChildTagName(), L"");
    ASSERT_TRUE(doc.FindChildElem(L"Key"));
    EXPECT_EQ(doc.GetChildAttrib(L"v"), L"k");
    EXPECT_FALSE(doc.FindElem(L"Tweak"));  // Tweak 2 is the last one

    // Out again: Category A is current, Tweak 2 its current child.
    ASSERT_TRUE(doc.OutOfElem());
    EXPECT_EQ(doc.GetAttrib(L"n"), L"A");
    EXPECT_EQ(doc.GetChildAttrib(L"n"), L"2");

    ASSERT_TRUE(doc.FindElem(L"Category"));
    EXPECT_EQ(doc.GetAttrib(L"n"), L"B");
    EXPECT_EQ(doc.GetChildTagName(), L"");  // FindElem clears the child
    EXPECT_FALSE(doc.FindChildElem());

    ASSERT_TRUE(doc.OutOfElem());
    EXPECT_EQ(doc.GetTagName(), L"Root");
    EXPECT_EQ(doc.GetChildAttrib(L"n"), L"B");
    EXPECT_FALSE(doc.OutOfElem());  // at the top

    doc.ResetPos();
    EXPECT_EQ(doc.GetTagName(), L"");
    EXPECT_TRUE(doc.FindElem(L"Root"));
}

TEST(XmlNavigate, IntoAnElementWithoutChildThenFindFromItsStart)
{
    XmlDocument doc;
    ASSERT_TRUE(doc.SetDoc(kCatalogue));
    ASSERT_TRUE(doc.FindElem());
    ASSERT_TRUE(doc.IntoElem());
    ASSERT_TRUE(doc.FindElem());
    ASSERT_TRUE(doc.IntoElem());
    EXPECT_EQ(doc.GetTagName(), L"");
    ASSERT_TRUE(doc.FindElem(L"Tweak"));
    EXPECT_EQ(doc.GetAttrib(L"n"), L"1");
    // Into an empty element: nothing inside, and out leads back to it.
    ASSERT_TRUE(doc.IntoElem());
    EXPECT_FALSE(doc.FindElem());
    ASSERT_TRUE(doc.OutOfElem());
    EXPECT_EQ(doc.GetAttrib(L"n"), L"1");
}

TEST(XmlNavigate, FindChildWithoutCurrentFindsTheTopElementFirst)
{
    XmlDocument doc;
    ASSERT_TRUE(doc.SetDoc(kCatalogue));
    ASSERT_TRUE(doc.FindChildElem(L"Category"));
    EXPECT_EQ(doc.GetTagName(), L"Root");
    EXPECT_EQ(doc.GetChildAttrib(L"n"), L"A");
    ASSERT_TRUE(doc.FindChildElem(L"Category"));
    EXPECT_EQ(doc.GetChildAttrib(L"n"), L"B");
}

TEST(XmlNavigate, NamesMatchExactlyUpToTheirFirstSeparator)
{
    XmlDocument doc;
    ASSERT_TRUE(doc.SetDoc(L"<r><tweak/><TweakSet/><Twea/><Tweak n='1'/></r>"));
    ASSERT_TRUE(doc.FindElem(L"r"));
    ASSERT_TRUE(doc.IntoElem());
    ASSERT_TRUE(doc.FindElem(L"Tweak"));
    EXPECT_EQ(doc.GetAttrib(L"n"), L"1");
    for (const wchar_t* name : {L"Tweak[@n='1']", L"Tweak/Key", L"Tweak n", L"Tweak=x"}) {
        doc.ResetPos();
        ASSERT_TRUE(doc.FindElem(L"r"));
        ASSERT_TRUE(doc.IntoElem());
        ASSERT_TRUE(doc.FindElem(name)) << name;
        EXPECT_EQ(doc.GetTagName(), L"Tweak") << name;
    }
    doc.ResetPos();
    ASSERT_TRUE(doc.FindElem(L"r"));
    EXPECT_FALSE(doc.FindChildElem(L"[Tweak]"));  // nothing before the separator matches nothing
    EXPECT_FALSE(doc.FindChildElem(L"TWEAK"));
    EXPECT_TRUE(doc.FindChildElem(L"tweak"));
    EXPECT_EQ(doc.GetChildTagName(), L"tweak");
}

TEST(XmlNavigate, ACopyHasItsOwnCursor)
{
    XmlDocument doc;
    ASSERT_TRUE(doc.SetDoc(kCatalogue));
    ASSERT_TRUE(doc.FindElem());
    XmlDocument copy = doc;
    EXPECT_EQ(copy.GetTagName(), L"Root");
    ASSERT_TRUE(copy.IntoElem());
    ASSERT_TRUE(copy.FindElem());
    ASSERT_TRUE(copy.AddChildElem(L"New"));
    EXPECT_EQ(doc.GetTagName(), L"Root");
    EXPECT_EQ(doc.GetDoc(), kCatalogue);
}

// ------------------------------------------------------------------ reading

TEST(XmlRead, AttributesQuotedEitherWayOrNot)
{
    XmlDocument doc;
    ASSERT_TRUE(doc.SetDoc(L"<a s='one' d=\"two\" u=three x = \"sp\" e=\"\" q='\"' y=\"x\" x2=y y2=2/>"));
    ASSERT_TRUE(doc.FindElem());
    EXPECT_EQ(doc.GetAttrib(L"s"), L"one");
    EXPECT_EQ(doc.GetAttrib(L"d"), L"two");
    EXPECT_EQ(doc.GetAttrib(L"u"), L"three");
    EXPECT_EQ(doc.GetAttrib(L"x"), L"sp");
    EXPECT_EQ(doc.GetAttrib(L"e"), L"");
    EXPECT_EQ(doc.GetAttrib(L"q"), L"\"");
    EXPECT_EQ(doc.GetAttrib(L"missing"), L"");
    EXPECT_EQ(doc.GetAttrib(L"S"), L"");  // names are exact
    // A value that spells another attribute's name is not that attribute.
    EXPECT_EQ(doc.GetAttrib(L"y"), L"x");
    EXPECT_EQ(doc.GetAttrib(L"y2"), L"2");
    EXPECT_EQ(doc.GetAttrib(L"one"), L"");
}

TEST(XmlRead, AttributeValuesAreUnescaped)
{
    XmlDocument doc;
    ASSERT_TRUE(doc.SetDoc(L"<a v=\"&lt;&amp;&gt;&apos;&quot;&#38;&unknown;&amp\"/>"));
    ASSERT_TRUE(doc.FindElem());
    EXPECT_EQ(doc.GetAttrib(L"v"), L"<&>'\"&#38;&unknown;&amp");
}

TEST(XmlRead, DataOfTextElementsKeepsWhitespaceAndNumericReferences)
{
    XmlDocument doc;
    ASSERT_TRUE(doc.SetDoc(L"<r><a>&amp;&#65;&#x42; &lt;b&gt;</a><w> \r\n x\t</w><e/><p><c/></p><n></n></r>"));
    ASSERT_TRUE(doc.FindElem());
    EXPECT_EQ(doc.GetData(), L"");  // has children
    ASSERT_TRUE(doc.FindChildElem(L"a"));
    EXPECT_EQ(doc.GetChildData(), L"&&#65;&#x42; <b>");
    ASSERT_TRUE(doc.FindChildElem(L"w"));
    EXPECT_EQ(doc.GetChildData(), L" \r\n x\t");
    ASSERT_TRUE(doc.FindChildElem(L"e"));
    EXPECT_EQ(doc.GetChildData(), L"");
    ASSERT_TRUE(doc.FindChildElem(L"p"));
    EXPECT_EQ(doc.GetChildData(), L"");
    ASSERT_TRUE(doc.FindChildElem(L"n"));
    EXPECT_EQ(doc.GetChildData(), L"");
}

TEST(XmlRead, AnElementHoldingOneEmptyElement)
{
    XmlDocument doc;
    ASSERT_TRUE(doc.SetDoc(L"<a><b/></a>"));
    ASSERT_TRUE(doc.FindElem(L"a"));
    EXPECT_EQ(doc.GetData(), L"");
    ASSERT_TRUE(doc.IntoElem());
    ASSERT_TRUE(doc.FindElem(L"b"));
    EXPECT_EQ(doc.GetData(), L"");
}

TEST(XmlRead, CdataIsReadRaw)
{
    XmlDocument doc;
    ASSERT_TRUE(doc.SetDoc(L"<r><c>\r\n  <![CDATA[<b attr='&amp;'>]]]]></c><d>x<![CDATA[&amp;]]></d></r>"));
    ASSERT_TRUE(doc.FindElem());
    ASSERT_TRUE(doc.FindChildElem(L"c"));
    EXPECT_EQ(doc.GetChildData(), L"<b attr='&amp;'>]]");
    // Not at the start: the whole content is unescaped as it stands.
    ASSERT_TRUE(doc.FindChildElem(L"d"));
    EXPECT_EQ(doc.GetChildData(), L"x<![CDATA[&]]>");
}

TEST(XmlRead, NothingCurrentReadsEmpty)
{
    XmlDocument doc;
    EXPECT_EQ(doc.GetTagName(), L"");
    EXPECT_EQ(doc.GetAttrib(L"a"), L"");
    EXPECT_EQ(doc.GetData(), L"");
    EXPECT_EQ(doc.GetChildTagName(), L"");
    EXPECT_EQ(doc.GetChildAttrib(L"a"), L"");
    EXPECT_EQ(doc.GetChildData(), L"");
    EXPECT_FALSE(doc.FindElem());
    EXPECT_FALSE(doc.FindChildElem());
    EXPECT_FALSE(doc.OutOfElem());
}

// ------------------------------------------------------------------ editing

TEST(XmlEdit, BuildingADocumentWritesTheExpectedText)
{
    XmlDocument doc;
    ASSERT_TRUE(doc.AddElem(L"Root"));
    EXPECT_EQ(doc.GetDoc(), L"<Root/>\r\n");
    EXPECT_FALSE(doc.AddElem(L"Second"));  // one document element only
    ASSERT_TRUE(doc.AddChildElem(L"Item", L"x<y&z>"));
    ASSERT_TRUE(doc.SetChildAttrib(L"q", L"it's \"quoted\" <&>"));
    ASSERT_TRUE(doc.AddChildElem(L"Empty"));
    ASSERT_TRUE(doc.SetAttrib(L"version", L"1"));
    EXPECT_EQ(doc.GetDoc(),
              L"<Root version=\"1\">\r\n"
              L"<Item q=\"it&apos;s &quot;quoted&quot; &lt;&amp;&gt;\">x&lt;y&amp;z&gt;</Item>\r\n"
              L"<Empty/>\r\n"
              L"</Root>\r\n");
    ExpectIndexMatchesReparse(doc);

    doc.ResetPos();
    ASSERT_TRUE(doc.FindElem(L"Root"));
    ASSERT_TRUE(doc.FindChildElem(L"Item"));
    EXPECT_EQ(doc.GetChildAttrib(L"q"), L"it's \"quoted\" <&>");
    EXPECT_EQ(doc.GetChildData(), L"x<y&z>");
    EXPECT_EQ(doc.GetAttrib(L"version"), L"1");
}

TEST(XmlEdit, ChildOfAnElementWithNoContentGoesOnItsOwnLine)
{
    XmlDocument doc;
    ASSERT_TRUE(doc.SetDoc(L"<p></p>"));
    ASSERT_TRUE(doc.FindElem());
    ASSERT_TRUE(doc.AddChildElem(L"c"));
    EXPECT_EQ(doc.GetDoc(), L"<p>\r\n<c/>\r\n</p>");
    ExpectIndexMatchesReparse(doc);

    ASSERT_TRUE(doc.SetDoc(L"<p>text</p>"));
    ASSERT_TRUE(doc.FindElem());
    ASSERT_TRUE(doc.AddChildElem(L"c", L"v"));
    EXPECT_EQ(doc.GetDoc(), L"<p>text<c>v</c>\r\n</p>");
    ExpectIndexMatchesReparse(doc);
}

TEST(XmlEdit, AddElemGoesAfterTheCurrentElement)
{
    XmlDocument doc;
    ASSERT_TRUE(doc.SetDoc(L"<r>\r\n<a/>\r\n<c/>\r\n</r>"));
    ASSERT_TRUE(doc.FindElem());
    ASSERT_TRUE(doc.IntoElem());
    ASSERT_TRUE(doc.FindElem(L"a"));
    ASSERT_TRUE(doc.AddElem(L"b"));
    EXPECT_EQ(doc.GetTagName(), L"b");
    ASSERT_TRUE(doc.FindElem());
    EXPECT_EQ(doc.GetTagName(), L"c");
    ASSERT_TRUE(doc.AddElem(L"d"));
    EXPECT_EQ(doc.GetDoc(), L"<r>\r\n<a/>\r\n<b/>\r\n<c/>\r\n<d/>\r\n</r>");
    ExpectIndexMatchesReparse(doc);

    // With no current element the new one goes last.
    ASSERT_TRUE(doc.OutOfElem());
    ASSERT_TRUE(doc.IntoElem());  // the current child is d; clear it first
    doc.ResetPos();
    ASSERT_TRUE(doc.FindElem());
    ASSERT_TRUE(doc.IntoElem());
    ASSERT_TRUE(doc.AddElem(L"e"));
    std::wstring order;
    doc.ResetPos();
    ASSERT_TRUE(doc.FindElem());
    while (doc.FindChildElem()) {
        order += doc.GetChildTagName();
    }
    EXPECT_EQ(order, L"abcde");
}

TEST(XmlEdit, EditsKeepLaterRecordsInPlace)
{
    XmlDocument doc;
    ASSERT_TRUE(doc.SetDoc(kCatalogue));
    ASSERT_TRUE(doc.FindElem());
    ASSERT_TRUE(doc.IntoElem());
    ASSERT_TRUE(doc.FindElem(L"Category"));
    ASSERT_TRUE(doc.SetAttrib(L"n", L"a much longer name than before"));
    ASSERT_TRUE(doc.FindChildElem(L"Tweak"));
    ASSERT_TRUE(doc.SetChildAttrib(L"n", L""));  // shorter
    ASSERT_TRUE(doc.AddChildElem(L"Tweak", L"new"));
    ExpectIndexMatchesReparse(doc);
    ASSERT_TRUE(doc.FindElem(L"Category"));  // everything after the edits still reads right
    EXPECT_EQ(doc.GetAttrib(L"n"), L"B");
    ASSERT_TRUE(doc.AddChildElem(L"Tweak"));  // B was empty: "<Category n="B"/>" opens up
    ASSERT_TRUE(doc.SetChildAttrib(L"n", L"3"));
    ExpectIndexMatchesReparse(doc);

    doc.ResetPos();
    ASSERT_TRUE(doc.FindElem());
    ASSERT_TRUE(doc.IntoElem());
    ASSERT_TRUE(doc.FindElem());
    EXPECT_EQ(doc.GetAttrib(L"n"), L"a much longer name than before");
    std::vector<std::wstring> tweaks;
    while (doc.FindChildElem(L"Tweak")) {
        tweaks.push_back(doc.GetChildAttrib(L"n") + L":" + doc.GetChildData());
    }
    EXPECT_EQ(tweaks, (std::vector<std::wstring>{L":", L":new", L"2:"}));
    ASSERT_TRUE(doc.FindElem());
    ASSERT_TRUE(doc.FindChildElem());
    EXPECT_EQ(doc.GetChildAttrib(L"n"), L"3");
    EXPECT_NE(doc.GetDoc().find(L"<Category n=\"B\">\r\n<Tweak n=\"3\"/>\r\n</Category>"), std::wstring::npos);
}

TEST(XmlEdit, SetAttribReplacesOrAppends)
{
    XmlDocument doc;
    ASSERT_TRUE(doc.SetDoc(L"<a x='1' y = z><b/></a>"));
    ASSERT_TRUE(doc.FindElem());
    ASSERT_TRUE(doc.SetAttrib(L"x", L"2"));
    ASSERT_TRUE(doc.SetAttrib(L"y", L"w"));
    ASSERT_TRUE(doc.SetAttrib(L"new", L"3"));
    EXPECT_EQ(doc.GetDoc(), L"<a x=\"2\" y = \"w\" new=\"3\"><b/></a>");
    ASSERT_TRUE(doc.FindChildElem());
    ASSERT_TRUE(doc.SetChildAttrib(L"c", L"'"));
    EXPECT_EQ(doc.GetDoc(), L"<a x=\"2\" y = \"w\" new=\"3\"><b c=\"&apos;\"/></a>");
    ExpectIndexMatchesReparse(doc);
}

TEST(XmlEdit, InvalidEditsChangeNothing)
{
    XmlDocument doc;
    EXPECT_FALSE(doc.AddChildElem(L"c"));  // no current element
    EXPECT_FALSE(doc.SetAttrib(L"a", L"b"));
    ASSERT_TRUE(doc.SetDoc(L"<a/>"));
    ASSERT_TRUE(doc.FindElem());
    for (const wchar_t* name : {L"", L"a b", L"a>", L"'a'", L"/", L"a=b", L"\"x"}) {
        EXPECT_FALSE(doc.AddChildElem(name)) << name;
        EXPECT_FALSE(doc.SetAttrib(name, L"v")) << name;
    }
    EXPECT_FALSE(doc.AddElem(L"b"));  // a second document element
    EXPECT_EQ(doc.GetDoc(), L"<a/>");
    EXPECT_EQ(doc.GetTagName(), L"a");
}

// Random documents of the shape the programs write, for property tests.
std::wstring RandomDocument(std::mt19937& rng, int elements)
{
    std::wstring text = L"<?xml version=\"1.0\"?>\r\n<r>";
    std::vector<std::wstring> open{L"r"};
    const wchar_t* names[] = {L"Category", L"Tweak", L"Key", L"x"};
    for (int i = 0; i < elements; ++i) {
        const int action = static_cast<int>(rng() % 4);
        if (action == 0 && open.size() > 1) {
            text += L"</" + open.back() + L">";
            open.pop_back();
            continue;
        }
        const std::wstring name = names[rng() % 4];
        text += L"<" + name + L" n=\"" + std::to_wstring(i) + L"\" q='&amp;'";
        if (action == 1) {
            text += L"/>";
        } else if (action == 2) {
            text += L">t&lt;" + std::to_wstring(i) + L"</" + name + L">";
        } else {
            text += L">";
            open.push_back(name);
        }
        text += (rng() % 2) ? L"\r\n" : L"";
    }
    while (!open.empty()) {
        text += L"</" + open.back() + L">";
        open.pop_back();
    }
    return text;
}

TEST(XmlEdit, RandomEditsMatchAFreshParseAfterEachStep)
{
    std::mt19937 rng(12345);
    for (int round = 0; round < 30; ++round) {
        XmlDocument doc;
        ASSERT_TRUE(doc.SetDoc(RandomDocument(rng, 40)));
        for (int step = 0; step < 60; ++step) {
            switch (rng() % 9) {
                case 0:
                    (void)doc.FindElem();
                    break;
                case 1:
                    (void)doc.FindChildElem();
                    break;
                case 2:
                    (void)doc.IntoElem();
                    break;
                case 3:
                    (void)doc.OutOfElem();
                    break;
                case 4:
                    (void)doc.AddElem(L"A", (rng() % 2) ? L"" : L"a&b");
                    break;
                case 5:
                    (void)doc.AddChildElem(L"C", (rng() % 2) ? L"" : L"<c>");
                    break;
                case 6:
                    (void)doc.SetAttrib((rng() % 2) ? L"n" : L"m", std::wstring(rng() % 12, L'v'));
                    break;
                case 7:
                    (void)doc.SetChildAttrib((rng() % 2) ? L"q" : L"z", L"'\"");
                    break;
                default:
                    if (rng() % 4 == 0) {
                        doc.ResetPos();
                    }
            }
            ExpectIndexMatchesReparse(doc);
            if (::testing::Test::HasFailure()) {
                FAIL() << "round " << round << " step " << step;
            }
        }
    }
}

// ------------------------------------------------------------ hostile input

// True for one of the parser's error texts, with any element name.
bool IsKnownError(const std::wstring& error)
{
    for (const wchar_t* fixed : {L"Element tag not found", L"Abrupt end within tag", L"Tag starts with quote",
                                 L"Invalid node", L"End of tag not found"}) {
        if (error == fixed) {
            return true;
        }
    }
    for (const std::wstring format : {L"End tag of %s element not found", L"Expecting end tag of element %s",
                                      L"End tag does not correspond to %s", L"End tag not completed for element %s"}) {
        const std::wstring prefix = format.substr(0, format.find(L"%s"));
        const std::wstring suffix = format.substr(format.find(L"%s") + 2);
        if (error.size() > prefix.size() + suffix.size() && error.starts_with(prefix) && error.ends_with(suffix)) {
            return true;
        }
    }
    return false;
}

TEST(XmlHostile, EveryTruncationFailsCleanlyOrParses)
{
    const std::wstring sample =
        L"\uFEFF<?xml version=\"1.0\"?>\r\n<!DOCTYPE r [<!ENTITY e 'v'>]>\r\n<!-- c -->\r\n"
        L"<r a='1' b=\"2\">\r\n"
        L"  <Category n=\"x&amp;y\"><Tweak n='t'><Key path=\"HKCU\\Software\" v=3/></Tweak></Category>\r\n"
        L"  <Value><![CDATA[<raw>]]></Value>\r\n"
        L"  <x/><x></x><x>&lt;t&gt;</x>\r\n"
        L"</r >\r\n";
    XmlDocument full;
    ASSERT_TRUE(full.SetDoc(sample)) << full.GetError();
    const size_t completeAt = sample.rfind(L'>');
    for (size_t length = 0; length <= sample.size(); ++length) {
        XmlDocument doc;
        const bool ok = doc.SetDoc(sample.substr(0, length));
        EXPECT_EQ(ok, length > completeAt) << length;
        if (ok) {
            ExpectIndexConsistent(doc);
        } else {
            EXPECT_TRUE(IsKnownError(doc.GetError())) << length << ": " << ::testing::PrintToString(doc.GetError());
        }
        ReadEverything(doc);
    }
}

TEST(XmlHostile, RandomJunkNeverCrashes)
{
    std::mt19937 rng(2024);
    const std::wstring alphabet = L"<<<>>>///==?!?![]'\"- \r\n\tabcrx&;CDATA\uFEFF\u00E9";
    for (int round = 0; round < 20000; ++round) {
        std::wstring text;
        const size_t length = rng() % 120;
        for (size_t i = 0; i < length; ++i) {
            text += (rng() % 16) ? alphabet[rng() % alphabet.size()] : static_cast<wchar_t>(rng() % 0xD800);
        }
        if (round % 2) {
            text = L"<r>" + text;  // inside an element more of the parser is reached
        }
        XmlDocument doc;
        if (doc.SetDoc(text)) {
            ExpectIndexConsistent(doc);
            ReadEverything(doc);
            // Edits on whatever was accepted keep the index right too.
            doc.ResetPos();
            if (doc.FindElem() && doc.AddChildElem(L"n", L"<") && doc.SetAttrib(L"x", L"y")) {
                ExpectIndexMatchesReparse(doc);
            }
        } else {
            ASSERT_FALSE(doc.GetError().empty());
            ReadEverything(doc);
        }
        if (::testing::Test::HasFailure()) {
            FAIL() << ::testing::PrintToString(text);
        }
    }
}

TEST(XmlHostile, MutatedDocumentsNeverCrash)
{
    // Near misses of real documents reach deeper into the parser than junk.
    std::mt19937 rng(99);
    const std::wstring alphabet = L"<>/='\"!?[]- x&";
    size_t parsed = 0;
    for (int round = 0; round < 3000; ++round) {
        std::wstring text = RandomDocument(rng, 12);
        for (int m = 1 + static_cast<int>(rng() % 3); m > 0; --m) {
            const size_t at = rng() % text.size();
            const wchar_t c = alphabet[rng() % alphabet.size()];
            switch (rng() % 3) {
                case 0:
                    text[at] = c;
                    break;
                case 1:
                    text.insert(at, 1, c);
                    break;
                default:
                    text.erase(at, 1);
            }
        }
        XmlDocument doc;
        if (doc.SetDoc(text)) {
            ++parsed;
            ReadEverything(doc);
            doc.ResetPos();
            if (doc.FindChildElem() && doc.AddChildElem(L"n") && doc.SetChildAttrib(L"n", L"v")) {
                ExpectIndexMatchesReparse(doc);
            }
        } else {
            EXPECT_TRUE(IsKnownError(doc.GetError())) << ::testing::PrintToString(doc.GetError());
        }
        if (::testing::Test::HasFailure()) {
            FAIL() << ::testing::PrintToString(text);
        }
    }
    EXPECT_GT(parsed, 300u);  // the mutations must leave enough documents to edit
}

TEST(XmlHostile, RandomBytesThroughTheDecoder)
{
    std::mt19937 rng(7);
    for (int round = 0; round < 5000; ++round) {
        std::string bytes;
        const size_t length = rng() % 200;
        for (size_t i = 0; i < length; ++i) {
            bytes += static_cast<char>((rng() % 4) ? "<>/='\"a!?-["[rng() % 12] : static_cast<char>(rng()));
        }
        XmlDocument doc;
        const Platform::Status s = doc.LoadFromUtf8(bytes);
        EXPECT_TRUE(s == Err::Success || s == Err::BadFormat || s == Err::NoUnicodeTranslation) << s;
        ReadEverything(doc);
    }
}

TEST(XmlHostile, HundredThousandLevelsDeep)
{
    constexpr size_t kDepth = 100000;
    std::wstring text;
    text.reserve(kDepth * 14);
    for (size_t i = 0; i < kDepth; ++i) {
        text += L"<d>";
    }
    std::wstring closing;
    for (size_t i = 0; i < kDepth; ++i) {
        closing += L"</d>";
    }
    XmlDocument doc;
    EXPECT_FALSE(doc.SetDoc(text));
    EXPECT_EQ(doc.GetError(), L"End tag of d element not found");

    ASSERT_TRUE(doc.SetDoc(text + L"<leaf/>" + closing)) << doc.GetError();
    EXPECT_EQ(doc.GetIndex().size(), kDepth + 2);
    size_t depth = 0;
    while (doc.FindElem()) {
        ASSERT_TRUE(doc.IntoElem());
        ++depth;
    }
    EXPECT_EQ(depth, kDepth + 1);
    ASSERT_TRUE(doc.OutOfElem());
    EXPECT_EQ(doc.GetTagName(), L"leaf");
    ASSERT_TRUE(doc.AddElem(L"added"));  // the edit reaches all 100,000 ancestors
    EXPECT_EQ(doc.GetIndex()[doc.GetIndex()[0].firstChild].endTagEnd, doc.GetDoc().size() - 1);
    XmlDocument copy = doc;  // destroying and copying a deep index is flat work
}

std::string TweakFile(size_t minimumBytes)
{
    std::string text = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n<Tweaks>\r\n";
    for (size_t c = 0; text.size() < minimumBytes; ++c) {
        text += "<Category n=\"Cat" + std::to_string(c) + "\" i=\"3\">\r\n";
        for (int t = 0; t < 20; ++t) {
            text += "<Tweak n=\"T\xC3\xA9w" + std::to_string(t) +
                    "\" d=\"Does &amp; undoes\" enabled=\"1\">"
                    "<Key root=\"HKCU\" path=\"Software\\Corvane\\Test\" action=\"VALUE_SET\" valuename=\"V\" "
                    "valuetype=\"REG_DWORD\" valueval=\"1\"/></Tweak>\r\n";
        }
        text += "</Category>\r\n";
    }
    return text + "</Tweaks>\r\n";
}

TEST(XmlHostile, FiftyMegabytesLoad)
{
    const std::string bytes = TweakFile(50u << 20);
    XmlDocument doc;
    ASSERT_EQ(doc.LoadFromUtf8(bytes), Err::Success) << doc.GetError();
    size_t categories = 0;
    ASSERT_TRUE(doc.FindElem(L"Tweaks"));
    ASSERT_TRUE(doc.IntoElem());
    while (doc.FindElem(L"Category")) {
        ++categories;
    }
    EXPECT_GT(categories, 10000u);
    EXPECT_EQ(doc.GetIndex().size(), 1 + 1 + categories * 41);
    ASSERT_TRUE(doc.FindChildElem(L"Tweak"));
    EXPECT_EQ(doc.GetChildAttrib(L"n"), L"T\u00E9w0");
}

// ------------------------------------------------------------------- files

class XmlFile : public Testing::ScratchTest {};

TEST_F(XmlFile, SaveThenLoadRoundTrips)
{
    XmlDocument doc;
    ASSERT_TRUE(doc.AddElem(L"Config"));
    ASSERT_TRUE(doc.AddChildElem(L"Tweak", L"\u00E9\u4E2D"));
    ASSERT_TRUE(
        doc.SetChildAttrib(L"n", std::wstring(L"emoji ") + (sizeof(wchar_t) == 2 ? L"\xD83D\xDE00" : L"\U0001F600")));
    const std::wstring path = PathOf(L"Config.xml");
    ASSERT_EQ(doc.Save(path), Err::Success);
    const std::string bytes = ReadFile(path);
    EXPECT_EQ(bytes.rfind("<Config>\r\n<Tweak n=\"emoji \xF0\x9F\x98\x80\">\xC3\xA9\xE4\xB8\xAD</Tweak>", 0), 0u);

    XmlDocument loaded;
    ASSERT_EQ(loaded.Load(path), Err::Success);
    EXPECT_EQ(loaded.GetDoc(), doc.GetDoc());
    ASSERT_TRUE(loaded.FindChildElem(L"Tweak"));
    EXPECT_EQ(loaded.GetChildData(), L"\u00E9\u4E2D");

    // Saving again replaces the file.
    ASSERT_TRUE(doc.SetDoc(L"<x/>"));
    ASSERT_EQ(doc.Save(path), Err::Success);
    EXPECT_EQ(ReadFile(path), "<x/>");
}

TEST_F(XmlFile, AByteOrderMarkIsReadButNotWritten)
{
    const std::wstring path = PathOf(L"bom.xml");
    WriteFile(path, "\xEF\xBB\xBF<a>\xC3\xA9</a>");
    XmlDocument doc;
    ASSERT_EQ(doc.Load(path), Err::Success) << doc.GetError();
    ASSERT_TRUE(doc.FindElem(L"a"));
    EXPECT_EQ(doc.GetData(), L"\u00E9");
    ASSERT_EQ(doc.Save(path), Err::Success);
    EXPECT_EQ(ReadFile(path), "<a>\xC3\xA9</a>");
}

TEST_F(XmlFile, LoadFailures)
{
    XmlDocument doc;
    ASSERT_TRUE(doc.SetDoc(L"<keep/>"));
    EXPECT_EQ(doc.Load(PathOf(L"missing.xml")), Err::FileNotFound);
    EXPECT_EQ(doc.GetDoc(), L"<keep/>");

    const std::wstring bad = PathOf(L"bad.xml");
    WriteFile(bad, "<a>\xC0\xAF</a>");
    EXPECT_EQ(doc.Load(bad), Err::NoUnicodeTranslation);
    EXPECT_EQ(doc.GetDoc(), L"<keep/>");  // undecodable text leaves the document alone
    EXPECT_TRUE(doc.FindElem(L"keep"));

    const std::wstring empty = PathOf(L"empty.xml");
    WriteFile(empty, "");
    EXPECT_EQ(doc.Load(empty), Err::BadFormat);
    EXPECT_EQ(static_cast<int32_t>(doc.Load(empty)), -1);
    EXPECT_EQ(doc.GetDoc(), L"");
    EXPECT_FALSE(doc.FindElem());

    const std::wstring broken = PathOf(L"broken.xml");
    WriteFile(broken, "<a><b></a>");
    EXPECT_EQ(doc.Load(broken), Err::BadFormat);
    EXPECT_EQ(doc.GetError(), L"End tag does not correspond to b");
    EXPECT_EQ(doc.GetDoc(), L"<a><b></a>");
}

TEST_F(XmlFile, UnencodableTextIsNotSaved)
{
    XmlDocument doc;
    ASSERT_TRUE(doc.SetDoc(L"<a>" + std::wstring(1, static_cast<wchar_t>(0xD800)) + L"</a>"));
    const std::wstring path = PathOf(L"never.xml");
    EXPECT_EQ(doc.Save(path), Err::NoUnicodeTranslation);
    EXPECT_FALSE(Exists(path));
}

}  // namespace
