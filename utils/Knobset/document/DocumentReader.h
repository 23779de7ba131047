#pragma once
// Reading a tweak file into a Knobset document.
#include <string>
#include <string_view>

#include "core/platform/Platform.h"
#include "utils/Knobset/document/Document.h"

namespace Knobset {

// Reads the file through the platform seam. Returns 0; the file system's
// error when it cannot be read (2 when missing); 1113 when it is not UTF-8;
// Err::BadFormat (-1) when the text is not well-formed XML or its document
// element is not "Tweaks". On failure *error says why (the XML reader's text
// for a parse error) and *document is unchanged; on success *error is empty.
[[nodiscard]] Platform::Status ReadDocument(std::wstring_view path, Document* document, std::wstring* error);
// The same from the file's bytes, and from text already decoded.
[[nodiscard]] Platform::Status ReadDocumentFromUtf8(std::string_view bytes, Document* document, std::wstring* error);
[[nodiscard]] Platform::Status ReadDocumentFromText(std::wstring text, Document* document, std::wstring* error);

// True for the element names that make a nested group inside a category:
// "Category", "Group" and "Application", in any letter case.
bool IsNestedGroupName(std::wstring_view name);
// Reads kept markup that is one nested group element into *group (its own
// nested groups stay kept markup). False, with *group unchanged, when the
// markup is not such an element.
bool ReadNestedGroup(std::wstring_view markup, Category* group);

}  // namespace Knobset
