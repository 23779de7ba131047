#include "utils/Knobset/document/DocumentReader.h"

#include <algorithm>
#include <initializer_list>
#include <utility>

#include "core/platform/Errors.h"
#include "core/platform/FileIO.h"
#include "core/rti/IgnoreCaseStringComparator.h"
#include "core/text/Utf.h"
#include "core/xml/XmlDocument.h"
#include "utils/Knobset/document/SourceScan.h"

namespace Knobset {

namespace {

using Record = XmlDocument::Record;

struct Field {
    std::wstring_view name;
    std::wstring* target;
};

// Moves the attributes named by fields into their targets, noting their
// names in *taken when it is given; the rest stay in the returned list, in
// their order.
AttributeList TakeFields(AttributeList all, std::initializer_list<Field> fields, AttributeNames* taken = nullptr)
{
    AttributeList rest;
    for (Attribute& a : all) {
        const auto field =
            std::find_if(fields.begin(), fields.end(), [&a](const Field& f) { return a.name == f.name; });
        if (field == fields.end()) {
            rest.push_back(std::move(a));
            continue;
        }
        *field->target = std::move(a.value);
        if (taken) {
            taken->push_back(std::move(a.name));
        }
    }
    return rest;
}

// Walks the element index of one parsed document and builds the model. Child
// markup that is not modelled collects in a pending list and is handed to the
// next modelled sibling (keptBefore) or to the container's end.
class Reader {
public:
    explicit Reader(const XmlDocument& xml) : xml_(xml), doc_(xml.GetDoc()), index_(xml.GetIndex()) {}

    void ReadRoot(uint32_t root, Document* out) const
    {
        out->rootAttributes = Source::Attributes(xml_, root);
        KeptMarkup pending;
        WalkChildren(root, &pending, [&](uint32_t child) {
            if (Source::TagName(xml_, child) != L"Category") {
                return false;
            }
            Category category = ReadCategory(child);
            category.keptBefore = std::exchange(pending, {});
            out->categories.push_back(std::move(category));
            return true;
        });
        out->keptAtEnd = std::move(pending);
    }

    Category ReadCategory(uint32_t record) const
    {
        Category category;
        category.otherAttributes =
            TakeFields(Source::Attributes(xml_, record), {{L"n", &category.name}, {L"i", &category.icon}});
        KeptMarkup pending;
        WalkChildren(record, &pending, [&](uint32_t child) {
            if (!RTI::EqualsIgnoreCase(Source::TagName(xml_, child), L"Tweak")) {
                return false;  // the description, nested groups and unknown elements are kept
            }
            Tweak tweak = ReadTweak(child);
            tweak.keptBefore = std::exchange(pending, {});
            category.tweaks.push_back(std::move(tweak));
            return true;
        });
        category.keptAtEnd = std::move(pending);
        return category;
    }

private:
    Tweak ReadTweak(uint32_t record) const
    {
        Tweak tweak;
        std::wstring icon;
        tweak.otherAttributes = TakeFields(Source::Attributes(xml_, record),
                                           {{L"n", &tweak.name},
                                            {L"i", &icon},
                                            {L"ver", &tweak.ver},
                                            {L"maxver", &tweak.maxver},
                                            {L"enabled", &tweak.enabled},
                                            {L"manageable", &tweak.manageable}},
                                           &tweak.attributesInFile);
        tweak.icon = std::move(icon);
        bool haveDescription = false;
        bool haveDetails = false;
        KeptMarkup pending;
        WalkChildren(record, &pending, [&](uint32_t child) {
            const std::wstring_view name = Source::TagName(xml_, child);
            const bool modelledBefore = haveDescription || haveDetails || !tweak.items.empty();
            std::wstring* text = nullptr;
            if (name == L"d" && !haveDescription && IsTextOnly(child)) {
                haveDescription = true;
                text = &tweak.description;
            } else if (name == L"dex" && !haveDetails && IsTextOnly(child)) {
                haveDetails = true;
                text = &tweak.details;
            }
            if (text) {
                *text = TextOf(child);
                if (!modelledBefore) {
                    tweak.keptAtStart = std::exchange(pending, {});
                }
                return true;
            }
            ItemKind kind;
            if (name == L"Key") {
                kind = ItemKind::Key;
            } else if (name == L"File") {
                kind = ItemKind::File;
            } else if (name == L"Shortcut") {
                kind = ItemKind::Shortcut;
            } else {
                return false;
            }
            Item item = ReadItem(child, kind);
            item.keptBefore = std::exchange(pending, {});
            tweak.items.push_back(std::move(item));
            return true;
        });
        tweak.keptAtEnd = std::move(pending);
        return tweak;
    }

    Item ReadItem(uint32_t record, ItemKind kind) const
    {
        Item item;
        item.kind = kind;
        if (kind != ItemKind::Key) {
            item.otherAttributes = Source::Attributes(xml_, record);
            WalkChildren(record, &item.keptInside, [](uint32_t) { return false; });
            return item;
        }
        Key& key = item.key;
        item.otherAttributes = TakeFields(Source::Attributes(xml_, record),
                                          {{L"parent", &key.parent},
                                           {L"path", &key.path},
                                           {L"keyname", &key.keyname},
                                           {L"action", &key.action},
                                           {L"valuename", &key.valuename},
                                           {L"valuetype", &key.valuetype},
                                           {L"valueval", &key.valueval},
                                           {L"valuevalbytelen", &key.valuevalbytelen},
                                           {L"editable", &key.editable},
                                           {L"valuedescr", &key.valuedescr}},
                                          &key.attributesInFile);
        KeptMarkup pending;
        WalkChildren(record, &pending, [&](uint32_t child) {
            if (key.hasValuesElement || Source::TagName(xml_, child) != L"values") {
                return false;
            }
            ReadValues(child, &key);
            item.keptInside = std::exchange(pending, {});
            return true;
        });
        (key.hasValuesElement ? item.keptAfterValues : item.keptInside) = std::move(pending);
        return item;
    }

