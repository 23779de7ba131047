// The version texts of a program file and the width of Windows.
#include <cstdio>
#include <vector>

#include "core/platform/Errors.h"
#include "core/platform/win32/LateBound.h"
#include "core/platform/win32/Win32System.h"
#include "core/platform/win32/WindowsApi.h"

namespace Platform::Win32 {

namespace {

// One string of the block's StringFileInfo table for the translation given
// as "040904b0"; empty when the block has none.
std::wstring VersionString(const std::vector<uint8_t>& block, const wchar_t* translation, const wchar_t* name)
{
    wchar_t query[96];
    std::swprintf(query, sizeof(query) / sizeof(query[0]), L"\\StringFileInfo\\%ls\\%ls", translation, name);
    void* text = nullptr;
    UINT length = 0;
    if (!::VerQueryValueW(block.data(), query, &text, &length) || !text || length == 0) {
        return {};
    }
    // The length counts the terminating null when there is one.
    std::wstring value(static_cast<const wchar_t*>(text), length);
    return std::wstring(value.c_str());
}

}  // namespace

bool Win32System::Is64BitWindows()
{
#ifdef _WIN64
    return true;
#else
    return RunsUnderWow64();
#endif
}

Status Win32System::GetFileVersion(std::wstring_view path, FileVersion* out)
{
    if (!out) {
        return Err::InvalidParameter;
    }
    const std::wstring file(path);
    std::vector<uint8_t> block;
    {
        FsRedirectionPause pause;
        DWORD ignored = 0;
        const DWORD size = ::GetFileVersionInfoSizeW(file.c_str(), &ignored);
        if (size == 0) {
            const DWORD error = ::GetLastError();
            return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND || error == 0
                       ? (::GetFileAttributesW(file.c_str()) == INVALID_FILE_ATTRIBUTES ? Err::FileNotFound
                                                                                        : Err::ResourceTypeNotFound)
                       : static_cast<Status>(error);
        }
        block.resize(size);
        if (!::GetFileVersionInfoW(file.c_str(), 0, size, block.data())) {
            return static_cast<Status>(::GetLastError());
        }
    }
    // Without a translation table the strings cannot be found: the block is
    // of no use.
    struct Translation {
        WORD language;
        WORD codePage;
    };
    void* table = nullptr;
    UINT length = 0;
    if (!::VerQueryValueW(block.data(), L"\\VarFileInfo\\Translation", &table, &length) || !table ||
        length < sizeof(Translation)) {
        return Err::ResourceTypeNotFound;
    }
    const Translation first = *static_cast<const Translation*>(table);
    wchar_t translation[16];
    std::swprintf(translation, 16, L"%04x%04x", first.language, first.codePage);
    FileVersion version;
    version.description = VersionString(block, translation, L"FileDescription");
    version.company = VersionString(block, translation, L"CompanyName");
    version.product = VersionString(block, translation, L"ProductName");
    version.version = VersionString(block, translation, L"FileVersion");
    *out = std::move(version);
    return Err::Success;
}

}  // namespace Platform::Win32
