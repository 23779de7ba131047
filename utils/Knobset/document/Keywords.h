#pragma once
// Keywords of the tweak file format that the editor offers or decides by.
#include <span>
#include <string_view>

namespace Knobset {

// The version text of a tweak made in the editor. It is not a keyword: such a
// tweak is offered on every version.
inline constexpr std::wstring_view kEveryVersion = L"WIN_32";

// The version keywords the main program knows, oldest first.
std::span<const std::wstring_view> VersionKeywords();
bool IsVersionKeyword(std::wstring_view text);
// 1 for the oldest version keyword, counting up; 0 for any other text.
int VersionRank(std::wstring_view text);

// An empty action means VALUE_SET to every reader of tweak files.
inline constexpr std::wstring_view kValueSet = L"VALUE_SET";
inline bool IsValueSet(std::wstring_view action)
{
    return action.empty() || action == kValueSet;
}
// The three actions that work on one value (and so read its name and type).
bool IsValueAction(std::wstring_view action);

}  // namespace Knobset
