#include "core/platform/portable/MemoryRegistry.h"

#include <algorithm>
#include <cstddef>
#include <cwctype>
#include <map>

#include "core/platform/Errors.h"
#include "core/rti/IgnoreCaseStringComparator.h"

namespace Platform::Portable {

namespace {
constexpr Status kBadPathname = 161;  // ERROR_BAD_PATHNAME: a subkey path that starts with "\"

constexpr const wchar_t* kRootNames[7] = {L"HKCR", L"HKCU", L"HKLM", L"HKU", L"HKPD", L"HKCC", L"HKDD"};

int RootIndex(KeyHandle key)
{
    return static_cast<int>(static_cast<uint32_t>(reinterpret_cast<uintptr_t>(key)) - 0x80000000u);
}
}  // namespace

struct MemoryRegistry::Node {
    std::wstring name;
    Node* parent = nullptr;  // null for the roots and for deleted keys
    bool root = false;
    bool deleted = false;
    Protection protection = Protection::None;
    uint64_t lastWrite = 0;
    std::vector<std::shared_ptr<Node>> subkeys;  // sorted by upper-cased name, as Windows enumerates them
    std::vector<RegistryValue> values;           // in the order they were created
    // Where each value is in `values`, by name ignoring case, so that a key
    // with many values is looked up without a walk.
    std::map<std::wstring, size_t, RTI::IgnoreCaseStringComparator> valueIndex;

