#include "utils/Knobset/editor/Editor.h"

#include <algorithm>
#include <utility>

#include "core/platform/Errors.h"
#include "core/platform/FileIO.h"
#include "core/text/Utf.h"
#include "core/xml/XmlDocument.h"
#include "utils/Knobset/document/DefaultCategories.h"
#include "utils/Knobset/document/DocumentReader.h"
#include "utils/Knobset/document/DocumentWriter.h"
#include "utils/Knobset/document/EditorRules.h"
#include "utils/Knobset/document/Validator.h"
#include "utils/Knobset/editor/NodeLookup.h"

namespace Knobset {

namespace {

constexpr Platform::Status kCancelled = 1223;

std::wstring ReasonText(Platform::Status status)
{
    switch (status) {
        case Err::FileNotFound:
            return L"The file does not exist.";
        case Err::PathNotFound:
            return L"The folder does not exist.";
        case Err::AccessDenied:
            return L"Access is denied.";
        case Err::SharingViolation:
            return L"Another program is using the file.";
        case Err::DiskFull:
            return L"The disk is full.";
        case Err::NoUnicodeTranslation:
            return L"The text holds a character that UTF-8 cannot carry.";
        case Err::BadFormat:
            return L"The document is not well-formed XML.";
        default:
            return L"Error " + std::to_wstring(static_cast<int32_t>(status)) + L".";
    }
}

// "Line N: " for a file that is not well-formed XML, where the reader
// stopped; empty for any other failure.
std::wstring FailureLine(std::wstring_view path)
{
    std::string bytes;
    std::wstring text;
    XmlDocument xml;
    if (Platform::ReadWholeFile(path, &bytes) != Err::Success || Text::Utf8ToWide(bytes, &text) != Err::Success ||
        xml.SetDoc(text)) {
        return {};
    }
    const size_t end = std::min(xml.GetErrorOffset(), text.size());
    const auto lines = std::count(text.begin(), text.begin() + static_cast<std::ptrdiff_t>(end), L'\n');
    return L"Line " + std::to_wstring(lines + 1) + L": ";
}

template <typename T>
int LastIndex(const std::vector<T>& list)
{
    return static_cast<int>(list.size()) - 1;
}

bool HasCategoryNamed(const Document& document, std::wstring_view name)
{
    return std::any_of(document.categories.begin(), document.categories.end(),
                       [name](const Category& c) { return c.name == name; });
}

}  // namespace

std::wstring SaveFailureText(std::wstring_view path, Platform::Status status)
{
    return L"The document could not be saved to\n" + std::wstring(path) + L"\n\n" + ReasonText(status) +
           L"\n\nYour changes are kept, and the file on the disk is as it was.";
}

std::wstring HelpFilePath(std::wstring_view programFolder)
{
    std::wstring path(programFolder);
    if (!path.empty() && path.back() != L'\\' && path.back() != L'/') {
        path += L'\\';
    }
    return path + L"knhlp.chm";
}

Editor::Editor(IEditorHost& host, IRenameClock& clock) : host_(host), clock_(clock) {}

bool Editor::IsExpanded(NodeRef node) const
{
    if (!Exists(document_, node)) {
        return false;
    }
    const Expansion& e = expansion_[static_cast<size_t>(node.category)];
    switch (node.Depth()) {
        case 0:
            return e.expanded;
        case 1:
            return e.tweaks[static_cast<size_t>(node.tweak)];
        default:
            return false;
    }
}

Panel Editor::CurrentPanel() const
{
    return PanelFor(document_, selection_, selectedChoice_);
}

// ---- File commands ----

bool Editor::SaveChangesFirst(CommandResult* result)
{
    if (!changed_) {
        return true;
    }
    switch (host_.Ask(kAskSaveText, kWarningCaption)) {
        case Answer::No:
            return true;
        case Answer::Cancel:
            result->status = kCancelled;
            return false;
        case Answer::Yes:
            break;
    }
    CommandResult saved = Save();
    result->edits = std::move(saved.edits);
    result->mistakes = std::move(saved.mistakes);
    result->status = saved.status;
    return saved.status == Err::Success;
}

void Editor::ShowDocument(Document document, std::wstring path, bool changed, TreeEdits* edits)
{
    document_ = std::move(document);
    path_ = std::move(path);
    changed_ = changed;
    hasDocument_ = true;
    selection_ = {};
    selectedChoice_ = -1;
    expansion_.assign(document_.categories.size(), {});
    edits->push_back({TreeEdit::Kind::Clear, {}, {}});
    for (int c = 0; c <= LastIndex(document_.categories); ++c) {
        const Category& category = document_.categories[static_cast<size_t>(c)];
        expansion_[static_cast<size_t>(c)].tweaks.assign(category.tweaks.size(), false);
        edits->push_back({TreeEdit::Kind::Insert, CategoryNode(c), category.name});
        for (int t = 0; t <= LastIndex(category.tweaks); ++t) {
            const Tweak& tweak = category.tweaks[static_cast<size_t>(t)];
            edits->push_back({TreeEdit::Kind::Insert, TweakNode(c, t), tweak.name});
            for (int i = 0; i <= LastIndex(tweak.items); ++i) {
                edits->push_back({TreeEdit::Kind::Insert, ItemNode(c, t, i),
                                  ItemElementName(tweak.items[static_cast<size_t>(i)].kind)});
            }
        }
    }
}

void Editor::Validate(CommandResult* result)
{
    const ValidationReport report = Knobset::Validate(&document_, clock_);
    for (const CategoryRename& rename : report.renames) {
        result->edits.push_back(
            {TreeEdit::Kind::SetText, CategoryNode(static_cast<int>(rename.index)), rename.newName});
        changed_ = true;  // the new names must reach the file
    }
    if (!report.verdict) {
        result->mistakes += FormatReport(report);
    }
}

Editor::CommandResult Editor::New()
{
    CommandResult result;
    if (!SaveChangesFirst(&result)) {
        return result;
    }
    ShowDocument(NewDocument(), L"", true, &result.edits);
    return result;
}

Editor::CommandResult Editor::Open()
{
    const std::optional<std::wstring> path = host_.ChooseFileToOpen();
    if (!path) {
        return {kCancelled, {}, {}};
    }
    return OpenPath(*path);
}

Editor::CommandResult Editor::OpenPath(std::wstring_view path)
{
    CommandResult result;
    if (!SaveChangesFirst(&result)) {
        return result;
    }
    Document document;
    std::wstring error;
    result.status = ReadDocument(path, &document, &error);
    if (result.status != Err::Success) {
        const std::wstring reason = error.empty() ? ReasonText(result.status) : FailureLine(path) + error;
        host_.Show(std::wstring(kOpenFailedText) + L"\n\n" + std::wstring(path) + L"\n" + reason, kWarningCaption);
        return result;
    }
    ShowDocument(std::move(document), std::wstring(path), false, &result.edits);
    Validate(&result);
    return result;
}

void Editor::ValidateAndWrite(const std::wstring& path, CommandResult* result)
{
    Validate(result);
    result->status = WriteDocument(path, document_);
    if (result->status != Err::Success) {
        host_.Show(SaveFailureText(path, result->status), kWarningCaption);
        return;
    }
    path_ = path;
    changed_ = false;
}

Editor::CommandResult Editor::Save()
{
    CommandResult result;
    switch (DecideSave(document_, changed_, path_)) {
        case SaveStep::NothingToSave:
            host_.Show(kNothingToSaveText, kWarningCaption);
            break;
        case SaveStep::AskForPath:
            return SaveAs();
        case SaveStep::Write:
            ValidateAndWrite(path_, &result);
            break;
    }
    return result;
}

Editor::CommandResult Editor::SaveAs()
{
    CommandResult result;
    if (!hasDocument_) {
        host_.Show(kNothingToSaveText, kWarningCaption);
        return result;
    }
    const std::optional<std::wstring> path = host_.ChooseFileToSave(path_);
    if (!path) {
        result.status = kCancelled;
        return result;
    }
    ValidateAndWrite(*path, &result);
    return result;
}

Editor::CommandResult Editor::Close()
{
    CommandResult result;
    (void)SaveChangesFirst(&result);
    return result;
}

// ---- Structure commands ----

NodeRef Editor::LastVisibleIn(int category) const
{
    const Category& c = document_.categories[static_cast<size_t>(category)];
    const Expansion& e = expansion_[static_cast<size_t>(category)];
    if (!e.expanded || c.tweaks.empty()) {
        return CategoryNode(category);
    }
    const int t = LastIndex(c.tweaks);
    if (!e.tweaks[static_cast<size_t>(t)] || c.tweaks[static_cast<size_t>(t)].items.empty()) {
        return TweakNode(category, t);
    }
    return ItemNode(category, t, LastIndex(c.tweaks[static_cast<size_t>(t)].items));
}

TreeEdits Editor::AddCategory()
{
    if (!hasDocument_) {
        return {};
    }
    Category category;
    uint64_t number = clock_.SecondsSince1970();
    do {
        category.name = L"category" + std::to_wstring(number++);
    } while (HasCategoryNamed(document_, category.name));
    document_.categories.push_back(category);
    expansion_.emplace_back();
    MarkChanged();
    const NodeRef node = CategoryNode(LastIndex(document_.categories));
    selection_ = node;
    selectedChoice_ = -1;
    return {{TreeEdit::Kind::Insert, node, category.name}, {TreeEdit::Kind::Select, node, {}}};
}

TreeEdits Editor::DeleteCategory()
{
    if (selection_.Depth() != 0) {
        return {};
    }
    const int c = selection_.category;
    TreeEdits edits;
    NodeRef next;
    if (c > 0) {
        next = LastVisibleIn(c - 1);
        edits.push_back({TreeEdit::Kind::Select, next, {}});
        edits.push_back({TreeEdit::Kind::Remove, CategoryNode(c), {}});
    } else {
        edits.push_back({TreeEdit::Kind::Select, {}, {}});  // never remove the selected node
        edits.push_back({TreeEdit::Kind::Remove, CategoryNode(c), {}});
        if (document_.categories.size() > 1) {
            next = CategoryNode(0);  // nothing is above the first: the one below moves up
        }
        edits.push_back({TreeEdit::Kind::Select, next, {}});
    }
    document_.categories.erase(document_.categories.begin() + c);
    expansion_.erase(expansion_.begin() + c);
    selection_ = next;
    selectedChoice_ = -1;
    MarkChanged();
    return edits;
}

TreeEdits Editor::AddTweak()
{
    Category* category = CategoryAt(document_, selection_);
    if (!category || selection_.Depth() != 0) {
        return {};
    }
    const int c = selection_.category;
    category->tweaks.push_back(NewTweak(document_, clock_.SecondsSince1970()));
    Expansion& e = expansion_[static_cast<size_t>(c)];
    e.tweaks.push_back(false);
    e.expanded = true;
    MarkChanged();
    return {{TreeEdit::Kind::Insert, TweakNode(c, LastIndex(category->tweaks)), category->tweaks.back().name},
            {TreeEdit::Kind::Expand, CategoryNode(c), {}}};
}

TreeEdits Editor::DeleteTweak()
{
    if (selection_.Depth() != 1 || !TweakAt(document_, selection_)) {
        return {};
    }
    const int c = selection_.category;
    const int t = selection_.tweak;
    Category& category = document_.categories[static_cast<size_t>(c)];
    Expansion& e = expansion_[static_cast<size_t>(c)];
    NodeRef previous = CategoryNode(c);
    if (t > 0) {
        const Tweak& above = category.tweaks[static_cast<size_t>(t - 1)];
        previous = e.tweaks[static_cast<size_t>(t - 1)] && !above.items.empty()
                       ? ItemNode(c, t - 1, LastIndex(above.items))
                       : TweakNode(c, t - 1);
    }
    (void)RemoveTweak(&category, static_cast<size_t>(t));
    e.tweaks.erase(e.tweaks.begin() + t);
    selection_ = previous;
    selectedChoice_ = -1;
    MarkChanged();
    return {{TreeEdit::Kind::Select, previous, {}}, {TreeEdit::Kind::Remove, TweakNode(c, t), {}}};
}

TreeEdits Editor::AddItem()
{
    Tweak* tweak = TweakAt(document_, selection_);
    if (!tweak || selection_.Depth() != 1) {
        return {};
    }
    tweak->items.push_back(NewKeyItem());
    expansion_[static_cast<size_t>(selection_.category)].tweaks[static_cast<size_t>(selection_.tweak)] = true;
    MarkChanged();
    return {{TreeEdit::Kind::Insert, ItemNode(selection_.category, selection_.tweak, LastIndex(tweak->items)), L"Key"},
            {TreeEdit::Kind::Expand, selection_, {}}};
}

TreeEdits Editor::DeleteItem()
{
    if (!ItemAt(document_, selection_)) {
        return {};
    }
    const NodeRef removed = selection_;
    const NodeRef previous = removed.item > 0 ? ItemNode(removed.category, removed.tweak, removed.item - 1)
                                              : TweakNode(removed.category, removed.tweak);
    (void)RemoveItem(TweakAt(document_, removed), static_cast<size_t>(removed.item));
    selection_ = previous;
    selectedChoice_ = -1;
    MarkChanged();
    return {{TreeEdit::Kind::Select, previous, {}}, {TreeEdit::Kind::Remove, removed, {}}};
}

bool Editor::AddChoice()
{
    Item* item = ItemAt(document_, selection_);
    if (!item || item->kind != ItemKind::Key || !KeyFieldStatesOf(item->key).choicesEnabled) {
        return false;
    }
    item->key.choices.emplace_back();
    selectedChoice_ = LastIndex(item->key.choices);
    MarkChanged();
    return true;
}

bool Editor::DeleteChoice()
{
    Item* item = ItemAt(document_, selection_);
    if (!item || item->kind != ItemKind::Key || !KeyFieldStatesOf(item->key).choicesEnabled || selectedChoice_ < 0 ||
        !RemoveChoice(&item->key, static_cast<size_t>(selectedChoice_))) {
        return false;
    }
    selectedChoice_ = selectedChoice_ > 0 ? selectedChoice_ - 1 : item->key.choices.empty() ? -1 : 0;
    MarkChanged();
    return true;
}

void Editor::SelectChoice(int index)
{
    const Item* item = ItemAt(document_, selection_);
    const bool valid =
        item && item->kind == ItemKind::Key && index >= 0 && static_cast<size_t>(index) < item->key.choices.size();
    selectedChoice_ = valid ? index : -1;
}

void Editor::Select(NodeRef node)
{
    if (!Exists(document_, node)) {
        node = {};
    }
    if (node != selection_) {
        selection_ = node;
        selectedChoice_ = -1;
    }
}

void Editor::SetExpanded(NodeRef node, bool expanded)
{
    if (!Exists(document_, node)) {
        return;
    }
    Expansion& e = expansion_[static_cast<size_t>(node.category)];
    if (node.Depth() == 0) {
        e.expanded = expanded;
    } else if (node.Depth() == 1) {
        e.tweaks[static_cast<size_t>(node.tweak)] = expanded;
    }
}

// ---- Fields ----

std::wstring* Editor::FieldText(Field field)
{
    Category* category = selection_.Depth() == 0 ? CategoryAt(document_, selection_) : nullptr;
    Tweak* tweak = selection_.Depth() == 1 ? TweakAt(document_, selection_) : nullptr;
    Item* item = ItemAt(document_, selection_);
    Key* key = item && item->kind == ItemKind::Key ? &item->key : nullptr;
    Choice* choice = key && selectedChoice_ >= 0 && static_cast<size_t>(selectedChoice_) < key->choices.size()
                         ? &key->choices[static_cast<size_t>(selectedChoice_)]
                         : nullptr;
    switch (field) {
        case Field::CategoryName:
            return category ? &category->name : nullptr;
        case Field::CategoryIcon:
            return category ? &category->icon : nullptr;
        case Field::TweakName:
            return tweak ? &tweak->name : nullptr;
        case Field::TweakDescription:
            return tweak ? &tweak->description : nullptr;
        case Field::TweakDetails:
            return tweak ? &tweak->details : nullptr;
        case Field::TweakVersion:
            return tweak ? &tweak->ver : nullptr;
        case Field::TweakMaxVersion:
            return tweak ? &tweak->maxver : nullptr;
        case Field::TweakManageableOff:
            return tweak ? &tweak->manageable : nullptr;
        case Field::ItemType:
            return nullptr;  // shown, never edited
        case Field::KeyAction:
            return key ? &key->action : nullptr;
        case Field::KeyParent:
            return key ? &key->parent : nullptr;
        case Field::KeyValueType:
            return key ? &key->valuetype : nullptr;
        case Field::KeyPath:
            return key ? &key->path : nullptr;
        case Field::KeyKeyname:
            return key ? &key->keyname : nullptr;
        case Field::KeyValueName:
            return key ? &key->valuename : nullptr;
        case Field::KeyByteLength:
            return key ? &key->valuevalbytelen : nullptr;
        case Field::KeyValue:
            return key ? &key->valueval : nullptr;
        case Field::KeyEditable:
            return key ? &key->editable : nullptr;
        case Field::KeyValueDescr:
            return key ? &key->valuedescr : nullptr;
        case Field::ChoiceMain:
            return choice ? &choice->main : nullptr;
        case Field::ChoiceVal:
            return choice ? &choice->val : nullptr;
        case Field::ChoiceAction:
            return choice ? &choice->action : nullptr;
        case Field::ChoiceByteLength:
            return choice ? &choice->valuevalbytelen : nullptr;
        case Field::ChoiceDescr:
            return choice ? &choice->descr : nullptr;
    }
    return nullptr;
}

TreeEdits Editor::SetField(Field field, std::wstring_view text)
{
    std::wstring* target = filling_ > 0 ? nullptr : FieldText(field);
    if (!target) {
        return {};
    }
    // What the field showed for the stored text: a list shows an empty text
    // as its default entry, and a check box has two states for many texts.
    std::wstring shown = *target;
    std::wstring wanted(text);
    switch (field) {
        case Field::TweakVersion:
            shown = ShownVersion(*target);
            break;
        case Field::KeyAction:
        case Field::ChoiceAction:
            shown = ShownAction(*target);
            break;
        case Field::KeyEditable:
            shown = ShownEditable(*target);
            break;
        case Field::TweakManageableOff:
            shown = *target == L"0" ? L"1" : L"";
            wanted = text == L"1" ? L"0" : L"";
            break;
        case Field::ChoiceMain:
            shown = *target == L"1" ? L"1" : L"";
            break;
        default:
            break;
    }
    if (KindOf(field) == FieldKind::Check ? (text == L"1") == (shown == L"1") : text == shown) {
        return {};
    }
    *target = std::move(wanted);
    MarkChanged();
    if (field == Field::CategoryName || field == Field::TweakName) {
        return {{TreeEdit::Kind::SetText, selection_, *target}};
    }
    return {};
}

std::wstring Editor::SelectedTweakXml() const
{
    if (selection_.Depth() != 1) {
        return {};
    }
    const Tweak* tweak = TweakAt(document_, selection_);
    return tweak ? WriteTweakText(*tweak, CategoryAt(document_, selection_)->icon) : std::wstring();
}

std::wstring Editor::Help(std::wstring_view programFolder)
{
    const std::wstring path = HelpFilePath(programFolder);
    if (!host_.OpenWithShell(path)) {
        host_.Show(kHelpFailedText, kWarningCaption);
    }
    return path;
}

}  // namespace Knobset
