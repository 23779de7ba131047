#include "remover/JournalRules.h"

#include <array>

namespace Remover {
namespace {

bool IsSeparator(wchar_t c)
{
    return c == L'\\' || c == L'/';
}

wchar_t Upper(wchar_t c)
{
    return (c >= L'a' && c <= L'z') ? static_cast<wchar_t>(c - L'a' + L'A') : c;
}

bool EqualsAscii(std::wstring_view text, std::string_view ascii)
{
    if (text.size() != ascii.size()) {
        return false;
    }
    for (size_t i = 0; i < text.size(); ++i) {
        if (Upper(text[i]) != static_cast<wchar_t>(ascii[i])) {
            return false;
        }
    }
    return true;
}

// Names Windows maps to devices in any folder, with or without an extension.
bool IsDeviceName(std::wstring_view component)
{
    std::wstring_view stem = component.substr(0, component.find(L'.'));
    while (!stem.empty() && stem.back() == L' ') {
        stem.remove_suffix(1);
    }
    static constexpr std::array<std::string_view, 4> kFixed = {"CON", "PRN", "AUX", "NUL"};
    for (std::string_view name : kFixed) {
        if (EqualsAscii(stem, name)) {
            return true;
        }
    }
    if (stem.size() == 4 && stem[3] >= L'1' && stem[3] <= L'9') {
        return EqualsAscii(stem.substr(0, 3), "COM") || EqualsAscii(stem.substr(0, 3), "LPT");
    }
    return false;
}

bool IsOnlyDotsAndSpaces(std::wstring_view component)
{
    for (wchar_t c : component) {
        if (c != L'.' && c != L' ') {
            return false;
        }
    }
    return true;
}

// The index after "\\server\share\" of a UNC path; npos when server or share
// is missing.
size_t AfterUncShare(std::wstring_view path)
{
    size_t pos = 2;
    for (int part = 0; part < 2; ++part) {
        size_t end = pos;
        while (end < path.size() && !IsSeparator(path[end])) {
            ++end;
        }
        if (end == pos) {
            return std::wstring_view::npos;
        }
        pos = end + 1;
    }
    return pos;
}

}  // namespace

bool IsAllowedFilePath(std::wstring_view path)
{
    if (path.find(L'\0') != std::wstring_view::npos) {
        return false;
    }
    size_t start = 0;
    if (path.size() >= 2 && IsSeparator(path[0]) && IsSeparator(path[1])) {
        if (path.size() >= 3 && (path[2] == L'.' || path[2] == L'?')) {
            return false;  // "\\.\" and "\\?\" reach devices and raw volumes
        }
        start = AfterUncShare(path);
        if (start == std::wstring_view::npos || start > path.size()) {
            return false;
        }
        if (path.find(L':') != std::wstring_view::npos) {
            return false;
        }
    } else if (path.size() >= 3 && Upper(path[0]) >= L'A' && Upper(path[0]) <= L'Z' && path[1] == L':' &&
               IsSeparator(path[2])) {
        start = 3;
        if (path.find(L':', 2) != std::wstring_view::npos) {
            return false;  // an alternate data stream
        }
    } else {
        return false;
    }
    bool named = false;
    size_t pos = start;
    while (pos < path.size()) {
        size_t end = pos;
        while (end < path.size() && !IsSeparator(path[end])) {
            ++end;
        }
        const std::wstring_view component = path.substr(pos, end - pos);
        if (!component.empty()) {
            if (IsOnlyDotsAndSpaces(component) || IsDeviceName(component)) {
                return false;
            }
            named = true;
        }
        pos = end + 1;
    }
    return named;  // a bare drive or share is not a file
}

bool IsCopyName(std::wstring_view name)
{
    if (name.size() != 32) {
        return false;
    }
    for (wchar_t c : name) {
        if (!((c >= L'0' && c <= L'9') || (c >= L'a' && c <= L'f'))) {
            return false;
        }
    }
    return true;
}

bool IsSubkeyName(std::wstring_view name)
{
    return !name.empty() && name.find(L'\\') == std::wstring_view::npos && name.find(L'\0') == std::wstring_view::npos;
}

bool IsRootName(std::wstring_view name)
{
    static constexpr std::array<std::wstring_view, 8> kNames = {L"HKLM", L"HKCR", L"HKCU", L"HKCC",
                                                                L"HKUR", L"HKPD", L"HKDD", L".DEFAULT"};
    for (std::wstring_view known : kNames) {
        if (name == known) {
            return true;
        }
    }
    return false;
}

}  // namespace Remover
