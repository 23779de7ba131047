#include "startup/Snapshot.h"

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

template <class T>
RTI::Reference<IElement> Loaded(std::wstring_view text)
{
    RTI::Reference<T> entry(new T());
    if (entry->Load(text) != Err::Success) {
        return {};
    }
    return RTI::Reference<IElement>(entry);
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
        if (category.name != L"Category") {
            continue;
        }
        XmlDocument categoryDoc;
        if (!categoryDoc.SetDoc(category.text) || !categoryDoc.FindElem(L"Category")) {
            continue;
        }
        const std::wstring name = categoryDoc.GetAttrib(L"name");
        for (const ElementText& element : ChildElements(categoryDoc, 1)) {
            records_.push_back({name, element.text, LoadElement(element.name, element.text)});
        }
    }
    return Err::Success;
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
    std::wstring text = L"<" + std::wstring(kDocumentElement) + L">\n";
    for (const Record& record : records_) {
        text += L"<Category" + XmlAttribute(L"name", record.category) + L">" + record.element + L"</Category>\n";
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
