#include "utils/Knobset/document/Keywords.h"

#include <algorithm>

namespace Knobset {

namespace {

constexpr std::wstring_view kVersions[] = {
    L"WIN_2000", L"WIN_XP", L"WIN_2003", L"WIN_VISTA6", L"WIN_VISTA7", L"WIN_8", L"WIN_81", L"WIN_10", L"WIN_11",
};

}  // namespace

std::span<const std::wstring_view> VersionKeywords()
{
    return kVersions;
}

bool IsVersionKeyword(std::wstring_view text)
{
    return std::find(std::begin(kVersions), std::end(kVersions), text) != std::end(kVersions);
}

int VersionRank(std::wstring_view text)
{
    const auto found = std::find(std::begin(kVersions), std::end(kVersions), text);
    return found == std::end(kVersions) ? 0 : static_cast<int>(found - std::begin(kVersions)) + 1;
}

bool IsValueAction(std::wstring_view action)
{
    return IsValueSet(action) || action == L"VALUE_DELETE" || action == L"VALUE_CLEAR";
}

}  // namespace Knobset
