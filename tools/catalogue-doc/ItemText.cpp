#include "tools/catalogue-doc/ItemText.h"

#include <cstdint>
#include <cwctype>
#include <span>
#include <vector>

#include "core/crypto/Base64.h"
#include "tools/catalogue-doc/Markdown.h"

namespace CatalogueDoc {
namespace {

struct Keyword {
    std::wstring_view keyword;
    std::wstring_view text;
};

constexpr Keyword kVersions[] = {
    {L"WIN_2000", L"Windows 2000"},    {L"WIN_XP", L"Windows XP"},    {L"WIN_2003", L"Windows Server 2003"},
    {L"WIN_VISTA6", L"Windows Vista"}, {L"WIN_VISTA7", L"Windows 7"}, {L"WIN_8", L"Windows 8"},
    {L"WIN_81", L"Windows 8.1"},       {L"WIN_10", L"Windows 10"},    {L"WIN_11", L"Windows 11"},
};

// Where a shortcut's special-folder keyword points.
constexpr Keyword kFolders[] = {
    {L"CSIDL_PERSONAL", L"<Documents>"},
    {L"CSIDL_MYMUSIC", L"<Music>"},
    {L"CSIDL_APPDATA", L"<AppData>"},
    {L"CSIDL_LOCAL_APPDATA", L"<LocalAppData>"},
    {L"CSIDL_INTERNET_CACHE", L"<Internet cache>"},
    {L"CSIDL_COOKIES", L"<Cookies>"},
    {L"CSIDL_HISTORY", L"<History>"},
    {L"CSIDL_COMMON_APPDATA", L"<ProgramData>"},
    {L"CSIDL_WINDOWS", L"<Windows>"},
    {L"CSIDL_SYSTEM", L"<System32>"},
    {L"CSIDL_PROGRAM_FILES", L"<Program Files>"},
    {L"CSIDL_MYPICTURES", L"<Pictures>"},
    {L"CSIDL_PROGRAM_FILES_COMMON", L"<Common Files>"},
};

std::wstring_view Lookup(std::span<const Keyword> table, std::wstring_view keyword)
{
    for (const Keyword& entry : table) {
        if (entry.keyword == keyword) {
            return entry.text;
        }
    }
    return {};
}

// An attribute the document keeps without editing it; empty when absent, as
// every reader of tweak files takes an absent attribute.
std::wstring_view AttributeText(const Knobset::AttributeList& attributes, std::wstring_view name)
{
    for (const Knobset::Attribute& attribute : attributes) {
        if (attribute.name == name) {
            return attribute.value;
        }
    }
    return {};
}

std::wstring JoinPath(std::wstring_view a, std::wstring_view b)
{
    if (a.empty()) {
        return std::wstring(b);
    }
    if (b.empty()) {
        return std::wstring(a);
    }
    return std::wstring(a) + L"\\" + std::wstring(b);
}

std::wstring KeyLocation(const Knobset::Key& key)
{
    return Code(JoinPath(JoinPath(key.parent, key.path), key.keyname));
}

std::wstring ValueLabel(const Knobset::Key& key)
{
    return key.valuename.empty() ? std::wstring(L"the default value") : L"value " + Code(key.valuename);
}

bool IsDword(std::wstring_view type)
{
    return type == L"REG_DWORD" || type == L"REG_DWORD_LITTLE_ENDIAN";
}

// A DWORD text with "0x" is read as hexadecimal after the prefix, as the
// program reads it; the decimal form helps the reader.
std::wstring DwordText(std::wstring_view text)
{
    size_t prefix = text.find(L"0x");
    if (prefix == std::wstring_view::npos) {
        prefix = text.find(L"0X");
    }
    if (prefix == std::wstring_view::npos) {
        return Code(text);
    }
    uint64_t value = 0;
    for (size_t i = prefix + 2; i < text.size() && std::iswxdigit(text[i]); ++i) {
        const wchar_t c = static_cast<wchar_t>(std::towlower(text[i]));
        value = (value * 16 + static_cast<uint64_t>(c <= L'9' ? c - L'0' : c - L'a' + 10)) & 0xFFFFFFFFu;
    }
    return Code(text) + L" (" + std::to_wstring(value) + L")";
}

std::wstring BinaryText(std::wstring_view base64, std::wstring_view byteLengthText)
{
    size_t length = 0;
    for (const wchar_t c : byteLengthText) {
        if (c < L'0' || c > L'9' || length > 1000000) {
            break;
        }
        length = length * 10 + static_cast<size_t>(c - L'0');
    }
    // As written to the registry: exactly the byte length, zero-filled.
    std::vector<uint8_t> bytes(length, 0);
    (void)Crypto::DecodeBase64(base64, bytes.data(), bytes.size());
    static constexpr wchar_t kHex[] = L"0123456789ABCDEF";
    std::wstring hex;
    for (const uint8_t b : bytes) {
        if (!hex.empty()) {
            hex += L' ';
        }
        hex += kHex[b >> 4];
        hex += kHex[b & 15];
    }
    if (bytes.empty()) {
        return L"no bytes";
    }
    return L"the " + std::to_wstring(bytes.size()) + (bytes.size() == 1 ? L" byte " : L" bytes ") + Code(hex);
}

std::wstring MultiStringText(std::wstring_view text)
{
    std::vector<std::wstring> strings(1);
    for (const wchar_t c : text) {
        if (c == L'\r') {
            continue;
        }
        if (c == L'\n') {
            strings.emplace_back();
        } else {
            strings.back() += c;
        }
    }
    std::wstring joined = strings.size() == 1 ? L"the string " : L"the strings ";
    for (size_t i = 0; i < strings.size(); ++i) {
        joined += (i == 0 ? L"" : L", ") + Code(strings[i]);
    }
    return joined;
}

// The data a value-setting action writes, by value type.
std::wstring DataText(std::wstring_view type, std::wstring_view text, std::wstring_view byteLength)
{
    if (IsDword(type)) {
        return DwordText(text);
    }
    if (type == L"REG_SZ" || type == L"REG_EXPAND_SZ") {
        return text.empty() ? std::wstring(L"an empty string") : Code(text);
    }
    if (type == L"REG_BINARY") {
        return BinaryText(text, byteLength);
    }
    if (type == L"REG_MULTI_SZ") {
        return MultiStringText(text);
    }
    return L"no data";
}

std::wstring TypeLabel(std::wstring_view type)
{
    return type.empty() ? std::wstring(L"no type") : Code(type);
}

std::wstring ChoiceText(const Knobset::Key& key, const Knobset::Choice& choice)
{
    const std::wstring action = choice.action.empty() ? L"VALUE_SET" : choice.action;
    std::wstring text;
    if (action == L"VALUE_SET") {
        text = DataText(key.valuetype, choice.val, choice.valuevalbytelen);
    } else if (action == L"VALUE_DELETE") {
        text = L"delete the value";
    } else if (action == L"KEY_DELETE") {
        text = L"delete the key";
    } else if (action == L"KEY_SET") {
        text = L"create the key";
    } else {
        text = L"action " + Code(action);
    }
    const bool recommended = choice.main == L"1";
    if (!choice.descr.empty()) {
        text += L" (" + EscapeText(choice.descr) + (recommended ? L", recommended)" : L")");
    } else if (recommended) {
        text += L" (recommended)";
    }
    return text;
}

std::wstring EditText(const Knobset::Key& key)
{
    if (key.editable == L"set") {
        std::wstring text = L" Choices: ";
        for (size_t i = 0; i < key.choices.size(); ++i) {
            text += (i == 0 ? L"" : L"; ") + ChoiceText(key, key.choices[i]);
        }
        return key.choices.empty() ? std::wstring(L" Choices: none.") : text + L".";
    }
    if (key.editable == L"range") {
        return L" The value can be changed: " +
               (key.valuedescr.empty() ? std::wstring(L"no hint given") : EscapeText(key.valuedescr)) + L".";
    }
    return {};
}

std::wstring DescribeKey(const Knobset::Key& key, const Knobset::AttributeList& otherAttributes)
{
    const std::wstring action = key.action.empty() ? L"VALUE_SET" : key.action;
    const bool recursive = AttributeText(otherAttributes, L"recursive") == L"1";
    const std::wstring where = KeyLocation(key);
    std::wstring text;
    if (action == L"VALUE_SET") {
        text = L"Sets " + ValueLabel(key) + L" (" + TypeLabel(key.valuetype) + L") in " + where + L" to " +
               DataText(key.valuetype, key.valueval, key.valuevalbytelen) + L".";
        if (key.valuetype == L"REG_NONE" || key.valuetype.starts_with(L"REG_QWORD") || key.valuetype.empty()) {
            text += L" Such a value is written empty and never counts as in effect.";
        }
    } else if (action == L"VALUE_DELETE") {
        text = L"Deletes " + ValueLabel(key) + L" in " + where +
               (recursive ? L" (looked for in every subkey too)." : L".");
    } else if (action == L"VALUE_CLEAR") {
        text = L"Empties " + ValueLabel(key) + L" in " + where + L".";
    } else if (action == L"KEY_DELETE") {
        text = L"Deletes the key " + where + L" with everything below it.";
    } else if (action == L"KEY_SET") {
        text = L"Creates the key " + where + L".";
    } else if (action == L"KEY_VALUES_DELETE") {
        text = L"Deletes every value of " + where + (recursive ? L" and of all its subkeys." : L".");
    } else if (action == L"KEY_VALUES_CLEAR") {
        text = L"Expects every value of " + where + L" to be empty; applying it changes nothing.";
    } else if (action == L"SUBKEYS_DELETE") {
        text = L"Deletes every subkey of " + where + L".";
    } else if (action == L"SUBKEYS_CLEAR") {
        text = L"Expects the subkeys of " + where + L" to be empty; it never counts as in effect and changes nothing.";
    } else {
        text = L"Has the unknown action " + Code(action) + L" on " + where + L": it is never applied.";
    }
    return text + EditText(key);
}

bool HasWildcard(std::wstring_view name)
{
    return name.find_first_of(L"*?") != std::wstring_view::npos;
}

// A File item's attributes are all kept as read.
std::wstring DescribeFile(const Knobset::AttributeList& file)
{
    const std::wstring_view path = AttributeText(file, L"path");
    const std::wstring_view name = AttributeText(file, L"name");
    const std::wstring_view action = AttributeText(file, L"action");
    const bool recursive = AttributeText(file, L"recursive") == L"1";
    if (action == L"FILE_DELETE") {
        const std::wstring what = HasWildcard(name) ? L"the files " : L"the file ";
        std::wstring text =
            L"Deletes " + what + Code(name) + L" in " + Code(path) + (recursive ? L" and its subfolders." : L".");
        // Only a single named file is copied into the backup point.
        if (HasWildcard(name) || recursive) {
            return text + L" Deleted files are not kept in the backup point: a restore cannot bring them back.";
        }
        return text + L" A copy is kept in the backup point.";
    }
    if (action == L"FILE_CLEAR") {
        return L"Empties the file " + Code(JoinPath(path, name)) + L". A copy is kept in the backup point.";
    }
    if (action == L"FILE_MOVE") {
        return L"Moves " + Code(name) + L" from " + Code(path) + L" to " + Code(AttributeText(file, L"destination")) +
               L".";
    }
    return L"Has the unknown file action " + Code(action) + L" on " + Code(JoinPath(path, name)) +
           L": it is never applied.";
}

// The shortcut name as the program reads it: its first ".lnk", in any
// letter case, removed.
std::wstring ShortcutName(std::wstring name)
{
    for (size_t i = 0; i + 4 <= name.size(); ++i) {
        if (name[i] == L'.' && std::towlower(name[i + 1]) == L'l' && std::towlower(name[i + 2]) == L'n' &&
            std::towlower(name[i + 3]) == L'k') {
            name.erase(i, 4);
            break;
        }
    }
    return name;
}

// A Shortcut item's attributes are all kept as read.
std::wstring DescribeShortcut(const Knobset::AttributeList& shortcut)
{
    const std::wstring_view folderKeyword = AttributeText(shortcut, L"shcfoldername");
    const std::wstring_view folder = Lookup(kFolders, folderKeyword);
    if (folder.empty()) {
        return L"Has the unknown special folder " + Code(folderKeyword) + L": it is never applied.";
    }
    const std::wstring file = JoinPath(JoinPath(folder, AttributeText(shortcut, L"shcpath")),
                                       ShortcutName(std::wstring(AttributeText(shortcut, L"shcname"))) + L".lnk");
    const std::wstring target =
        JoinPath(AttributeText(shortcut, L"targetpath"), AttributeText(shortcut, L"targetname"));
    return L"Creates the shortcut " + Code(file) + L" to " + Code(target) + L"; a restore deletes it.";
}

}  // namespace

std::wstring VersionText(std::wstring_view ver, std::wstring_view maxver)
{
    const std::wstring_view oldest = Lookup(kVersions, ver);
    const std::wstring_view newest = Lookup(kVersions, maxver);
    if (newest.empty()) {
        return oldest.empty() ? std::wstring(L"every Windows version") : std::wstring(oldest) + L" and later";
    }
    if (oldest.empty()) {
        return L"every Windows version up to " + std::wstring(newest);
    }
    return oldest == newest ? std::wstring(oldest) + L" only" : std::wstring(oldest) + L" to " + std::wstring(newest);
}

std::wstring DescribeItem(const Knobset::Item& item)
{
    switch (item.kind) {
        case Knobset::ItemKind::File:
            return DescribeFile(item.otherAttributes);
        case Knobset::ItemKind::Shortcut:
            return DescribeShortcut(item.otherAttributes);
        case Knobset::ItemKind::Key:
            break;
    }
    return DescribeKey(item.key, item.otherAttributes);
}

}  // namespace CatalogueDoc
