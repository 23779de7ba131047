// Windows builds: resources are the program module's own.
#include <windows.h>

#include <string>

#include "core/platform/Errors.h"
#include "core/resources/ResourceBytes.h"

namespace Resources {

uint32_t FindResourceBytes(std::wstring_view name, std::wstring_view type, std::span<const uint8_t>& bytes)
{
    const std::wstring nameZ(name);
    const std::wstring typeZ(type);
    HMODULE module = GetModuleHandleW(nullptr);
    HRSRC found = FindResourceW(module, nameZ.c_str(), typeZ.c_str());
    if (found == nullptr) {
        // A missing type (1813) is reported like a missing name, as on native builds.
        const DWORD error = GetLastError();
        return (error == 0 || error == ERROR_RESOURCE_TYPE_NOT_FOUND || error == ERROR_RESOURCE_DATA_NOT_FOUND)
                   ? Err::ResourceNameNotFound
                   : error;
    }
    // Module resources need no unlocking or freeing: they live as long as the module.
    HGLOBAL loaded = LoadResource(module, found);
    const void* data = loaded ? LockResource(loaded) : nullptr;
    if (data == nullptr) {
        const DWORD error = GetLastError();
        return error != 0 ? error : Err::ResourceDataNotFound;
    }
    bytes = std::span<const uint8_t>(static_cast<const uint8_t*>(data), SizeofResource(module, found));
    return Err::Success;
}

}  // namespace Resources
