// Reading a Key element, and the accessors that change what it holds.
#include "tweaker/Key.h"

#include "core/system/RegistryRoots.h"

namespace Tweaker {
namespace {

constexpr uint64_t kMaxByteLength = 1u << 20;

bool ReadsRecursive(int action)
{
    return action == Action::KeyDelete || action == Action::KeyValuesDelete || action == Action::KeyValuesClear ||
           action == Action::ValueDelete;
}

bool ReadsValue(int action)
{
    return action == Action::ValueSet || action == Action::ValueClear;
}

}  // namespace

int Key::Load(XmlDocument& reader)
{
    rootName_ = reader.GetAttrib(L"parent");
    if (rootName_ == L"DEFAULT_USER") {
        rootName_ = L".DEFAULT";
    }
    keyPath_ = reader.GetAttrib(L"path");
    keyName_ = reader.GetAttrib(L"keyname");
    const std::wstring action = reader.GetAttrib(L"action");
    actionText_ = action.empty() ? L"VALUE_SET" : action;
    action_ = ActionCode(actionText_);

    const std::wstring editable = reader.GetAttrib(L"editable");
    editKind_ = editable == L"set" ? EditKind::Choices : editable == L"range" ? EditKind::Range : EditKind::None;
    // A choice may switch the item to another action, so a choice list needs
    // every attribute whatever the action is now.
    const bool all = editKind_ == EditKind::Choices;
    if (all || ReadsRecursive(action_)) {
        recursive_ = reader.GetAttrib(L"recursive") == L"1";
    }
    if (all || ReadsValue(action_) || action_ == Action::ValueDelete) {
        valueName_ = reader.GetAttrib(L"valuename");
    }
    if (all || ReadsValue(action_)) {
        configured_ = reader.GetAttrib(L"valueval");
        recommended_ = configured_;
        typeText_ = reader.GetAttrib(L"valuetype");
        type_ = ValueTypeCode(typeText_);
        if (all || type_ == Platform::RegType::Binary) {
            SetByteLength(reader.GetAttrib(L"valuevalbytelen"));
        }
    }
    if (editKind_ == EditKind::Range) {
        valueDescription_ = reader.GetAttrib(L"valuedescr");
    }
    if (editKind_ == EditKind::Choices) {
        while (reader.FindChildElem()) {
            if (reader.GetChildTagName() != L"values" || !reader.IntoElem()) {
                continue;
            }
            while (reader.FindChildElem()) {
                if (reader.GetChildTagName() != L"value") {
                    continue;
                }
                Choice choice;
                choice.val = reader.GetChildAttrib(L"val");
                choice.descr = reader.GetChildAttrib(L"descr");
                choice.byteLength = reader.GetChildAttrib(L"valuevalbytelen");
                choice.action = reader.GetChildAttrib(L"action");
                if (choice.action.empty()) {
                    choice.action = L"VALUE_SET";
                }
                choice.main = reader.GetChildAttrib(L"main") == L"1";
                choices_.push_back(std::move(choice));
            }
            (void)reader.OutOfElem();
            break;  // one choice list
        }
    }
    return 0;
}

void Key::SetActionText(std::wstring_view text)
{
    actionText_ = text.empty() ? std::wstring(L"VALUE_SET") : std::wstring(text);
    if (const int code = ActionCode(actionText_); code != Action::None) {
        action_ = code;
    }
}

void Key::SetByteLength(std::wstring_view text)
{
    byteLengthText_ = text;
    uint64_t v = 0;
    for (wchar_t ch : text) {
        if (ch < L'0' || ch > L'9') {
            break;
        }
        v = v * 10 + (ch - L'0');
        if (v > kMaxByteLength) {
            // Registry values are far smaller; a hostile file must not make
            // every analysis allocate gigabytes.
            v = kMaxByteLength;
            break;
        }
    }
    byteLength_ = static_cast<uint32_t>(v);
}

Platform::KeyHandle Key::Root() const
{
    return Sys::RootKeyFromName(rootName_);
}

std::wstring Key::FullKeyPath() const
{
    std::wstring path = keyPath_;
    if (!path.empty() && !keyName_.empty()) {
        path.push_back(L'\\');
    }
    return path + keyName_;
}

}  // namespace Tweaker
