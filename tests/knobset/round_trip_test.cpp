// Read, write and read again: a hand-written tweak file keeps everything a
// reader of tweak files sees, including what the editor does not edit.
#include <gtest/gtest.h>

#include "core/platform/Errors.h"
#include "tests/knobset/KnobsetTesting.h"
#include "tests/support/Scratch.h"
#include "utils/Knobset/document/DocumentReader.h"
#include "utils/Knobset/document/DocumentWriter.h"

namespace {

using namespace Knobset;
using KnobsetTesting::DataFileText;
using KnobsetTesting::ParsedView;
using KnobsetTesting::Read;

class HandWrittenFile : public ::testing::Test {
protected:
    void SetUp() override
    {
        source = DataFileText("handwritten.xml");
        document = Read(source);
        written = WriteDocumentText(document);
    }

    std::wstring source;
    Document document;
    std::wstring written;
};

TEST_F(HandWrittenFile, WritingKeepsEverythingAsParsed)
{
    EXPECT_EQ(ParsedView::Of(written), ParsedView::Of(source));
}

TEST_F(HandWrittenFile, WritingAgainGivesTheSameText)
{
    const Document again = Read(written);
    EXPECT_EQ(WriteDocumentText(again), written);
}

TEST_F(HandWrittenFile, KeptElementsAreWrittenVerbatimWhereTheyStood)
{
    // The nested group, with its own nested application, as it was written.
    const size_t groupStart = source.find(L"<Group n=\"Explorer\"");
    const size_t groupEnd = source.find(L"</Group>") + 8;
    const std::wstring group = source.substr(groupStart, groupEnd - groupStart);
    EXPECT_NE(written.find(group), std::wstring::npos);

    // Order in the first category: d, comment, Tweak, Group, tweak.
    const size_t d = written.find(L"<d>Tweaks for the system as a whole</d>");
    const size_t comment = written.find(L"<!-- the first tweak -->");
    const size_t firstTweak = written.find(L"<Tweak n=\"Menu delay\"");
    const size_t nested = written.find(L"<Group n=\"Explorer\"");
    const size_t third = written.find(L"<Tweak n=\"Lower-case element\"");
    EXPECT_LT(d, comment);
    EXPECT_LT(comment, firstTweak);
    EXPECT_LT(firstTweak, nested);
    EXPECT_LT(nested, third);
    EXPECT_NE(third, std::wstring::npos);

    // The prolog stays in front of the document element.
    EXPECT_EQ(written.find(L"<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n<!-- A user's own"), 0u);
}

TEST_F(HandWrittenFile, AttributesTheEditorDoesNotEditStayWithTheirElement)
{
    const Category& system = document.categories.at(0);
    EXPECT_EQ(system.otherAttributes, (AttributeList{{L"colour", L"blue"}}));
    const Tweak& menu = system.tweaks.at(0);
    EXPECT_EQ(menu.icon, L"AQUA.TWEAK.MENU");
    EXPECT_EQ(menu.otherAttributes, (AttributeList{{L"author", L"me & \"you\""}}));
    EXPECT_EQ(menu.items.at(1).otherAttributes, (AttributeList{{L"recursive", L"1"}}));

    const Tweak& lower = system.tweaks.at(1);
    ASSERT_EQ(lower.items.size(), 2u);  // the lower-case "key" element is not an item
    EXPECT_EQ(lower.items[0].kind, ItemKind::File);
    EXPECT_EQ(lower.items[0].otherAttributes, (AttributeList{{L"path", L"%TEMP%"},
                                                             {L"name", L"*.tmp"},
                                                             {L"action", L"FILE_DELETE"},
                                                             {L"recursive", L"1"},
                                                             {L"destination", L""}}));
    EXPECT_EQ(lower.items[1].kind, ItemKind::Shortcut);
    EXPECT_EQ(lower.items[1].otherAttributes.at(0), (Attribute{L"shcname", L"Readme.LNK"}));
    EXPECT_NE(written.find(L"<Shortcut shcname=\"Readme.LNK\" shcpath=\"Programs\\Tool\" "
                           L"shcfoldername=\"CSIDL_PROGRAM_FILES\" targetname=\"readme.txt\" "
                           L"targetpath=\"C:\\Tool\"/>"),
              std::wstring::npos);
}

class RoundTripOnDisk : public Testing::ScratchTest {};

TEST_F(RoundTripOnDisk, TheFileIsUtf8WithoutByteOrderMarkAndReadsBackTheSame)
{
    const Document document = Read(DataFileText("handwritten.xml"));
    const std::wstring path = PathOf(L"user tweaks.xml");
    ASSERT_EQ(WriteDocument(path, document), 0u);

    const std::string bytes = ReadFile(path);
    EXPECT_FALSE(bytes.starts_with("\xEF\xBB\xBF"));
    EXPECT_NE(bytes.find("n=\"Gr\xC3\xB6\xC3\x9F"
                         "e \xE6\x97\xA5\xE6\x9C\xAC\xE8\xAA\x9E \xF0\x9F\x8E\x9B\""),
              std::string::npos);

    Document back;
    std::wstring error;
    ASSERT_EQ(ReadDocument(path, &back, &error), 0u) << error;
    EXPECT_EQ(back, Read(WriteDocumentText(document)));
    EXPECT_EQ(back.categories.at(1).name, L"Сеть/Интернет");
    EXPECT_EQ(back.categories.at(1).tweaks.at(0).description, L"Ünïcödé — description ✓");
}

TEST_F(RoundTripOnDisk, AnUnpairedSurrogateIsRefusedAndNothingIsWritten)
{
    Document document = Read(L"<Tweaks><Category n=\"C\"/></Tweaks>");
    document.categories[0].name = std::wstring(L"bad ") + static_cast<wchar_t>(0xD800);
    const std::wstring path = PathOf(L"bad.xml");
    EXPECT_EQ(WriteDocument(path, document), 1113u);
    EXPECT_FALSE(Exists(path));
}

TEST_F(RoundTripOnDisk, KeptMarkupThatNoLongerParsesIsRefused)
{
    Document document = Read(L"<Tweaks><Category n=\"C\"><Group n=\"g\"/></Category></Tweaks>");
    document.categories[0].keptAtEnd[0] = L"<Group n=\"g\">";  // broken by a caller
    const std::wstring path = PathOf(L"broken.xml");
    EXPECT_EQ(WriteDocument(path, document), Err::BadFormat);
    EXPECT_FALSE(Exists(path));
}

}  // namespace
