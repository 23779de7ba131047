#include "startup/Class.h"

#include <optional>

#include "core/platform/Errors.h"
#include "core/platform/Handles.h"
#include "core/system/Files.h"
#include "core/xml/XmlDocument.h"
#include "startup/File.h"
#include "startup/Info.h"
#include "startup/SnapshotXml.h"
#include "startup/Text.h"

namespace StartUp {

namespace {

Platform::IRegistry& Reg()
{
    return Platform::Current().Registry();
}

// The default value of an open key as text; false when it cannot be read.
bool ReadDefaultText(Platform::KeyHandle key, std::wstring* text)
{
    uint32_t type = 0;
    std::vector<uint8_t> data;
    if (Reg().QueryValue(key, L"", &type, &data) != Err::Success) {
        return false;
    }
    *text = StringOfValue(type, data);
    return true;
}

}  // namespace

std::wstring ClsidOf(std::wstring_view text)
{
    const size_t brace = text.rfind(L'{');
    return brace == std::wstring_view::npos ? std::wstring() : std::wstring(text.substr(brace));
}

ClassKeys::ClassKeys() : twoViews_(Platform::Current().System().Is64BitWindows()) {}

Platform::KeyHandle ClassKeys::Clsid(Platform::RegistryView view)
{
    const bool wow = view == Platform::RegistryView::Wow32;
    if (wow && !twoViews_) {
        return nullptr;
    }
    Platform::UniqueKey& key = wow ? wow32_ : native_;
    bool& tried = wow ? wow32Tried_ : nativeTried_;
    if (!tried) {
        tried = true;
        (void)Reg().OpenKeyInView(Platform::ClassesRoot(), L"CLSID", Platform::KeyAccess::Read, view, key.put());
    }
    return key.get();
}

Class::Class(std::wstring clsid, ClassKeys* keys) : clsid_(std::move(clsid))
{
    std::optional<ClassKeys> own;
    if (!keys) {
        keys = &own.emplace();
    }
    // A text that is no key name (empty, or with a path in it) names no class.
    if (clsid_.empty() || clsid_.find(L'\\') != std::wstring::npos) {
        return;
    }
    for (Platform::RegistryView view : {Platform::RegistryView::Native, Platform::RegistryView::Wow32}) {
        Platform::KeyHandle classes = keys->Clsid(view);
        Platform::UniqueKey key;
        // Keys opened below a key of a view stay in that view.
        if (!classes || Reg().OpenKey(classes, clsid_, Platform::KeyAccess::Read, key.put()) != Err::Success) {
            continue;
        }
        found_ = true;
        view_ = view;
        (void)ReadDefaultText(key.get(), &name_);
        Platform::UniqueKey serverKey;
        std::wstring server;
        if (Reg().OpenKey(key.get(), L"InprocServer32", Platform::KeyAccess::Read, serverKey.put()) == Err::Success &&
            ReadDefaultText(serverKey.get(), &server)) {
            server_ = Platform::Current().System().ExpandEnvironmentStrings(server);
        }
        break;
    }
}

RTI::Reference<IInfo> Class::GetInfo(uint32_t kind) const
{
    return kind == FourCC("FILE") ? InfoOfProgram(ProgramOfCommand(server_)) : RTI::Reference<IInfo>();
}

std::wstring Class::Location() const
{
    return L"HKCR\\" + StoredKeyPath(Platform::ClassesRoot(), L"CLSID\\" + clsid_, view_);
}

bool Class::IsSame(const IElement& other) const
{
    const auto* c = dynamic_cast<const Class*>(&other);
    return c && SameText(c->clsid_, clsid_);
}

std::vector<RTI::Reference<IElement>> Class::Children() const
{
    const std::wstring program = ProgramOfCommand(server_);
    if (program.empty()) {
        return {};
    }
    return {Sys::IsExecutableFile(program) ? RTI::Reference<IElement>(new Executable(program))
                                           : RTI::Reference<IElement>(new File(program))};
}

ClassShortcut::ClassShortcut(RTI::Reference<Registry> reference, By by, std::wstring_view clsidText, ClassKeys* keys)
    : reference_(std::move(reference)), by_(by), clsid_(ClsidOf(clsidText))
{
    if (!clsid_.empty()) {
        class_ = RTI::Reference<Class>(new Class(clsid_, keys));
    }
}

std::wstring ClassShortcut::Name() const
{
    if (class_ && class_->Found() && !class_->Name().empty()) {
        return class_->Name();
    }
    return reference_ ? reference_->Name() : clsid_;
}

RTI::Reference<IInfo> ClassShortcut::GetInfo(uint32_t kind) const
{
    return class_ ? class_->GetInfo(kind) : RTI::Reference<IInfo>();
}

std::wstring ClassShortcut::Location() const
{
    return reference_ ? reference_->Location() : std::wstring();
}

std::wstring ClassShortcut::Command() const
{
    return class_ ? class_->Command() : std::wstring();
}

int ClassShortcut::RegistryBits() const
{
    return reference_ ? reference_->RegistryBits() : 0;
}

bool ClassShortcut::IsSame(const IElement& other) const
{
    const auto* c = dynamic_cast<const ClassShortcut*>(&other);
    return c && c->reference_ && reference_ && c->reference_->IsSame(*reference_);
}

std::vector<RTI::Reference<IElement>> ClassShortcut::Children() const
{
    if (!class_ || !class_->Found()) {
        return {};
    }
    return {RTI::Reference<IElement>(class_)};
}

Platform::Status ClassShortcut::Backup(const SnapshotPlace& place, std::wstring* element)
{
    if (!reference_) {
        return Err::BadFormat;
    }
    std::wstring inner;
    if (Platform::Status s = reference_->Backup(place, &inner)) {
        return s;
    }
    *element = L"<ClassShortcut" + XmlAttribute(L"by", std::to_wstring(static_cast<int>(by_))) +
               XmlAttribute(L"ko", reference_->GetKind() == Registry::Kind::WholeKey ? L"1" : L"0") +
               XmlAttribute(L"clsid", clsid_) + L">" + inner + L"</ClassShortcut>";
    return Err::Success;
}

Platform::Status ClassShortcut::Delete()
{
    return reference_ ? reference_->Delete() : Err::BadFormat;
}

Platform::Status ClassShortcut::Restore(const SnapshotPlace& place)
{
    return reference_ ? reference_->Restore(place) : Err::BadFormat;
}

bool ClassShortcut::ExistsNow() const
{
    return reference_ && reference_->ExistsNow();
}

Platform::Status ClassShortcut::Load(std::wstring_view element)
{
    XmlDocument doc;
    if (!doc.SetDoc(std::wstring(element)) || !doc.FindElem(L"ClassShortcut") || doc.GetTagName() != L"ClassShortcut") {
        return Err::BadFormat;
    }
    const std::optional<uint32_t> by = ParseDecimal(doc.GetAttrib(L"by"));
    if (!by || *by < 1 || *by > 3) {
        return Err::BadFormat;
    }
    const std::vector<ElementText> children = ChildElements(doc);
    if (children.size() != 1 || children[0].name != L"Registry") {
        return Err::BadFormat;
    }
    RTI::Reference<Registry> reference(new Registry());
    if (Platform::Status s = reference->Load(children[0].text)) {
        return s;
    }
    reference_ = reference;
    by_ = static_cast<By>(*by);
    clsid_ = ClsidOf(doc.GetAttrib(L"clsid"));
    stored_ = true;
    checked_ = false;
    return Err::Success;
}

}  // namespace StartUp
