#include "startup/Approved.h"

#include "core/platform/Errors.h"
#include "core/platform/Handles.h"

namespace StartUp {

std::wstring ApprovedKeyPath(ApprovedList list)
{
    std::wstring path = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\StartupApproved\\";
    switch (list) {
        case ApprovedList::Run:
            return path + L"Run";
        case ApprovedList::Run32:
            return path + L"Run32";
        case ApprovedList::StartupFolder:
            return path + L"StartupFolder";
    }
    return path;
}

ApprovedState ReadApproved(Platform::KeyHandle root, ApprovedList list, std::wstring_view name)
{
    return ApprovedReader(root, list).Read(name);
}

ApprovedReader::ApprovedReader(Platform::KeyHandle root, ApprovedList list)
{
    if (Platform::Current().Registry().OpenKey(root, ApprovedKeyPath(list), Platform::KeyAccess::Read, &key_) !=
        Err::Success) {
        key_ = nullptr;
    }
}

ApprovedReader::~ApprovedReader()
{
    if (key_) {
        (void)Platform::Current().Registry().CloseKey(key_);
    }
}

ApprovedState ApprovedReader::Read(std::wstring_view name) const
{
    if (!key_) {
        return ApprovedState::Enabled;
    }
    uint32_t type = 0;
    std::vector<uint8_t> data;
    const Platform::Status s = Platform::Current().Registry().QueryValue(key_, name, &type, &data);
    if (s == Err::FileNotFound) {
        return ApprovedState::Enabled;
    }
    if (s != Err::Success || type != Platform::RegType::Binary || data.empty()) {
        return ApprovedState::Unknown;
    }
    switch (data[0]) {
        case 0x02:
        case 0x06:
            return ApprovedState::Enabled;
        case 0x03:
        case 0x07:
            return ApprovedState::Disabled;
        default:
            return ApprovedState::Unknown;
    }
}

}  // namespace StartUp
