#pragma once
// Readable sentences for what a tweak's items change and for its version
// keyword, as the catalogue document shows them.
#include <string>
#include <string_view>

#include "utils/Knobset/document/Document.h"

namespace CatalogueDoc {

// The versions a tweak is offered on, from its ver and maxver: "Windows XP
// and later", "Windows Vista to Windows 7", "Windows 10 only", "every Windows
// version up to Windows XP", "every Windows version". Text that is no keyword
// sets no limit, as in the program.
std::wstring VersionText(std::wstring_view ver, std::wstring_view maxver = {});

// One Markdown sentence: the location and the change, the choices of a
// switch, what may be typed for a free value, and whether a backup point
// can undo a file change.
std::wstring DescribeItem(const Knobset::Item& item);

}  // namespace CatalogueDoc
