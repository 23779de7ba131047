#pragma once
// XmlDocument: the XML class behind every XML file of both programs. It keeps
// the whole document as one wide string plus an index of element positions
// into it, and a cursor that moves over elements. There is no node tree, no
// namespaces, no DTD processing and no numeric character references.
//
// The cursor has three positions, all index records (0 = none): the parent,
// the current element (a child of the parent) and the current child (a child
// of the current element). The top of the document is parent 0, the virtual
// root whose only child is the document element.
//
// Untrusted text never crashes the parser or the readers and nothing here
// throws except on running out of memory. Navigation and reading never fail
// loudly: a missing element or attribute gives false or an empty string.
// Names are compared exactly, with regard to case.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "core/platform/Platform.h"

class XmlDocument {
public:
    // One element of the index. Positions are indexes into the document
    // text. Record 0 is the virtual root above the document element; its
    // positions are unused.
    struct Record {
        uint32_t startTagStart = 0;  // the "<" of the start tag
        uint32_t startTagEnd = 0;    // the ">" of the start tag
        uint32_t endTagStart = 0;    // the "<" of the end tag; the "/" of "/>" for an empty element
        uint32_t endTagEnd = 0;      // the ">" of the end tag (of "/>" for an empty element)
        uint32_t flags = 0;          // Record::Empty
        uint32_t parent = 0;
        uint32_t firstChild = 0;   // 0 = none
        uint32_t nextSibling = 0;  // 0 = none

        static constexpr uint32_t Empty = 1;  // written as "<name/>"
    };

    XmlDocument();

    // Reads the file through the platform seam, decodes it from UTF-8 and
    // parses it. Returns 0; the error of the file system when the file cannot
    // be read (2 when missing); 1113 when the bytes are not UTF-8;
    // Err::BadFormat (0xFFFFFFFF, -1 as a signed value) when the file became
    // short while being read or when the parse fails (an empty file too).
    // When the file cannot be read or decoded the document is unchanged;
    // otherwise it holds the file's text, parsed or not.
    [[nodiscard]] Platform::Status Load(std::wstring_view path);
    // Load without the file: the same decoding and results.
    [[nodiscard]] Platform::Status LoadFromUtf8(std::string_view bytes);
    // Replaces the text and parses its document element; anything after that
    // element is ignored. True when it is well formed; otherwise the error
    // text says why and the index holds only the virtual root. The cursor
    // goes back to the top either way.
    [[nodiscard]] bool SetDoc(std::wstring text);
    // Writes the text as UTF-8 without a byte-order mark (one read from the
    // file is dropped), replacing any existing file in one step through
    // "<path>.tmp" (Platform::ReplaceWholeFile): on failure the old file is
    // as it was. 0, 1113 when the text holds an unpaired surrogate, or the
    // error of the file system.
    [[nodiscard]] Platform::Status Save(std::wstring_view path) const;

    const std::wstring& GetDoc() const { return text_; }
    // The last parse error; empty when the last parse succeeded.
    const std::wstring& GetError() const { return error_; }
    // Where the last parse failed: the offset in the text of the tag it
    // stopped at, or the text's length when the text ended too early.
    size_t GetErrorOffset() const { return errorOffset_; }
    // The element index, for checks and for callers that walk it themselves.
    const std::vector<Record>& GetIndex() const { return records_; }

    // A name matches a tag when the tag name equals the name's leading
    // characters up to its end or its first " ", "=", "/" or "[". An empty
    // name matches every tag.
    //
    // Moves to the next sibling after the current element (the first child of
    // the parent when there is none) whose name matches, and clears the child
    // position. False leaves the cursor unchanged.
    bool FindElem(std::wstring_view name = {});
    // The same among the children of the current element, after the current
    // child; finds any top element first when there is no current element.
    bool FindChildElem(std::wstring_view name = {});
    // The current element becomes the parent and its current child the
    // current element. False when there is no current element.
    bool IntoElem();
    // The reverse of IntoElem. False at the top.
    bool OutOfElem();
    void ResetPos();

    std::wstring GetTagName() const { return TagName(current_); }
    std::wstring GetChildTagName() const { return TagName(child_); }
    // The unescaped value of a named attribute; empty when missing.
    std::wstring GetAttrib(std::wstring_view name) const { return Attribute(current_, name); }
    std::wstring GetChildAttrib(std::wstring_view name) const { return Attribute(child_, name); }
    // Whether the current child has the attribute at all (an empty value
    // counts as present).
    bool HasChildAttrib(std::wstring_view name) const
    {
        AttributeSpot spot;
        return FindAttribute(child_, name, &spot);
    }
    // The element's text: empty for an empty element or one with children;
    // the raw text of a leading CDATA section; otherwise the unescaped
    // content, whitespace kept.
    std::wstring GetData() const { return Data(current_); }
    std::wstring GetChildData() const { return Data(child_); }

    // Adds an element after the current one (at the end of the parent's
    // children when there is none) and makes it current. Fails at the top
    // when there is a document element already, and on a name that is not a
    // single plain token. The cursor is unchanged on failure.
    bool AddElem(std::wstring_view name, std::wstring_view text = {});
    // Adds a child of the current element after the current child and makes
    // it the current child. Fails when there is no current element.
    bool AddChildElem(std::wstring_view name, std::wstring_view text = {});
    // Replaces the value of an attribute, or adds the attribute at the end of
    // the start tag. False when there is no such element or the name is not a
    // single plain token.
    bool SetAttrib(std::wstring_view name, std::wstring_view value) { return WriteAttribute(current_, name, value); }
    bool SetChildAttrib(std::wstring_view name, std::wstring_view value) { return WriteAttribute(child_, name, value); }

private:
    // Where an attribute sits in a start tag.
    struct AttributeSpot {
        size_t valueStart = 0;  // the value token, quotes included; when the
        size_t valueStop = 0;   // value is missing ("a=>"), empty after the "="
        size_t valueBegin = 0;  // the value's text, without quotes
        size_t valueEnd = 0;
    };

    bool Parse();
    // Stores the error text (with %s replaced by name), clears the index to the
    // virtual root and returns false.
    bool Fail(std::wstring_view message, std::wstring_view name = {});

    bool Matches(uint32_t record, std::wstring_view name) const;
    std::wstring_view TagNameView(uint32_t record) const;
    std::wstring TagName(uint32_t record) const;
    std::wstring Attribute(uint32_t record, std::wstring_view name) const;
    std::wstring Data(uint32_t record) const;
    bool FindAttribute(uint32_t record, std::wstring_view name, AttributeSpot* spot) const;

    uint32_t InsertElement(uint32_t parent, uint32_t after, std::wstring_view name, std::wstring_view text);
    bool WriteAttribute(uint32_t record, std::wstring_view name, std::wstring_view value);
    // Replaces text_[at, at + length) by replacement and moves every position
    // at or after the end of the replaced part by the change in length.
    bool Splice(size_t at, size_t length, std::wstring_view replacement);

    std::wstring text_;
    std::vector<Record> records_;
    std::wstring error_;
    size_t errorOffset_ = 0;
    uint32_t parent_ = 0;
    uint32_t current_ = 0;
    uint32_t child_ = 0;
    int nodeKind_ = 0;  // of the current position: 1 = element, 0 = none
};
