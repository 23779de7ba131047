#pragma once
// Shared helpers of the Knobset document tests: test data, reading a document
// that must be valid, a rename clock that does not wait, and the comparison
// of two tweak files as a reader of tweak files sees them.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <map>
#include <ostream>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "core/rti/IgnoreCaseStringComparator.h"
#include "core/text/Utf.h"
#include "core/xml/XmlDocument.h"
#include "utils/Knobset/document/DocumentReader.h"
#include "utils/Knobset/document/RenameClock.h"
#include "utils/Knobset/document/SourceScan.h"

namespace Knobset {

// Readable failure messages for attribute lists.
inline void PrintTo(const Attribute& a, std::ostream* os)
{
    std::string name;
    std::string value;
    (void)Text::WideToUtf8(a.name, &name);
    (void)Text::WideToUtf8(a.value, &value);
    *os << name << "=\"" << value << "\"";
}

}  // namespace Knobset

namespace KnobsetTesting {

// A file of tests/data/knobset as bytes; empty (and a failed test) when missing.
inline std::string ReadDataFile(std::string_view name)
{
    const std::string path = std::string(CORVANE_TEST_DATA_DIR) + "/knobset/" + std::string(name);
    std::ifstream in(path, std::ios::binary);
    EXPECT_TRUE(in.good()) << "missing test data " << path;
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

inline std::wstring DataFileText(std::string_view name)
{
    std::wstring text;
    EXPECT_EQ(Text::Utf8ToWide(ReadDataFile(name), &text), 0u);
    return text;
}

inline Knobset::Document Read(std::wstring_view text)
{
    Knobset::Document document;
    std::wstring error;
    EXPECT_EQ(Knobset::ReadDocumentFromText(std::wstring(text), &document, &error), 0u) << error;
    return document;
}

// Starts at a fixed time; each wait moves it on by the time waited.
class SteppingClock final : public Knobset::IRenameClock {
public:
    explicit SteppingClock(uint64_t start) : now_(start) {}
    uint64_t SecondsSince1970() override { return now_; }
    void Wait(uint32_t milliseconds) override
    {
        waits.push_back(milliseconds);
        now_ += milliseconds / 1000;
    }
    std::vector<uint32_t> waits;

private:
    uint64_t now_;
};

// A clock that stands still and never waits.
class StoppedClock final : public Knobset::IRenameClock {
public:
    explicit StoppedClock(uint64_t now) : now_(now) {}
    uint64_t SecondsSince1970() override { return now_; }
    void Wait(uint32_t) override {}

private:
    uint64_t now_;
};

// The document element as a reader of tweak files sees it, one line per
// element or comment in document order, indented by depth: element names
// (any letter case of "Tweak" read as "Tweak"), attributes sorted with their
// effective values (absent and empty alike; manageable other than "0",
// editable "no" and a choice's action VALUE_SET as if absent; a Key without
// action as VALUE_SET), and the text of elements without children.
class ParsedView {
public:
    static std::wstring Of(std::wstring_view text)
    {
        XmlDocument xml;
        EXPECT_TRUE(xml.SetDoc(std::wstring(text))) << "not well formed";
        ParsedView view(xml);
        view.Element(xml.GetIndex()[0].firstChild, 0);
        return view.out_;
    }

private:
    explicit ParsedView(const XmlDocument& xml) : xml_(xml) {}

    void Element(uint32_t record, int depth)
    {
        if (record == 0) {
            return;
        }
        std::wstring name(Knobset::Source::TagName(xml_, record));
        if (RTI::EqualsIgnoreCase(name, L"Tweak")) {
            name = L"Tweak";
        }
        std::map<std::wstring, std::wstring> attributes;
        for (const Knobset::Attribute& a : Knobset::Source::Attributes(xml_, record)) {
            attributes[a.name] = a.value;
        }
        if (name == L"Tweak" && attributes[L"manageable"] != L"0") {
            attributes.erase(L"manageable");
        }
        if (name == L"Key") {
            if (attributes[L"action"].empty()) {
                attributes[L"action"] = L"VALUE_SET";
            }
            if (attributes[L"editable"] == L"no") {
                attributes.erase(L"editable");
            }
        }
        if (name == L"value" && attributes[L"action"] == L"VALUE_SET") {
            attributes.erase(L"action");
        }
        std::erase_if(attributes, [](const auto& a) { return a.second.empty(); });

        out_.append(static_cast<size_t>(depth) * 2, L' ');
        out_ += L"<" + name;
        for (const auto& [n, v] : attributes) {
            out_ += L" " + n + L"=[" + v + L"]";
        }
        out_ += L">";
        const XmlDocument::Record& r = xml_.GetIndex()[record];
        if (r.firstChild == 0) {
            XmlDocument one;
            if (one.SetDoc(Knobset::Source::ElementText(xml_, record)) && one.FindElem()) {
                out_ += one.GetData();
            }
        }
        out_ += L"\n";
        if (r.flags & XmlDocument::Record::Empty) {
            return;
        }
        size_t from = r.startTagEnd + 1;
        for (uint32_t child = r.firstChild; child != 0; child = xml_.GetIndex()[child].nextSibling) {
            Comments(from, xml_.GetIndex()[child].startTagStart, depth + 1);
            Element(child, depth + 1);
            from = xml_.GetIndex()[child].endTagEnd + 1;
        }
        Comments(from, r.endTagStart, depth + 1);
    }

    void Comments(size_t from, size_t to, int depth)
    {
        Knobset::KeptMarkup comments;
        Knobset::Source::AppendMarkup(xml_.GetDoc(), from, to, &comments);
        for (const std::wstring& c : comments) {
            out_.append(static_cast<size_t>(depth) * 2, L' ');
            out_ += c + L"\n";
        }
    }

    const XmlDocument& xml_;
    std::wstring out_;
};

}  // namespace KnobsetTesting