    void ReadValues(uint32_t record, Key* key) const
    {
        key->hasValuesElement = true;
        key->valuesAttributes = Source::Attributes(xml_, record);
        KeptMarkup pending;
        WalkChildren(record, &pending, [&](uint32_t child) {
            if (Source::TagName(xml_, child) != L"value") {
                return false;
            }
            Choice choice;
            choice.otherAttributes = TakeFields(Source::Attributes(xml_, child),
                                                {{L"val", &choice.val},
                                                 {L"valuevalbytelen", &choice.valuevalbytelen},
                                                 {L"descr", &choice.descr},
                                                 {L"action", &choice.action},
                                                 {L"main", &choice.main}},
                                                &choice.attributesInFile);
            WalkChildren(child, &choice.keptInside, [](uint32_t) { return false; });
            choice.keptBefore = std::exchange(pending, {});
            key->choices.push_back(std::move(choice));
            return true;
        });
        key->keptAfterChoices = std::move(pending);
    }

    // Calls take(child) for each child element in order, after appending the
    // markup before it to *pending; a child that take() does not model
    // (false) is appended to *pending as source text. The markup after the
    // last child is appended too.
    template <typename Take>
    void WalkChildren(uint32_t record, KeptMarkup* pending, Take take) const
    {
        const Record& r = index_[record];
        if (r.flags & Record::Empty) {
            return;
        }
        size_t from = r.startTagEnd + 1;
        for (uint32_t child = r.firstChild; child != 0; child = index_[child].nextSibling) {
            Source::AppendMarkup(doc_, from, index_[child].startTagStart, pending);
            if (!take(child)) {
                pending->push_back(Source::ElementText(xml_, child));
            }
            from = index_[child].endTagEnd + 1;
        }
        Source::AppendMarkup(doc_, from, r.endTagStart, pending);
    }

    bool IsTextOnly(uint32_t record) const { return index_[record].firstChild == 0; }

    // The element's text as XmlDocument reads it (CDATA, entities).
    std::wstring TextOf(uint32_t record) const
    {
        XmlDocument one;
        if (!one.SetDoc(Source::ElementText(xml_, record)) || !one.FindElem()) {
            return {};
        }
        return one.GetData();
    }

    const XmlDocument& xml_;
    std::wstring_view doc_;
    const std::vector<Record>& index_;
};

std::wstring ReadErrorText(Platform::Status status)
{
    switch (status) {
        case Err::FileNotFound:
        case Err::PathNotFound:
            return L"The file was not found";
        case Err::NoUnicodeTranslation:
            return L"The file is not UTF-8 text";
        default:
            return L"The file could not be read (error " + std::to_wstring(status) + L")";
    }
}

}  // namespace

Platform::Status ReadDocument(std::wstring_view path, Document* document, std::wstring* error)
{
    std::string bytes;
    if (const Platform::Status s = Platform::ReadWholeFile(path, &bytes)) {
        const Platform::Status status = s == Err::HandleEof ? Err::BadFormat : s;
        *error = ReadErrorText(status);
        return status;
    }
    return ReadDocumentFromUtf8(bytes, document, error);
}

Platform::Status ReadDocumentFromUtf8(std::string_view bytes, Document* document, std::wstring* error)
{
    std::wstring text;
    if (const Platform::Status s = Text::Utf8ToWide(bytes, &text)) {
        *error = ReadErrorText(s);
        return s;
    }
    return ReadDocumentFromText(std::move(text), document, error);
}

Platform::Status ReadDocumentFromText(std::wstring text, Document* document, std::wstring* error)
{
    XmlDocument xml;
    if (!xml.SetDoc(std::move(text))) {
        *error = xml.GetError();
        return Err::BadFormat;
    }
    const uint32_t root = xml.GetIndex()[0].firstChild;
    if (Source::TagName(xml, root) != L"Tweaks") {
        *error = L"The document element is not Tweaks";
        return Err::BadFormat;
    }
    Document read;
    // Comments and a declaration before the document element are kept too.
    Source::AppendMarkup(xml.GetDoc(), 0, xml.GetIndex()[root].startTagStart, &read.prolog);
    Reader(xml).ReadRoot(root, &read);
    *document = std::move(read);
    error->clear();
    return Err::Success;
}

bool IsNestedGroupName(std::wstring_view name)
{
    return RTI::EqualsIgnoreCase(name, L"Category") || RTI::EqualsIgnoreCase(name, L"Group") ||
           RTI::EqualsIgnoreCase(name, L"Application");
}

bool ReadNestedGroup(std::wstring_view markup, Category* group)
{
    XmlDocument xml;  // a kept comment has no element and fails here
    if (!xml.SetDoc(std::wstring(markup))) {
        return false;
    }
    const uint32_t root = xml.GetIndex()[0].firstChild;
    if (!IsNestedGroupName(Source::TagName(xml, root))) {
        return false;
    }
    *group = Reader(xml).ReadCategory(root);
    return true;
}

}  // namespace Knobset
