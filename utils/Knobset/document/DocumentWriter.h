#pragma once
// Writing a Knobset document as a tweak file.
//
// Elements and attributes follow the format's writing order: Category n, i;
// Tweak n, i (the category's icon for a tweak without one of its own), ver,
// enabled, manageable only when "0", then d and dex when not empty; Key
// parent, path, keyname, action, and the value attributes by action, editable
// when neither empty nor "no", then the values element with its choices.
// After the edited attributes come the element's other attributes.
//
// Nothing read from a file is lost on the way: an edited attribute the
// element had in its file is written even where the writing order leaves it
// out; a values element with choices is written whatever editable says; kept
// markup is written back where it stood. Lines end with CR LF; children are
// indented by two spaces.
#include <string>
#include <string_view>

#include "core/platform/Platform.h"
#include "utils/Knobset/document/Document.h"

namespace Knobset {

std::wstring WriteDocumentText(const Document& document);
// One tweak as XML text (what "GetTweak xml" shows); categoryIcon is written
// as its icon when it has none of its own.
std::wstring WriteTweakText(const Tweak& tweak, std::wstring_view categoryIcon);

// Writes the document as UTF-8 without a byte-order mark, creating the file
// or replacing it in one step through a flushed temporary file beside it, so
// that a failed save leaves the old file whole. Returns 0; 1113 when the text holds an unpaired
// surrogate; Err::BadFormat when edited kept markup no longer makes a
// well-formed document (nothing is written then); or the file system's error.
[[nodiscard]] Platform::Status WriteDocument(std::wstring_view path, const Document& document);

}  // namespace Knobset
