#include "tweaker/Keywords.h"

#include "core/platform/Platform.h"
#include "core/system/OsVersion.h"
#include "core/system/ShellFolders.h"

namespace Tweaker {
namespace {

template <class T, size_t N>
T Lookup(const std::pair<std::wstring_view, T> (&table)[N], std::wstring_view keyword, T otherwise)
{
    for (const auto& [name, code] : table) {
        if (name == keyword) {
            return code;
        }
    }
    return otherwise;
}

}  // namespace

int ActionCode(std::wstring_view keyword)
{
    static const std::pair<std::wstring_view, int> kTable[] = {
        {L"KEY_DELETE", Action::KeyDelete},
        {L"KEY_SET", Action::KeySet},
        {L"KEY_VALUES_DELETE", Action::KeyValuesDelete},
        {L"KEY_VALUES_CLEAR", Action::KeyValuesClear},
        {L"VALUE_DELETE", Action::ValueDelete},
        {L"VALUE_SET", Action::ValueSet},
        {L"VALUE_CLEAR", Action::ValueClear},
        {L"SUBKEYS_CLEAR", Action::SubkeysClear},
        {L"SUBKEYS_DELETE", Action::SubkeysDelete},
    };
    return Lookup(kTable, keyword, Action::None);
}

uint32_t ValueTypeCode(std::wstring_view keyword)
{
    using namespace Platform::RegType;
    static const std::pair<std::wstring_view, uint32_t> kTable[] = {
        {L"REG_NONE", None},        {L"REG_SZ", Sz},       {L"REG_EXPAND_SZ", ExpandSz},
        {L"REG_BINARY", Binary},    {L"REG_DWORD", Dword}, {L"REG_DWORD_LITTLE_ENDIAN", Dword},
        {L"REG_MULTI_SZ", MultiSz}, {L"REG_QWORD", Qword}, {L"REG_QWORD_LITTLE_ENDIAN", Qword},
    };
    return Lookup(kTable, keyword, None);
}

int SystemCode(std::wstring_view keyword)
{
    using namespace Sys::OsCode;
    static const std::pair<std::wstring_view, int> kTable[] = {
        {L"WIN_2000", Windows2000},    {L"WIN_XP", WindowsXp},    {L"WIN_2003", WindowsServer2003},
        {L"WIN_VISTA6", WindowsVista}, {L"WIN_VISTA7", Windows7}, {L"WIN_8", Windows8},
        {L"WIN_81", Windows81},        {L"WIN_10", Windows10},    {L"WIN_11", Windows11},
    };
    return Lookup(kTable, keyword, Unknown);
}

int FileActionCode(std::wstring_view keyword)
{
    static const std::pair<std::wstring_view, int> kTable[] = {
        {L"FILE_MOVE", FileAction::Move}, {L"FILE_DELETE", FileAction::Delete}, {L"FILE_CLEAR", FileAction::Clear}};
    return Lookup(kTable, keyword, FileAction::Invalid);
}

int FolderCode(std::wstring_view keyword)
{
    using namespace Sys::Csidl;
    static const std::pair<std::wstring_view, int> kTable[] = {
        {L"CSIDL_PERSONAL", Personal},
        {L"CSIDL_MYMUSIC", MyMusic},
        {L"CSIDL_APPDATA", AppData},
        {L"CSIDL_LOCAL_APPDATA", LocalAppData},
        {L"CSIDL_INTERNET_CACHE", InternetCache},
        {L"CSIDL_COOKIES", Cookies},
        {L"CSIDL_HISTORY", History},
        {L"CSIDL_COMMON_APPDATA", CommonAppData},
        {L"CSIDL_WINDOWS", Windows},
        {L"CSIDL_SYSTEM", System},
        {L"CSIDL_PROGRAM_FILES", ProgramFiles},
        {L"CSIDL_MYPICTURES", MyPictures},
        {L"CSIDL_PROGRAM_FILES_COMMON", CommonFiles},
    };
    return Lookup(kTable, keyword, -1);
}

}  // namespace Tweaker
