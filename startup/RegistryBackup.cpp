#include "startup/RegistryBackup.h"

#include "core/crypto/Base64.h"
#include "core/platform/Errors.h"
#include "core/platform/Handles.h"
#include "startup/Text.h"

namespace StartUp {

namespace {
// Deeper nesting than the registry allows (512 levels) is not a real key.
constexpr int kMaxDepth = 512;
}  // namespace

std::wstring ValueElement(const Platform::RegistryValue& value)
{
    std::wstring text = L"<V" + XmlAttribute(L"name", value.name) + XmlAttribute(L"t", std::to_wstring(value.type));
    if (!value.data.empty()) {
        text += XmlAttribute(L"v", Crypto::EncodeBase64(value.data.data(), value.data.size()));
    }
    return text + L"/>";
}

Platform::Status ReadKeyTree(Platform::KeyHandle key, std::wstring name, SavedKey* out)
{
    Platform::IRegistry& registry = Platform::Current().Registry();
    SavedKey saved;
    saved.name = std::move(name);
    std::wstring childName;
    for (uint32_t i = 0;; ++i) {
        const Platform::Status s = registry.EnumKey(key, i, &childName);
        if (s == Err::NoMoreItems) {
            break;
        }
        if (s != Err::Success) {
            return s;
        }
        Platform::UniqueKey child;
        if (Platform::Status open = registry.OpenKey(key, childName, Platform::KeyAccess::Read, child.put())) {
            return open;
        }
        SavedKey sub;
        if (Platform::Status read = ReadKeyTree(child.get(), childName, &sub)) {
            return read;
        }
        saved.subkeys.push_back(std::move(sub));
    }
    for (uint32_t i = 0;; ++i) {
        Platform::RegistryValue value;
        uint32_t type = 0;
        const Platform::Status s = registry.EnumValue(key, i, &value.name, &type);
        if (s == Err::NoMoreItems) {
            break;
        }
        if (s != Err::Success) {
            return s;
        }
        if (Platform::Status query = registry.QueryValue(key, value.name, &value.type, &value.data)) {
            return query;
        }
        saved.values.push_back(std::move(value));
    }
    *out = std::move(saved);
    return Err::Success;
}

std::wstring KeyElement(const SavedKey& key)
{
    std::wstring text = L"<Key" + XmlAttribute(L"name", key.name) + L">";
    for (const SavedKey& sub : key.subkeys) {
        text += KeyElement(sub);
    }
    for (const Platform::RegistryValue& value : key.values) {
        text += ValueElement(value);
    }
    return text + L"</Key>";
}

bool ReadValueElement(const XmlDocument& doc, bool child, Platform::RegistryValue* out)
{
    const auto attribute = [&](std::wstring_view name) {
        return child ? doc.GetChildAttrib(name) : doc.GetAttrib(name);
    };
    const std::optional<uint32_t> type = ParseDecimal(attribute(L"t"));
    if (!type) {
        return false;
    }
    out->name = attribute(L"name");
    out->type = *type;
    out->data = Crypto::DecodeBase64(attribute(L"v"));
    return true;
}

bool ReadKeyElement(XmlDocument& doc, SavedKey* out, int depth)
{
    if (depth > kMaxDepth || doc.GetTagName() != L"Key") {
        return false;
    }
    out->name = doc.GetAttrib(L"name");
    if (out->name.empty()) {
        return false;
    }
    while (doc.FindChildElem()) {
        const std::wstring tag = doc.GetChildTagName();
        if (tag == L"V") {
            Platform::RegistryValue value;
            if (!ReadValueElement(doc, true, &value)) {
                return false;
            }
            out->values.push_back(std::move(value));
        } else if (tag == L"Key") {
            SavedKey sub;
            doc.IntoElem();
            const bool ok = ReadKeyElement(doc, &sub, depth + 1);
            doc.OutOfElem();
            if (!ok || sub.name.find(L'\\') != std::wstring::npos) {
                return false;
            }
            out->subkeys.push_back(std::move(sub));
        } else {
            return false;
        }
    }
    return true;
}

Platform::Status WriteKeyTree(Platform::KeyHandle key, const SavedKey& saved)
{
    Platform::IRegistry& registry = Platform::Current().Registry();
    for (const Platform::RegistryValue& value : saved.values) {
        if (Platform::Status s = registry.SetValue(key, value.name, value.type, value.data.data(), value.data.size())) {
            return s;
        }
    }
    for (const SavedKey& sub : saved.subkeys) {
        Platform::UniqueKey child;
        bool created = false;
        if (Platform::Status s = registry.CreateKey(key, sub.name, child.put(), &created)) {
            return s;
        }
        if (Platform::Status s = WriteKeyTree(child.get(), sub)) {
            return s;
        }
    }
    return Err::Success;
}

}  // namespace StartUp
