#include "startup/Text.h"

#include <cwctype>
#include <vector>

#include "core/platform/Errors.h"
#include "core/text/Utf.h"
#include "core/xml/XmlEscape.h"

namespace StartUp {

bool SameText(std::wstring_view a, std::wstring_view b)
{
    if (a.size() != b.size()) {
        return false;
    }
    for (size_t i = 0; i < a.size(); ++i) {
        if (std::towupper(a[i]) != std::towupper(b[i])) {
            return false;
        }
    }
    return true;
}

std::wstring_view LastComponent(std::wstring_view path)
{
    const size_t slash = path.rfind(L'\\');
    return slash == std::wstring_view::npos ? path : path.substr(slash + 1);
}

std::wstring_view ParentPath(std::wstring_view path)
{
    const size_t slash = path.rfind(L'\\');
    return slash == std::wstring_view::npos ? std::wstring_view{} : path.substr(0, slash);
}

std::wstring XmlAttribute(std::wstring_view name, std::wstring_view value)
{
    std::wstring text(L" ");
    text += name;
    text += L"=\"";
    text += Xml::Escape(value, Xml::EscapeFor::Attribute);
    text += L'"';
    return text;
}

bool IsDigestText(std::wstring_view text)
{
    if (text.size() != 32) {
        return false;
    }
    for (wchar_t c : text) {
        if (!std::iswxdigit(c) || c > 0x7F) {
            return false;
        }
    }
    return true;
}

std::optional<uint32_t> ParseDecimal(std::wstring_view text)
{
    if (text.empty() || text.size() > 10) {
        return std::nullopt;
    }
    uint64_t value = 0;
    for (wchar_t c : text) {
        if (c < L'0' || c > L'9') {
            return std::nullopt;
        }
        value = value * 10 + static_cast<uint64_t>(c - L'0');
    }
    if (value > 0xFFFFFFFFull) {
        return std::nullopt;
    }
    return static_cast<uint32_t>(value);
}

std::wstring StringOfValue(uint32_t type, const std::vector<uint8_t>& data)
{
    if (type != Platform::RegType::Sz && type != Platform::RegType::ExpandSz) {
        return {};
    }
    std::wstring text = Text::Utf16LeToWide(data);
    const size_t end = text.find(L'\0');
    if (end != std::wstring::npos) {
        text.resize(end);
    }
    return text;
}

namespace {

bool IsFile(const std::wstring& path)
{
    Platform::FileInfo info;
    return Platform::Current().Files().GetFileInfo(path, &info) == Err::Success &&
           !(info.attributes & Platform::FileAttr::Directory);
}

}  // namespace

std::wstring LongPathOr(std::wstring_view path)
{
    std::wstring longPath;
    if (Platform::Current().Files().GetLongPathName(path, &longPath) != 0) {
        return std::wstring(path);
    }
    return longPath;
}

std::wstring ProgramOfCommand(std::wstring_view command)
{
    std::wstring text = Platform::Current().System().ExpandEnvironmentStrings(command);
    const size_t first = text.find_first_not_of(L" \t");
    if (first == std::wstring::npos) {
        return {};
    }
    text.erase(0, first);
    if (text[0] == L'"') {
        const size_t close = text.find(L'"', 1);
        return text.substr(1, close == std::wstring::npos ? std::wstring::npos : close - 1);
    }
    // Unquoted paths with spaces: Windows tries the longest part that names
    // a file, as its process creation does.
    std::vector<size_t> spaces;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == L' ') {
            spaces.push_back(i);
        }
    }
    if (IsFile(text)) {
        return text;
    }
    for (auto it = spaces.rbegin(); it != spaces.rend(); ++it) {
        std::wstring part = text.substr(0, *it);
        if (IsFile(part)) {
            return part;
        }
    }
    return spaces.empty() ? text : text.substr(0, spaces.front());
}

std::wstring StoredKeyPath(Platform::KeyHandle root, std::wstring_view path, Platform::RegistryView view)
{
    constexpr std::wstring_view kSoftware = L"SOFTWARE";
    constexpr std::wstring_view kWow = L"WOW6432Node";
    if (view != Platform::RegistryView::Wow32) {
        return std::wstring(path);
    }
    if (root == Platform::LocalMachine() && path.size() >= kSoftware.size() &&
        SameText(path.substr(0, kSoftware.size()), kSoftware) &&
        (path.size() == kSoftware.size() || path[kSoftware.size()] == L'\\')) {
        std::wstring stored(path.substr(0, kSoftware.size()));
        stored += L'\\';
        stored += kWow;
        stored += path.substr(kSoftware.size());
        return stored;
    }
    if (root == Platform::ClassesRoot()) {
        return std::wstring(kWow) + (path.empty() ? L"" : L"\\" + std::wstring(path));
    }
    return std::wstring(path);
}

}  // namespace StartUp
