#include "core/platform/portable/PathParser.h"

#include "core/platform/Errors.h"

namespace Platform::Portable {

namespace {
constexpr size_t kMaxNameLength = 255;

bool IsWildcard(wchar_t c)
{
    return c == L'*' || c == L'?';
}

bool IsRefused(wchar_t c)
{
    return c < 32 || c == L'<' || c == L'>' || c == L':' || c == L'"' || c == L'|' || c == L'*' || c == L'?';
}

bool IsLetter(wchar_t c)
{
    return (c >= L'A' && c <= L'Z') || (c >= L'a' && c <= L'z');
}
}  // namespace

Status ParseFilePath(std::wstring_view input, Wildcards wildcards, ParsedPath* out)
{
    std::wstring path(input);
    for (wchar_t& c : path) {
        if (c == L'/') {
            c = L'\\';
        }
    }
    std::wstring_view rest(path);
    ParsedPath parsed;
    if (rest.substr(0, 8) == L"\\\\?\\UNC\\") {
        path.erase(2, 6);  // "\\?\UNC\server\share" is "\\server\share"
        rest = path;
    } else if (rest.substr(0, 4) == L"\\\\?\\") {
        rest.remove_prefix(4);
    }
    if (rest.substr(0, 2) == L"\\\\") {
        const size_t serverEnd = rest.find(L'\\', 2);
        if (serverEnd == std::wstring_view::npos || serverEnd == 2) {
            return Err::InvalidName;
        }
        size_t shareEnd = rest.find(L'\\', serverEnd + 1);
        if (shareEnd == std::wstring_view::npos) {
            shareEnd = rest.size();
        }
        if (shareEnd == serverEnd + 1) {
            return Err::InvalidName;
        }
        parsed.root = std::wstring(rest.substr(0, shareEnd));
        rest.remove_prefix(shareEnd);
    } else if (rest.size() >= 2 && IsLetter(rest[0]) && rest[1] == L':') {
        // Every drive's current folder is its root here, so "C:x" is "C:\x".
        parsed.root = {static_cast<wchar_t>(rest[0] & ~0x20), L':'};
        rest.remove_prefix(2);
    } else {
        return Err::PathNotFound;
    }

    std::vector<std::wstring_view> names;
    size_t start = 0;
    while (start <= rest.size()) {
        size_t end = rest.find(L'\\', start);
        if (end == std::wstring_view::npos) {
            end = rest.size();
        }
        if (end > start) {
            names.push_back(rest.substr(start, end - start));
        }
        start = end + 1;
    }
    parsed.trailingSeparator = !rest.empty() && rest.back() == L'\\' && !names.empty();

    for (size_t i = 0; i < names.size(); ++i) {
        std::wstring_view name = names[i];
        const bool last = i + 1 == names.size();
        bool wild = false;
        for (wchar_t c : name) {
            wild = wild || IsWildcard(c);
        }
        if (wild && (!last || wildcards == Wildcards::Refused || parsed.trailingSeparator)) {
            return Err::InvalidName;
        }
        if (name == L".") {
            continue;
        }
        if (name == L"..") {
            if (!parsed.parts.empty()) {
                parsed.parts.pop_back();
            }
            continue;
        }
        if (!wild) {
            // Win32 drops trailing dots and spaces: "file." is "file".
            while (!name.empty() && (name.back() == L'.' || name.back() == L' ')) {
                name.remove_suffix(1);
            }
            if (name.empty()) {
                continue;
            }
        }
        for (wchar_t c : name) {
            if (IsRefused(c) && !(wild && IsWildcard(c))) {
                return Err::InvalidName;
            }
        }
        if (name.size() > kMaxNameLength) {
            return Err::InvalidName;
        }
        parsed.parts.emplace_back(name);
        parsed.hasWildcard = wild;
    }
    *out = std::move(parsed);
    return Err::Success;
}

std::wstring JoinFilePath(const std::wstring& root, const std::vector<std::wstring>& parts, size_t count)
{
    std::wstring path = root;
    for (size_t i = 0; i < count && i < parts.size(); ++i) {
        path += L'\\';
        path += parts[i];
    }
    return path;
}

}  // namespace Platform::Portable
