#pragma once
// The keywords of the tweak file format and the numbers they stand for.
#include <cstdint>
#include <string_view>

namespace Tweaker {

namespace Action {
constexpr int None = 0;  // no keyword: never applied, never in effect
constexpr int KeyDelete = 1;
constexpr int KeySet = 2;
constexpr int KeyValuesDelete = 3;
constexpr int KeyValuesClear = 4;
constexpr int ValueDelete = 5;
constexpr int ValueSet = 6;
constexpr int ValueClear = 7;
constexpr int SubkeysClear = 8;
constexpr int SubkeysDelete = 9;
}  // namespace Action

namespace FileAction {
constexpr int Move = 0;
constexpr int Delete = 1;
constexpr int Clear = 2;
constexpr int Invalid = -1;
}  // namespace FileAction

// Registry actions by keyword; Action::None for anything else.
int ActionCode(std::wstring_view keyword);
// Registry type by valuetype keyword; 0 (REG_NONE) for anything else.
uint32_t ValueTypeCode(std::wstring_view keyword);
// System code by ver or maxver keyword; 0 (no limit) for anything else.
int SystemCode(std::wstring_view keyword);
// File actions by keyword; FileAction::Invalid for anything else.
int FileActionCode(std::wstring_view keyword);
// CSIDL by special-folder keyword; -1 for anything else.
int FolderCode(std::wstring_view keyword);

}  // namespace Tweaker
