#pragma once
// The help texts of the views (the TIPS resource): topic id -> text.
#include <map>
#include <string>
#include <string_view>

namespace GUI {

using TipsMap = std::map<std::wstring, std::wstring>;

// Reads <Tips><Tip name="ID">text</Tip>...</Tips> from UTF-8 XML. Entries with
// an empty name or text are skipped; the first entry of a name wins. Text that
// does not parse gives an empty map (every topic then shows the fallback).
TipsMap ParseTips(std::string_view utf8);

}  // namespace GUI
