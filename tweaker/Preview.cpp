#include "tweaker/Preview.h"

#include "core/platform/Errors.h"
#include "core/platform/Handles.h"
#include "tweaker/File.h"
#include "tweaker/Key.h"
#include "tweaker/Manager.h"
#include "tweaker/SimpleTweak.h"
#include "tweaker/ValueData.h"

namespace Tweaker {

namespace {

const wchar_t kHex[] = L"0123456789ABCDEF";

std::wstring FormatValue(uint32_t type, const std::vector<uint8_t>& data)
{
    switch (type) {
        case Platform::RegType::Dword:
            if (data.size() == 4) {
                return std::to_wstring(uint32_t(data[0]) | uint32_t(data[1]) << 8 | uint32_t(data[2]) << 16 |
                                       uint32_t(data[3]) << 24);
            }
            break;
        case Platform::RegType::Qword:
            if (data.size() == 8) {
                uint64_t v = 0;
                for (int i = 7; i >= 0; --i) {
                    v = v << 8 | data[i];
                }
                return std::to_wstring(v);
            }
            break;
        case Platform::RegType::Sz:
        case Platform::RegType::ExpandSz:
        case Platform::RegType::MultiSz: {
            std::wstring text;
            for (size_t i = 0; i + 1 < data.size(); i += 2) {
                const wchar_t c = static_cast<wchar_t>(data[i] | data[i + 1] << 8);
                text += c == 0 ? L'|' : c;  // strings of a multi-string separated by "|"
            }
            while (!text.empty() && text.back() == L'|') {
                text.pop_back();
            }
            return L"\"" + text + L"\"";
        }
        default:
            break;
    }
    std::wstring hex;
    for (uint8_t b : data) {
        hex += kHex[b >> 4];
        hex += kHex[b & 15];
    }
    return hex.empty() ? L"(empty)" : hex;
}

bool IsDeletion(const std::wstring& action)
{
    return action.find(L"DELETE") != std::wstring::npos || action.find(L"CLEAR") != std::wstring::npos;
}

ItemChange DescribeKey(const Key& key)
{
    ItemChange change;
    const std::wstring path = key.FullKeyPath();
    change.location = key.GetRootName() + (path.empty() ? L"" : L"\\" + path);
    change.valueName = key.GetValueName();
    change.type = key.GetValueTypeText();
    change.action = key.GetActionText().empty() ? L"VALUE_SET" : key.GetActionText();
    // The new value in the same form as the current one ("42", not "0x0000002a").
    change.next = IsDeletion(change.action)
                      ? L"(deleted)"
                      : FormatValue(key.GetValueType(),
                                    ValueBytes(key.GetValueType(), key.GetConfiguredValue(), key.GetByteLength()));
    change.needsAdmin = key.GetRootName() == L"HKLM" || key.GetRootName() == L"HKEY_LOCAL_MACHINE";
    Platform::IRegistry& registry = Platform::Current().Registry();
    Platform::UniqueKey handle;
    if (!key.Root() || registry.OpenKey(key.Root(), path, Platform::KeyAccess::Read, handle.put()) != Err::Success) {
        change.current = L"(no key)";
        return change;
    }
    uint32_t type = 0;
    std::vector<uint8_t> data;
    if (registry.QueryValue(handle.get(), change.valueName, &type, &data) != Err::Success) {
        change.current = L"(not set)";
    } else {
        change.current = FormatValue(type, data);
    }
    return change;
}

ItemChange DescribeFile(const File& file)
{
    ItemChange change;
    change.file = true;
    change.location = file.Folder() + L"\\" + file.GetName();
    change.action = file.GetActionText();
    change.restorable = !IsDeletion(change.action);
    change.next = IsDeletion(change.action) ? L"(deleted)" : change.action;
    return change;
}

void Collect(const Group& group, const std::wstring& category, std::vector<TweakChange>& out)
{
    for (const auto& child : group.GetChildren()) {
        if (const auto* nested = dynamic_cast<const Group*>(child.Get())) {
            Collect(*nested, category, out);
        } else if (child->IsSelected() && child->GetAppliedShare() < 1.0) {
            out.push_back({category, child->GetName(), DescribeChanges(*child)});
        }
    }
}

}  // namespace

std::vector<ItemChange> DescribeChanges(const ITweak& tweak)
{
    std::vector<ItemChange> changes;
    const auto* simple = dynamic_cast<const SimpleTweak*>(&tweak);
    if (!simple) {
        return changes;
    }
    for (const auto& item : simple->GetItems()) {
        if (const auto* key = dynamic_cast<const Key*>(item.Get())) {
            changes.push_back(DescribeKey(*key));
        } else if (const auto* file = dynamic_cast<const File*>(item.Get())) {
            changes.push_back(DescribeFile(*file));
        }
    }
    return changes;
}

std::vector<TweakChange> PreviewTuneUp(Manager& manager)
{
    std::vector<TweakChange> preview;
    for (const auto& category : manager.Categories()) {
        Collect(*category, category->GetName(), preview);
    }
    return preview;
}

std::wstring ChangeLine(const ItemChange& change)
{
    if (change.file) {
        return change.location + L": " + change.action + (change.restorable ? L"" : L" (not restorable)");
    }
    std::wstring line = change.location + L" [" + (change.valueName.empty() ? L"(default)" : change.valueName) + L"] " +
                        change.type + L": " + change.current + L" -> " + change.next;
    if (change.needsAdmin) {
        line += L" (needs administrator rights)";
    }
    return line;
}

}  // namespace Tweaker
