#pragma once
// Readable sentences for what a tweak's items change and for its version
// keyword, as the catalogue document shows them.
#include <string>
#include <string_view>

#include "utils/Knobset/document/Document.h"

namespace CatalogueDoc {

// "Windows XP and later" for "WIN_XP"; "every Windows version" for no keyword
// or text that is none (the program offers such a tweak everywhere).
std::wstring VersionText(std::wstring_view ver);

// One Markdown sentence: the location and the change, the choices of a
// switch, what may be typed for a free value, and whether a backup point
// can undo a file change.
std::wstring DescribeItem(const Knobset::Item& item);

}  // namespace CatalogueDoc
