#include "startup/Class.h"

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

// The default value of HKCR\path as text; false when it cannot be read.
bool ReadDefaultText(std::wstring_view path, Platform::RegistryView view, std::wstring* text, bool* keyFound)
{
    Platform::IRegistry& registry = Platform::Current().Registry();
    Platform::UniqueKey key;
    if (registry.OpenKeyInView(Platform::ClassesRoot(), path, Platform::KeyAccess::Read, view, key.put()) !=
        Err::Success) {
        return false;
    }
    if (keyFound) {
        *keyFound = true;
    }
    uint32_t type = 0;
    std::vector<uint8_t> data;
    if (registry.QueryValue(key.get(), L"", &type, &data) != Err::Success) {
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

Class::Class(std::wstring clsid) : clsid_(std::move(clsid))
{
    for (Platform::RegistryView view : {Platform::RegistryView::Native, Platform::RegistryView::Wow32}) {
        if (view == Platform::RegistryView::Wow32 && !Platform::Current().System().Is64BitWindows()) {
            break;
        }
        bool keyFound = false;
        std::wstring name;
        (void)ReadDefaultText(L"CLSID\\" + clsid_, view, &name, &keyFound);
        if (!keyFound) {
            continue;
        }
        found_ = true;
        view_ = view;
        name_ = name;
        std::wstring server;
        if (ReadDefaultText(L"CLSID\\" + clsid_ + L"\\InprocServer32", view, &server, nullptr)) {
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

ClassShortcut::ClassShortcut(RTI::Reference<Registry> reference, By by, std::wstring_view clsidText)
    : reference_(std::move(reference)), by_(by), clsid_(ClsidOf(clsidText))
{
    if (!clsid_.empty()) {
        class_ = RTI::Reference<Class>(new Class(clsid_));
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
