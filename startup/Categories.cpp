#include "startup/Categories.h"

#include <algorithm>
#include <iterator>

#include "core/platform/Errors.h"
#include "core/platform/Handles.h"
#include "core/system/ShellFolders.h"
#include "startup/Class.h"
#include "startup/File.h"
#include "startup/Registry.h"
#include "startup/Text.h"

namespace StartUp {

void ICategory::SetFound(ElementList found)
{
    // Only stored entries are compared: what one enumeration finds is unique,
    // and comparing every pair would cost the square of a large key's size.
    ElementList kept;
    for (RTI::Reference<IElement>& existing : entries_) {
        if (existing->IsStored() &&
            std::none_of(found.begin(), found.end(), [&](const auto& now) { return now->IsSame(*existing); })) {
            kept.push_back(std::move(existing));
        }
    }
    kept.insert(kept.end(), std::make_move_iterator(found.begin()), std::make_move_iterator(found.end()));
    entries_ = std::move(kept);
}

namespace Categories {

namespace {

// Deeper than the registry nests keys: a loop is not followed for ever.
constexpr int kMaxDepth = 64;

Platform::IRegistry& Reg()
{
    return Platform::Current().Registry();
}

std::vector<std::wstring> SubkeyNames(Platform::KeyHandle key)
{
    std::vector<std::wstring> names;
    std::wstring name;
    for (uint32_t i = 0; Reg().EnumKey(key, i, &name) == Err::Success; ++i) {
        names.push_back(name);
    }
    return names;
}

std::vector<std::wstring> ValueNames(Platform::KeyHandle key)
{
    std::vector<std::wstring> names;
    std::wstring name;
    uint32_t type = 0;
    for (uint32_t i = 0; Reg().EnumValue(key, i, &name, &type) == Err::Success; ++i) {
        names.push_back(name);
    }
    return names;
}

std::wstring StringValue(Platform::KeyHandle key, std::wstring_view name)
{
    uint32_t type = 0;
    std::vector<uint8_t> data;
    if (Reg().QueryValue(key, name, &type, &data) != Err::Success) {
        return {};
    }
    return StringOfValue(type, data);
}

bool HasValue(Platform::KeyHandle key, std::wstring_view name)
{
    return Reg().QueryValue(key, name, nullptr, nullptr) == Err::Success;
}

// True when path is parent itself (levels 0) or lies below it (levels > 0, any
// depth when recursive).
bool IsBelow(std::wstring_view path, std::wstring_view parent, bool recursive)
{
    if (path.size() <= parent.size() + 1 || path[parent.size()] != L'\\' ||
        !SameText(path.substr(0, parent.size()), parent)) {
        return false;
    }
    return recursive || path.find(L'\\', parent.size() + 1) == std::wstring_view::npos;
}

}  // namespace

Platform::Status Group::Enumerate()
{
    for (const RTI::Reference<ICategory>& child : children_) {
        (void)child->Enumerate();
    }
    return Err::Success;
}

// -------------------------------------------------------------------- Run

Run::Run(std::wstring name, Platform::KeyHandle root, std::wstring path, Platform::RegistryView view, Layout layout,
         std::optional<ApprovedList> approved)
    : name_(std::move(name)), root_(root), path_(std::move(path)), view_(view), layout_(layout), approved_(approved)
{
}

Platform::Status Run::Enumerate()
{
    Platform::UniqueKey key;
    if (Platform::Status s = Reg().OpenKeyInView(root_, path_, Platform::KeyAccess::Read, view_, key.put())) {
        SetFound({});
        return s;
    }
    ElementList found;
    std::optional<ApprovedReader> approved;
    if (approved_) {
        approved.emplace(root_, *approved_);
    }
    const auto add = [&](Platform::KeyHandle at, const std::wstring& path, const std::wstring& value) {
        RTI::Reference<Registry> entry(new Registry(root_, path, value, Registry::Kind::Value, view_));
        uint32_t type = 0;
        std::vector<uint8_t> data;
        if (Reg().QueryValue(at, value, &type, &data) == Err::Success) {
            entry->SetCommandFrom(type, data);
        }
        if (approved) {
            entry->SetApproved(approved->Read(value));
        }
        found.push_back(RTI::Reference<IElement>(entry));
    };
    if (layout_ == Layout::Values) {
        for (const std::wstring& value : ValueNames(key.get())) {
            add(key.get(), path_, value);
        }
    } else {
        for (const std::wstring& sub : SubkeyNames(key.get())) {
            Platform::UniqueKey subKey;
            if (Reg().OpenKey(key.get(), sub, Platform::KeyAccess::Read, subKey.put()) != Err::Success) {
                continue;
            }
            for (const std::wstring& value : ValueNames(subKey.get())) {
                // The default value is the step's title, not a command.
                if (!value.empty()) {
                    add(subKey.get(), path_ + L"\\" + sub, value);
                }
            }
        }
    }
    SetFound(std::move(found));
    return Err::Success;
}

bool Run::Owns(const IElement& entry, std::wstring* refusal) const
{
    (void)refusal;
    const auto* registry = dynamic_cast<const Registry*>(&entry);
    if (!registry || registry->GetKind() != Registry::Kind::Value || registry->Root() != root_ ||
        registry->View() != view_) {
        return false;
    }
    return layout_ == Layout::Values ? SameText(registry->Path(), path_) : IsBelow(registry->Path(), path_, false);
}

// ----------------------------------------------------------------- Folder

Folder::Folder(std::wstring name, int csidl, Platform::KeyHandle approvedRoot)
    : name_(std::move(name)), csidl_(csidl), approvedRoot_(approvedRoot)
{
}

std::wstring Folder::Path() const
{
    std::wstring path = Sys::GetShellFolder(csidl_);
    while (path.size() > 3 && path.back() == L'\\') {
        path.pop_back();
    }
    return path;
}

Platform::Status Folder::Enumerate()
{
    const std::wstring folder = Path();
    if (folder.empty()) {
        SetFound({});
        return Err::InvalidParameter;
    }
    Platform::IFileSystem& files = Platform::Current().Files();
    Platform::UniqueFind find;
    Platform::FindData data;
    Platform::Status s = files.FindFirst(folder + L"\\*", &data, find.put());
    if (s != Err::Success) {
        SetFound({});
        return s == Err::FileNotFound ? Err::Success : s;
    }
    ElementList found;
    const ApprovedReader approved(approvedRoot_, ApprovedList::StartupFolder);
    for (; s == Err::Success; s = files.FindNext(find.get(), &data)) {
        constexpr uint32_t kHiddenSystem = Platform::FileAttr::Hidden | Platform::FileAttr::System;
        if (data.attributes & (Platform::FileAttr::Directory | Platform::FileAttr::ReparsePoint)) {
            continue;
        }
        if ((data.attributes & kHiddenSystem) == kHiddenSystem || SameText(data.name, L"desktop.ini")) {
            continue;
        }
        RTI::Reference<IElement> entry = MakeFileEntry(folder + L"\\" + data.name);
        entry->SetApproved(approved.Read(data.name));
        found.push_back(std::move(entry));
    }
    SetFound(std::move(found));
    return Err::Success;
}

bool Folder::Owns(const IElement& entry, std::wstring* refusal) const
{
    const auto* file = dynamic_cast<const File*>(&entry);
    if (!file) {
        return false;
    }
    const std::wstring folder = Path();
    // Either side may spell a folder by its 8.3 name ("C:\PROGRA~3\...").
    if (!folder.empty() && SameText(LongPathOr(ParentPath(file->Path())), LongPathOr(folder))) {
        return true;
    }
    if (refusal) {
        *refusal = folder.empty() ? L"the Windows shell names no " + name_ + L" folder now"
                                  : L"the " + name_ + L" folder is now " + folder;
    }
    return false;
}

// ---------------------------------------------------------------- Classes

Classes::Classes(std::wstring name, Platform::KeyHandle root, std::wstring path, std::wstring valueName, Mode mode,
                 bool recurse, Platform::RegistryView view, Access access)
    : name_(std::move(name)),
      root_(root),
      path_(std::move(path)),
      valueName_(std::move(valueName)),
      mode_(mode),
      recurse_(recurse),
      view_(view),
      access_(access)
{
}

Platform::Status Classes::Enumerate()
{
    Platform::UniqueKey key;
    ElementList found;
    if (Platform::Status s = Reg().OpenKeyInView(root_, path_, Platform::KeyAccess::Read, view_, key.put())) {
        SetFound({});
        return s;
    }
    ClassKeys classKeys;
    Walk(key.get(), path_, 0, classKeys, &found);
    SetFound(std::move(found));
    return Err::Success;
}

void Classes::Walk(Platform::KeyHandle key, const std::wstring& path, int depth, ClassKeys& classKeys,
                   ElementList* found)
{
    using By = ClassShortcut::By;
    const auto add = [&](Registry* reference, By by, std::wstring_view clsidText) {
        found->push_back(RTI::Reference<IElement>(
            new ClassShortcut(RTI::Reference<Registry>(reference), by, clsidText, &classKeys)));
    };
    const bool byValues = mode_ == Mode::ValueName || mode_ == Mode::ValueData;
    if (!byValues || recurse_) {
        for (const std::wstring& sub : SubkeyNames(key)) {
            const std::wstring subPath = path + L"\\" + sub;
            // A sub-key named by a class identifier is the by-name category's;
            // every other one is the by-value category's, so that no
            // registration is listed twice.
            const bool namedByClass = !ClsidOf(sub).empty();
            if (mode_ == Mode::SubkeyValue && !namedByClass) {
                Platform::UniqueKey subKey;
                std::wstring text;
                if (Reg().OpenKey(key, sub, Platform::KeyAccess::Read, subKey.put()) == Err::Success) {
                    text = StringValue(subKey.get(), valueName_);
                }
                add(new Registry(root_, subPath, L"", Registry::Kind::WholeKey, view_), By::Data, text);
            } else if (mode_ == Mode::SubkeyName && namedByClass) {
                add(new Registry(root_, subPath, L"", Registry::Kind::WholeKey, view_), By::KeyName, sub);
            } else if (byValues && depth < kMaxDepth) {
                Platform::UniqueKey subKey;
                if (Reg().OpenKey(key, sub, Platform::KeyAccess::Read, subKey.put()) == Err::Success) {
                    Walk(subKey.get(), subPath, depth + 1, classKeys, found);
                }
            }
        }
    }
    if (byValues) {
        for (const std::wstring& value : ValueNames(key)) {
            if (value.empty()) {
                continue;  // a key's default value registers nothing here
            }
            auto* reference = new Registry(root_, path, value, Registry::Kind::Value, view_);
            if (mode_ == Mode::ValueName) {
                add(reference, By::ValueName, value);
            } else {
                add(reference, By::Data, StringValue(key, value));
            }
        }
    }
}

bool Classes::Owns(const IElement& entry, std::wstring* refusal) const
{
    (void)refusal;
    const auto* shortcut = dynamic_cast<const ClassShortcut*>(&entry);
    if (!shortcut || !shortcut->Reference()) {
        return false;
    }
    const Registry& reference = *shortcut->Reference();
    if (reference.Root() != root_ || reference.View() != view_) {
        return false;
    }
    const bool byValues = mode_ == Mode::ValueName || mode_ == Mode::ValueData;
    if (byValues) {
        return reference.GetKind() == Registry::Kind::Value &&
               (SameText(reference.Path(), path_) || (recurse_ && IsBelow(reference.Path(), path_, true)));
    }
    return reference.GetKind() == Registry::Kind::WholeKey && IsBelow(reference.Path(), path_, false);
}

// ----------------------------------------------------------------- Values

Values::Values(std::wstring name, Platform::KeyHandle root, std::wstring path, std::vector<std::wstring> valueNames,
               Layout layout, Platform::RegistryView view)
    : name_(std::move(name)),
      root_(root),
      path_(std::move(path)),
      valueNames_(std::move(valueNames)),
      layout_(layout),
      view_(view)
{
}

Platform::Status Values::Enumerate()
{
    entries_.clear();
    Platform::UniqueKey key;
    if (Platform::Status s = Reg().OpenKeyInView(root_, path_, Platform::KeyAccess::Read, view_, key.put())) {
        return s;
    }
    ElementList found;
    const auto addNamed = [&](Platform::KeyHandle at, const std::wstring& path) {
        for (const std::wstring& value : valueNames_) {
            if (!HasValue(at, value)) {
                continue;
            }
            RTI::Reference<Registry> entry(new Registry(root_, path, value, Registry::Kind::Value, view_));
            entry->ReadCommand();
            // An empty command runs nothing (AppInit_DLLs is usually empty).
            if (!entry->Command().empty()) {
                found.push_back(RTI::Reference<IElement>(entry));
            }
        }
    };
    if (layout_ == Layout::KeyValues) {
        addNamed(key.get(), path_);
    } else {
        for (const std::wstring& sub : SubkeyNames(key.get())) {
            Platform::UniqueKey subKey;
            if (Reg().OpenKey(key.get(), sub, Platform::KeyAccess::Read, subKey.put()) == Err::Success) {
                addNamed(subKey.get(), path_ + L"\\" + sub);
            }
        }
    }
    SetFound(std::move(found));
    return Err::Success;
}

}  // namespace Categories
}  // namespace StartUp