    std::vector<std::shared_ptr<Node>>::iterator LowerBound(std::wstring_view key)
    {
        return std::lower_bound(
            subkeys.begin(), subkeys.end(), key,
            [](const std::shared_ptr<Node>& n, std::wstring_view k) { return RTI::CompareIgnoreCase(n->name, k) < 0; });
    }
    std::shared_ptr<Node> Find(std::wstring_view key)
    {
        auto it = LowerBound(key);
        return (it != subkeys.end() && RTI::EqualsIgnoreCase((*it)->name, key)) ? *it : nullptr;
    }
    std::vector<RegistryValue>::iterator FindValue(std::wstring_view valueName)
    {
        const auto it = valueIndex.find(valueName);
        return it == valueIndex.end() ? values.end() : values.begin() + static_cast<std::ptrdiff_t>(it->second);
    }
    void AddValue(RegistryValue value)
    {
        valueIndex.emplace(value.name, values.size());
        values.push_back(std::move(value));
    }
    // Removing the last value is cheap; one before it moves those after.
    void RemoveValue(std::vector<RegistryValue>::iterator it)
    {
        const auto at = static_cast<size_t>(it - values.begin());
        valueIndex.erase(it->name);
        values.erase(it);
        for (size_t i = at; i < values.size(); ++i) {
            valueIndex[values[i].name] = i;
        }
    }
};

MemoryRegistry::MemoryRegistry(FaultInjector& faults, const Clock& clock) : faults_(faults), clock_(clock)
{
    for (int i = 0; i < 7; ++i) {
        roots_[i] = std::make_shared<Node>();
        roots_[i]->name = kRootNames[i];
        roots_[i]->root = true;
        roots_[i]->lastWrite = clock_.NowFileTime();
    }
    // Every Windows has the default user's hive loaded.
    auto defaultUser = std::make_shared<Node>();
    defaultUser->name = L".DEFAULT";
    defaultUser->parent = roots_[3].get();
    defaultUser->lastWrite = clock_.NowFileTime();
    roots_[3]->subkeys.push_back(std::move(defaultUser));
}

MemoryRegistry::~MemoryRegistry() = default;

Status MemoryRegistry::ResolveHandle(KeyHandle key, std::shared_ptr<Node>* node, KeyAccess* access)
{
    if (IsPredefinedKey(key)) {
        *node = roots_[RootIndex(key)];
        *access = KeyAccess::Change;
        return Err::Success;
    }
    auto it = open_.find(key);
    if (it == open_.end()) {
        return Err::InvalidHandle;
    }
    if (it->second->node->deleted) {
        return Err::KeyDeleted;
    }
    *node = it->second->node;
    *access = it->second->access;
    return Err::Success;
}

Status MemoryRegistry::ParsePath(std::wstring_view subKey, std::vector<std::wstring_view>* parts) const
{
    // Windows refuses a leading backslash but takes a trailing one and
    // repeated ones inside; "." and ".." are ordinary names in the registry.
    if (!subKey.empty() && subKey.front() == L'\\') {
        return kBadPathname;
    }
    size_t start = 0;
    while (start <= subKey.size()) {
        size_t end = subKey.find(L'\\', start);
        if (end == std::wstring_view::npos) {
            end = subKey.size();
        }
        if (end > start) {
            if (end - start > kMaxKeyNameLength) {
                return Err::InvalidParameter;
            }
            parts->push_back(subKey.substr(start, end - start));
        }
        start = end + 1;
    }
    return Err::Success;
}

std::wstring MemoryRegistry::PathOf(const Node& node) const
{
    std::vector<const Node*> chain;
    for (const Node* n = &node; n; n = n->parent) {
        chain.push_back(n);
    }
    std::wstring path;
    for (auto it = chain.rbegin(); it != chain.rend(); ++it) {
        if (!path.empty()) {
            path += L'\\';
        }
        path += (*it)->name;
    }
    return path;
}

std::wstring MemoryRegistry::JoinPath(const Node& base, const std::vector<std::wstring_view>& parts) const
{
    std::wstring path = PathOf(base);
    for (std::wstring_view part : parts) {
        path += L'\\';
        path += part;
    }
    return path;
}

KeyHandle MemoryRegistry::NewHandle(std::shared_ptr<Node> node, KeyAccess access)
{
    auto state = std::make_unique<OpenKeyState>(OpenKeyState{std::move(node), access});
    auto handle = reinterpret_cast<KeyHandle>(state.get());
    open_.emplace(handle, std::move(state));
    return handle;
}

void MemoryRegistry::Touch(Node& node)
{
    node.lastWrite = clock_.NowFileTime();
}

Status MemoryRegistry::OpenKey(KeyHandle parent, std::wstring_view subKey, KeyAccess access, KeyHandle* out)
{
    std::lock_guard lock(mutex_);
    std::shared_ptr<Node> node;
    KeyAccess parentAccess;
    std::vector<std::wstring_view> parts;
    if (Status s = ResolveHandle(parent, &node, &parentAccess)) {
        return s;
    }
    if (Status s = ParsePath(subKey, &parts)) {
        return s;
    }
    if (Status s = faults_.Check(Operation::OpenKey, {JoinPath(*node, parts), {}})) {
        return s;
    }
    for (std::wstring_view part : parts) {
        node = node->Find(part);
        if (!node) {
            return Err::FileNotFound;
        }
    }
    if (node->protection == Protection::NoAccess ||
        (node->protection == Protection::ReadOnly && access == KeyAccess::Change)) {
        return Err::AccessDenied;
    }
    *out = NewHandle(std::move(node), access);
    return Err::Success;
}

Status MemoryRegistry::CreateKey(KeyHandle parent, std::wstring_view subKey, KeyHandle* out, bool* created)
{
    std::lock_guard lock(mutex_);
    std::shared_ptr<Node> node;
    KeyAccess parentAccess;
    std::vector<std::wstring_view> parts;
    if (Status s = ResolveHandle(parent, &node, &parentAccess)) {
        return s;
    }
    if (Status s = ParsePath(subKey, &parts)) {
        return s;
    }
    if (Status s = faults_.Check(Operation::CreateKey, {JoinPath(*node, parts), {}})) {
        return s;
    }
    // Find the existing part of the path first, so that a refusal leaves
    // nothing half created.
    size_t level = 0;
    for (; level < parts.size(); ++level) {
        std::shared_ptr<Node> child = node->Find(parts[level]);
        if (!child) {
            break;
        }
        node = std::move(child);
    }
    const bool creating = level < parts.size();
    if (creating) {
        if (node->protection != Protection::None || (level == 0 && parentAccess == KeyAccess::Read)) {
            return Err::AccessDenied;
        }
    } else if (node->protection != Protection::None) {
        return Err::AccessDenied;  // the existing key is opened for changes
    }
    for (; level < parts.size(); ++level) {
        auto child = std::make_shared<Node>();
        child->name = std::wstring(parts[level]);
        child->parent = node.get();
        Touch(*child);
        node->subkeys.insert(node->LowerBound(child->name), child);
        Touch(*node);
        node = std::move(child);
    }
    *out = NewHandle(std::move(node), KeyAccess::Change);
    if (created) {
        *created = creating;
    }
    return Err::Success;
}

namespace {

bool StartsWithComponent(std::wstring_view path, std::wstring_view component)
{
    if (path.size() < component.size() || (path.size() > component.size() && path[component.size()] != L'\\')) {
        return false;
    }
    for (size_t i = 0; i < component.size(); ++i) {
        if (std::towupper(path[i]) != std::towupper(component[i])) {
            return false;
        }
    }
    return true;
}

// Where a root-relative path of the 32-bit view lives in the one registry.
std::wstring RedirectedPath(KeyHandle parent, std::wstring_view subKey, RegistryView view)
{
    constexpr std::wstring_view kSoftware = L"Software";
    constexpr std::wstring_view kWow = L"WOW6432Node";
    if (view != RegistryView::Wow32) {
        return std::wstring(subKey);
    }
    if (parent == LocalMachine() && StartsWithComponent(subKey, kSoftware)) {
        std::wstring_view rest = subKey.substr(kSoftware.size());
        if (!rest.empty()) {
            rest.remove_prefix(1);
        }
        if (StartsWithComponent(rest, kWow)) {
            return std::wstring(subKey);
        }
        return std::wstring(subKey.substr(0, kSoftware.size())) + L"\\" + std::wstring(kWow) +
               (rest.empty() ? L"" : L"\\" + std::wstring(rest));
    }
    if (parent == ClassesRoot() && !StartsWithComponent(subKey, kWow)) {
        return std::wstring(kWow) + (subKey.empty() ? L"" : L"\\" + std::wstring(subKey));
    }
    return std::wstring(subKey);
}

}  // namespace

Status MemoryRegistry::OpenKeyInView(KeyHandle parent, std::wstring_view subKey, KeyAccess access, RegistryView view,
                                     KeyHandle* out)
{
    return OpenKey(parent, RedirectedPath(parent, subKey, view), access, out);
}

Status MemoryRegistry::CreateKeyInView(KeyHandle parent, std::wstring_view subKey, RegistryView view, KeyHandle* out,
                                       bool* created)
{
    return CreateKey(parent, RedirectedPath(parent, subKey, view), out, created);
}

Status MemoryRegistry::CloseKey(KeyHandle key)
{
    if (IsPredefinedKey(key)) {
        return Err::Success;
    }
    std::lock_guard lock(mutex_);
    return open_.erase(key) ? Err::Success : Err::InvalidHandle;
}

Status MemoryRegistry::QueryKeyInfo(KeyHandle key, KeyInfo* out)
{
    std::lock_guard lock(mutex_);
    std::shared_ptr<Node> node;
    KeyAccess access;
    if (Status s = ResolveHandle(key, &node, &access)) {
        return s;
    }
    if (Status s = faults_.Check(Operation::QueryKeyInfo, {PathOf(*node), {}})) {
        return s;
    }
    KeyInfo info;
    info.subkeys = static_cast<uint32_t>(node->subkeys.size());
    info.values = static_cast<uint32_t>(node->values.size());
    for (const auto& sub : node->subkeys) {
        info.maxSubkeyNameLength = std::max(info.maxSubkeyNameLength, static_cast<uint32_t>(sub->name.size()));
    }
    for (const RegistryValue& v : node->values) {
        info.maxValueNameLength = std::max(info.maxValueNameLength, static_cast<uint32_t>(v.name.size()));
        info.maxValueDataLength = std::max(info.maxValueDataLength, static_cast<uint32_t>(v.data.size()));
    }
    info.lastWriteTime = node->lastWrite;
    *out = info;
    return Err::Success;
}

Status MemoryRegistry::EnumKey(KeyHandle key, uint32_t index, std::wstring* name)
{
    std::lock_guard lock(mutex_);
    std::shared_ptr<Node> node;
    KeyAccess access;
    if (Status s = ResolveHandle(key, &node, &access)) {
        return s;
    }
    if (Status s = faults_.Check(Operation::EnumKey, {PathOf(*node), {}})) {
        return s;
    }
    if (index >= node->subkeys.size()) {
        return Err::NoMoreItems;
    }
    *name = node->subkeys[index]->name;
    return Err::Success;
}

Status MemoryRegistry::EnumValue(KeyHandle key, uint32_t index, std::wstring* name, uint32_t* type)
{
    std::lock_guard lock(mutex_);
    std::shared_ptr<Node> node;
    KeyAccess access;
    if (Status s = ResolveHandle(key, &node, &access)) {
        return s;
    }
    if (Status s = faults_.Check(Operation::EnumValue, {PathOf(*node), {}})) {
        return s;
    }
    if (index >= node->values.size()) {
        return Err::NoMoreItems;
    }
    const RegistryValue& v = node->values[index];
    if (name) {
        *name = v.name;
    }
    if (type) {
        *type = v.type;
    }
    return Err::Success;
}

Status MemoryRegistry::QueryValue(KeyHandle key, std::wstring_view name, uint32_t* type, std::vector<uint8_t>* data)
{
    std::lock_guard lock(mutex_);
    std::shared_ptr<Node> node;
    KeyAccess access;
    if (Status s = ResolveHandle(key, &node, &access)) {
        return s;
    }
    if (Status s = faults_.Check(Operation::QueryValue, {PathOf(*node), name})) {
        return s;
    }
    auto it = node->FindValue(name);
    if (it == node->values.end()) {
        return Err::FileNotFound;
    }
    if (data) {
        *data = it->data;
    }
    if (type) {
        *type = it->type;
    }
    return Err::Success;
}

Status MemoryRegistry::SetValue(KeyHandle key, std::wstring_view name, uint32_t type, const uint8_t* data, size_t size)
{
    std::lock_guard lock(mutex_);
    std::shared_ptr<Node> node;
    KeyAccess access;
    if (Status s = ResolveHandle(key, &node, &access)) {
        return s;
    }
    if (access == KeyAccess::Read) {
        return Err::AccessDenied;
    }
    if (name.size() > kMaxValueNameLength || size > 0xFFFFFFFFu || (size > 0 && !data)) {
        return Err::InvalidParameter;
    }
    if (Status s = faults_.Check(Operation::SetValue, {PathOf(*node), name})) {
        return s;
    }
    std::vector<uint8_t> bytes(data, data + size);
    auto it = node->FindValue(name);
    if (it != node->values.end()) {
        // Windows keeps the spelling the value was created with.
        it->type = type;
        it->data = std::move(bytes);
    } else {
        node->AddValue(RegistryValue{std::wstring(name), type, std::move(bytes)});
    }
    Touch(*node);
    return Err::Success;
}

Status MemoryRegistry::DeleteValue(KeyHandle key, std::wstring_view name)
{
    std::lock_guard lock(mutex_);
    std::shared_ptr<Node> node;
    KeyAccess access;
    if (Status s = ResolveHandle(key, &node, &access)) {
        return s;
    }
    if (access == KeyAccess::Read) {
        return Err::AccessDenied;
    }
    if (Status s = faults_.Check(Operation::DeleteValue, {PathOf(*node), name})) {
        return s;
    }
    auto it = node->FindValue(name);
    if (it == node->values.end()) {
        return Err::FileNotFound;
    }
    node->RemoveValue(it);
    Touch(*node);
    return Err::Success;
}

Status MemoryRegistry::DeleteKey(KeyHandle parent, std::wstring_view subKey)
{
    std::lock_guard lock(mutex_);
    std::shared_ptr<Node> node;
    KeyAccess access;
    std::vector<std::wstring_view> parts;
    if (Status s = ResolveHandle(parent, &node, &access)) {
        return s;
    }
    // Windows would delete the handle's own key for an empty name; both
    // backends refuse that, so that a missing name never deletes a parent.
    if (subKey.empty()) {
        return Err::InvalidParameter;
    }
    if (Status s = ParsePath(subKey, &parts)) {
        return s == Err::InvalidParameter ? Err::FileNotFound : s;
    }
    if (Status s = faults_.Check(Operation::DeleteKey, {JoinPath(*node, parts), {}})) {
        return s;
    }
    for (std::wstring_view part : parts) {
        node = node->Find(part);
        if (!node) {
            return Err::FileNotFound;
        }
    }
    if (node->root || !node->subkeys.empty() || node->protection != Protection::None) {
        return Err::AccessDenied;
    }
    Node* owner = node->parent;
    owner->subkeys.erase(owner->LowerBound(node->name));
    Touch(*owner);
    node->deleted = true;
    node->parent = nullptr;
    return Err::Success;
}

Status MemoryRegistry::SetProtection(KeyHandle parent, std::wstring_view subKey, Protection protection)
{
    std::lock_guard lock(mutex_);
    std::shared_ptr<Node> node;
    KeyAccess access;
    std::vector<std::wstring_view> parts;
    if (Status s = ResolveHandle(parent, &node, &access)) {
        return s;
    }
    if (Status s = ParsePath(subKey, &parts)) {
        return s;
    }
    for (std::wstring_view part : parts) {
        node = node->Find(part);
        if (!node) {
            return Err::FileNotFound;
        }
    }
    node->protection = protection;
    return Err::Success;
}

size_t MemoryRegistry::OpenHandleCount()
{
    std::lock_guard lock(mutex_);
    return open_.size();
}

}  // namespace Platform::Portable
