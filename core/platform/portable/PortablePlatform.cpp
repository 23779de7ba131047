#include "core/platform/portable/PortablePlatform.h"

#include <string>

#include "core/platform/Errors.h"

namespace Platform::Portable {

PortablePlatform::PortablePlatform()
    : registry_(faults_, clock_), files_(faults_, clock_), system_(files_, faults_, clock_)
{
}

PortablePlatform::~PortablePlatform() = default;

Status PortablePlatform::SetWindowsVersion(const VersionInfo& version, std::wstring_view productName)
{
    system_.SetVersion(version);
    KeyHandle key = nullptr;
    bool created = false;
    if (Status s =
            registry_.CreateKey(LocalMachine(), L"Software\\Microsoft\\Windows NT\\CurrentVersion", &key, &created)) {
        return s;
    }
    Status s = Err::Success;
    if (productName.empty()) {
        s = registry_.DeleteValue(key, L"ProductName");
        s = s == Err::FileNotFound ? Err::Success : s;
    } else {
        std::wstring text(productName);
        std::vector<uint8_t> bytes;
        for (wchar_t c : text) {
            bytes.push_back(static_cast<uint8_t>(c & 0xFF));
            bytes.push_back(static_cast<uint8_t>((c >> 8) & 0xFF));
        }
        bytes.push_back(0);
        bytes.push_back(0);
        s = registry_.SetValue(key, L"ProductName", RegType::Sz, bytes.data(), bytes.size());
    }
    (void)registry_.CloseKey(key);
    return s;
}

}  // namespace Platform::Portable
