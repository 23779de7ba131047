#pragma once
// Text for the Markdown of the catalogue document.
#include <string>
#include <string_view>

namespace CatalogueDoc {

// Plain text whose Markdown characters are escaped, on one line: line breaks
// become blanks.
std::wstring EscapeText(std::wstring_view text);
// A code span showing the text literally, on one line (line breaks become
// blanks); its fence is longer than any run of backticks inside.
std::wstring Code(std::wstring_view text);

}  // namespace CatalogueDoc
