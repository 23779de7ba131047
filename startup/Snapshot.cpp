#include "startup/Snapshot.h"

#include <algorithm>

#include "core/platform/Errors.h"
#include "core/platform/FileIO.h"
#include "core/system/Folders.h"
#include "core/system/ShellFolders.h"
#include "core/text/Utf.h"
#include "core/xml/XmlDocument.h"
#include "startup/Catalogue.h"
#include "startup/Class.h"
#include "startup/File.h"
#include "startup/Registry.h"
#include "startup/SnapshotXml.h"
#include "startup/Text.h"

namespace StartUp {

namespace {

constexpr wchar_t kDocumentElement[] = L"StartupSnapshot";
constexpr wchar_t kPathSeparator[] = L" / ";
// Groups hold categories; nothing deeper is written. A few more levels are
// read, so that a hand-made document is not refused for its nesting alone.
constexpr int kMaxCategoryDepth = 8;

template <class T>
RTI::Reference<IElement> Loaded(std::wstring_view text)
{
    RTI::Reference<T> entry(new T());
    if (entry->Load(text) != Err::Success) {
        return {};
    }
    return RTI::Reference<IElement>(entry);
}

// The category class whose entries an element describes, for the class
// attribute; empty for an element no category holds.
std::wstring CategoryClassOf(std::wstring_view element)
{
    if (element.rfind(L"<Registry", 0) == 0) {
        return L"Run";
    }
    if (element.rfind(L"<File", 0) == 0 || element.rfind(L"<Executable", 0) == 0 ||
        element.rfind(L"<Shortcut", 0) == 0) {
        return L"Folder";
    }
    if (element.rfind(L"<ClassShortcut", 0) == 0 || element.rfind(L"<Class", 0) == 0) {
        return L"Classes";
    }
    return {};
}

}  // namespace

SnapshotPlace DefaultSnapshotPlace(std::wstring_view programFolder)
{
    const std::wstring appData = Sys::GetShellFolder(Sys::Csidl::AppData);
    if (appData.empty()) {
        return {};
    }
    return {Sys::JoinPath(Sys::JoinPath(appData, programFolder), L"startup")};
}

RTI::Reference<IElement> LoadElement(std::wstring_view name, std::wstring_view text)
{
    if (name == L"Registry") {
        return Loaded<Registry>(text);
    }
    if (name == L"File") {
        return Loaded<File>(text);
    }
    if (name == L"Executable") {
        return Loaded<Executable>(text);
    }
    if (name == L"Shortcut") {
        return Loaded<Shortcut>(text);
    }
    if (name == L"ClassShortcut") {
        return Loaded<ClassShortcut>(text);
    }
    return {};
}

Platform::Status Snapshot::Load()
{
    records_.clear();
    damaged_ = false;
    std::string bytes;
    const Platform::Status read = Platform::ReadWholeFile(DocumentPath(), &bytes);
    if (read == Err::FileNotFound || read == Err::PathNotFound) {
        return Err::Success;
    }
    if (read != Err::Success) {
        damaged_ = true;
        return read;
    }
    XmlDocument doc;
    if (doc.LoadFromUtf8(bytes) != Err::Success || !doc.FindElem(kDocumentElement)) {
        damaged_ = true;
        return Err::BadFormat;
    }
    for (const ElementText& category : ChildElements(doc, 1)) {
        if (category.name == L"Category") {
            ReadCategory(category.text, L"", 0);
        }
    }
    return Err::Success;
}

// A category element: entries under its path ("Group / Category"), and the
// categories of a group below it. Files written before groups were nested
// hold one element per category named by its whole path; they read the same.
void Snapshot::ReadCategory(const std::wstring& text, const std::wstring& parentPath, int depth)
{
    XmlDocument categoryDoc;
    if (depth >= kMaxCategoryDepth || !categoryDoc.SetDoc(text) || !categoryDoc.FindElem(L"Category")) {
        return;
    }
    const std::wstring name = categoryDoc.GetAttrib(L"name");
    const std::wstring path = parentPath.empty() ? name : parentPath + kPathSeparator + name;
    for (const ElementText& element : ChildElements(categoryDoc, 1)) {
        if (element.name == L"Category") {
            ReadCategory(element.text, path, depth + 1);
        } else {
            records_.push_back({path, element.text, LoadElement(element.name, element.text)});
        }
    }
}

const Snapshot::Record* Snapshot::Find(const IElement& entry) const
{
    for (const Record& record : records_) {
        if (record.entry && record.entry->IsSame(entry)) {
            return &record;
        }
    }
    return nullptr;
}

Platform::Status Snapshot::Save()
{
    // Records of one category go together, categories of one group too, in
    // the order they were first recorded.
    std::vector<std::wstring> groups;
    std::vector<std::wstring> paths;
    const auto addOnce = [](std::vector<std::wstring>& list, const std::wstring& item) {
        if (std::find(list.begin(), list.end(), item) == list.end()) {
            list.push_back(item);
        }
    };
    for (const Record& record : records_) {
        const size_t split = record.category.find(kPathSeparator);
        addOnce(groups, split == std::wstring::npos ? record.category : record.category.substr(0, split));
        addOnce(paths, record.category);
    }
    const auto categoryElement = [&](const std::wstring& path, const std::wstring& name) {
        std::wstring elements;
        std::wstring className;
        for (const Record& record : records_) {
            if (record.category == path) {
                elements += record.element;
                className = className.empty() ? CategoryClassOf(record.element) : className;
            }
        }
        const std::wstring classAttribute = className.empty() ? L"" : XmlAttribute(L"class", className);
        return L"<Category" + classAttribute + XmlAttribute(L"name", name) + L">" + elements + L"</Category>\n";
    };
    std::wstring text = L"<" + std::wstring(kDocumentElement) + L">\n";
    for (const std::wstring& group : groups) {
        const std::wstring prefix = group + kPathSeparator;
        if (std::find(paths.begin(), paths.end(), group) != paths.end()) {
            // A path without a group (a hand-made document) stays as it was read.
            text += categoryElement(group, group);
        }
        std::wstring children;
        for (const std::wstring& path : paths) {
            if (path.size() > prefix.size() && path.compare(0, prefix.size(), prefix) == 0) {
                children += categoryElement(path, path.substr(prefix.size()));
            }
        }
        if (!children.empty()) {
            text += L"<Category" + XmlAttribute(L"class", L"Group") + XmlAttribute(L"name", group) + L">\n" + children +
                    L"</Category>\n";
        }
    }
    text += L"</" + std::wstring(kDocumentElement) + L">\n";
    std::string bytes;
    if (Platform::Status s = Text::WideToUtf8(text, &bytes)) {
        return s;
    }
    if (Platform::Status s = Sys::CreateFolderPath(place_.folder)) {
        return s;
    }
    return Platform::ReplaceWholeFile(DocumentPath(), bytes);
}

Platform::Status Snapshot::Remove(const std::wstring& categoryPath, const ICategory& category, IElement& entry)
{
    if (damaged_) {
        return Err::BadFormat;
    }
    if (category.IsReadOnly()) {
        return Err::AccessDenied;
    }
    if (place_.folder.empty()) {
        return Err::PathNotFound;
    }
    std::wstring element;
    if (Platform::Status s = entry.Backup(place_, &element)) {
        return s;
    }
    records_.push_back({categoryPath, element, LoadElement(entry.ClassName(), element)});
    if (Platform::Status s = Save()) {
        records_.pop_back();
        return s;
    }
    if (Platform::Status s = entry.Delete()) {
        records_.pop_back();
        // The entry is still there: the document must not say otherwise.
        (void)Save();
        return s;
    }
    return Err::Success;
}

Platform::Status Snapshot::Restore(const CategoryList& roots, size_t index, std::wstring* message)
{
    if (damaged_) {
        return Err::BadFormat;
    }
    if (index >= records_.size()) {
        return Err::InvalidParameter;
    }
    const Record record = records_[index];
    if (!record.entry) {
        if (message) {
            *message = L"the saved entry is damaged";
        }
        return Err::BadFormat;
    }
    bool owned = false;
    std::wstring refusal;
    ForEachCategory(roots, [&](const std::wstring& path, const RTI::Reference<ICategory>& category) {
        if (owned || category->IsReadOnly()) {
            return;
        }
        // Only the category the entry was taken from may take it back, so
        // that an edited snapshot cannot move a user's entry to the machine.
        if (path != record.category) {
            return;
        }
        std::wstring why;
        if (category->Owns(*record.entry, &why)) {
            owned = true;
        } else if (!why.empty()) {
            refusal = why;
        }
    });
    if (!owned) {
        if (message) {
            *message =
                refusal.empty() ? L"no place the startup manager watches holds " + record.entry->Location() : refusal;
            if (const auto* file = dynamic_cast<const File*>(record.entry.Get())) {
                *message += L"; the saved copy lies in " + place_.FilesFolder() + L"\\" + file->Digest();
            }
        }
        return kNotWatched;
    }
    if (Platform::Status s = record.entry->Restore(place_)) {
        return s;
    }
    records_.erase(records_.begin() + static_cast<std::ptrdiff_t>(index));
    const Platform::Status saved = Save();
    // The copy goes once no other record needs it.
    if (const auto* file = dynamic_cast<const File*>(record.entry.Get()); saved == Err::Success && file) {
        bool needed = false;
        for (const Record& other : records_) {
            const auto* otherFile = dynamic_cast<const File*>(other.entry.Get());
            needed = needed || (otherFile && otherFile->Digest() == file->Digest());
            needed = needed || other.element.find(file->Digest()) != std::wstring::npos;
        }
        if (!needed) {
            (void)Platform::Current().Files().DeleteFile(place_.FilesFolder() + L"\\" + file->Digest());
        }
    }
    return saved;
}

}  // namespace StartUp
