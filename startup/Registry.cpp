#include "startup/Registry.h"

#include "core/platform/Errors.h"
#include "core/platform/Handles.h"
#include "core/system/RegistryRoots.h"
#include "core/system/RegistryTree.h"
#include "core/xml/XmlDocument.h"
#include "startup/Info.h"
#include "startup/RegistryBackup.h"
#include "startup/Text.h"

namespace StartUp {

namespace {

Platform::IRegistry& Reg()
{
    return Platform::Current().Registry();
}

}  // namespace

Registry::Registry(Platform::KeyHandle root, std::wstring path, std::wstring valueName, Kind kind,
                   Platform::RegistryView view)
    : root_(root), path_(std::move(path)), value_(std::move(valueName)), kind_(kind), view_(view)
{
}

std::wstring Registry::Name() const
{
    return kind_ == Kind::WholeKey ? std::wstring(LastComponent(path_)) : value_;
}

RTI::Reference<IInfo> Registry::GetInfo(uint32_t kind) const
{
    if (kind != FourCC("FILE") || command_.empty()) {
        return {};
    }
    return InfoOfProgram(ProgramOfCommand(command_));
}

std::wstring Registry::Location() const
{
    std::wstring text = Sys::RootKeyName(root_) + L"\\" + StoredKeyPath(root_, path_, view_);
    if (kind_ == Kind::Value) {
        text += L", ";
        text += value_;
    }
    return text;
}

bool Registry::IsSame(const IElement& other) const
{
    const auto* registry = dynamic_cast<const Registry*>(&other);
    return registry && registry->root_ == root_ && registry->view_ == view_ && registry->kind_ == kind_ &&
           SameText(registry->path_, path_) && SameText(registry->value_, value_);
}

void Registry::ReadCommand()
{
    Platform::UniqueKey key;
    if (kind_ != Kind::Value ||
        Reg().OpenKeyInView(root_, path_, Platform::KeyAccess::Read, view_, key.put()) != Err::Success) {
        return;
    }
    uint32_t type = 0;
    std::vector<uint8_t> data;
    if (Reg().QueryValue(key.get(), value_, &type, &data) == Err::Success) {
        command_ = StringOfValue(type, data);
    }
}

void Registry::SetCommandFrom(uint32_t type, const std::vector<uint8_t>& data)
{
    command_ = StringOfValue(type, data);
}

Platform::Status Registry::Backup(const SnapshotPlace& place, std::wstring* element)
{
    (void)place;
    std::wstring text = L"<Registry" + XmlAttribute(L"parent", Sys::RootKeyName(root_)) + XmlAttribute(L"key", path_) +
                        XmlAttribute(L"value", value_) +
                        XmlAttribute(L"view", view_ == Platform::RegistryView::Wow32 ? L"32" : L"64");
    if (kind_ == Kind::WholeKey) {
        text += XmlAttribute(L"whole", L"1");
    }
    text += L">";
    Platform::UniqueKey key;
    if (Platform::Status s = Reg().OpenKeyInView(root_, path_, Platform::KeyAccess::Read, view_, key.put())) {
        return s;
    }
    if (kind_ == Kind::Value) {
        Platform::RegistryValue value;
        value.name = value_;
        if (Platform::Status s = Reg().QueryValue(key.get(), value_, &value.type, &value.data)) {
            return s;
        }
        text += ValueElement(value);
    } else {
        SavedKey saved;
        if (Platform::Status s = ReadKeyTree(key.get(), path_, &saved)) {
            return s;
        }
        text += KeyElement(saved);
    }
    *element = text + L"</Registry>";
    return Err::Success;
}

Platform::Status Registry::Delete()
{
    if (kind_ == Kind::Value) {
        Platform::UniqueKey key;
        if (Platform::Status s = Reg().OpenKeyInView(root_, path_, Platform::KeyAccess::Change, view_, key.put())) {
            return s;
        }
        return Reg().DeleteValue(key.get(), value_);
    }
    Platform::UniqueKey parent;
    if (Platform::Status s =
            Reg().OpenKeyInView(root_, ParentPath(path_), Platform::KeyAccess::Change, view_, parent.put())) {
        return s;
    }
    return Sys::DeleteKeyTree(parent.get(), LastComponent(path_), nullptr);
}

Platform::Status Registry::Load(std::wstring_view element)
{
    XmlDocument doc;
    if (!doc.SetDoc(std::wstring(element)) || !doc.FindElem(L"Registry") || doc.GetTagName() != L"Registry") {
        return Err::BadFormat;
    }
    const Platform::KeyHandle root = Sys::RootKeyFromName(doc.GetAttrib(L"parent"));
    const std::wstring path = doc.GetAttrib(L"key");
    const std::wstring view = doc.GetAttrib(L"view");
    if (!root || path.empty() || (view != L"32" && view != L"64")) {
        return Err::BadFormat;
    }
    root_ = root;
    path_ = path;
    value_ = doc.GetAttrib(L"value");
    kind_ = doc.GetAttrib(L"whole") == L"1" ? Kind::WholeKey : Kind::Value;
    view_ = view == L"32" ? Platform::RegistryView::Wow32 : Platform::RegistryView::Native;
    backup_ = std::wstring(element);
    stored_ = true;
    checked_ = false;
    if (kind_ == Kind::Value && doc.FindChildElem(L"V")) {
        Platform::RegistryValue value;
        if (ReadValueElement(doc, true, &value)) {
            command_ = StringOfValue(value.type, value.data);
        }
    }
    return Err::Success;
}

Platform::Status Registry::Restore(const SnapshotPlace& place)
{
    (void)place;
    XmlDocument doc;
    if (!doc.SetDoc(backup_) || !doc.FindElem(L"Registry")) {
        return Err::BadFormat;
    }
    if (kind_ == Kind::Value) {
        Platform::RegistryValue value;
        if (!doc.FindChildElem(L"V") || !ReadValueElement(doc, true, &value) || !SameText(value.name, value_)) {
            return Err::BadFormat;
        }
        Platform::UniqueKey key;
        bool created = false;
        if (Platform::Status s = Reg().CreateKeyInView(root_, path_, view_, key.put(), &created)) {
            return s;
        }
        return Reg().SetValue(key.get(), value_, value.type, value.data.data(), value.data.size());
    }
    SavedKey saved;
    if (!doc.FindChildElem(L"Key")) {
        return Err::BadFormat;
    }
    doc.IntoElem();
    if (!ReadKeyElement(doc, &saved) || !SameText(saved.name, path_)) {
        return Err::BadFormat;
    }
    Platform::UniqueKey key;
    bool created = false;
    if (Platform::Status s = Reg().CreateKeyInView(root_, path_, view_, key.put(), &created)) {
        return s;
    }
    return WriteKeyTree(key.get(), saved);
}

bool Registry::ExistsNow() const
{
    Platform::UniqueKey key;
    if (Reg().OpenKeyInView(root_, path_, Platform::KeyAccess::Read, view_, key.put()) != Err::Success) {
        return false;
    }
    return kind_ == Kind::WholeKey || Reg().QueryValue(key.get(), value_, nullptr, nullptr) == Err::Success;
}

}  // namespace StartUp
