#pragma once
// Reading the parts of a parsed XmlDocument that its cursor does not show:
// every attribute of an element in order, the source text of an element, and
// the comments between elements. The document reader keeps these so that
// saving gives back what the editor does not edit.
#include <cstdint>
#include <string>
#include <string_view>

#include "core/xml/XmlDocument.h"
#include "utils/Knobset/document/Document.h"

namespace Knobset::Source {

// The element's tag name.
std::wstring_view TagName(const XmlDocument& xml, uint32_t record);
// The element's attributes in source order, values unescaped. A name that
// appears twice keeps its first value, as every reader sees only that one.
AttributeList Attributes(const XmlDocument& xml, uint32_t record);
// The element's text from its "<" to the ">" of its end tag.
std::wstring ElementText(const XmlDocument& xml, uint32_t record);
// The comments and processing instructions in text[from, to) — the space
// between two tags — appended to out. Other text there is not kept.
void AppendMarkup(std::wstring_view text, size_t from, size_t to, KeptMarkup* out);

}  // namespace Knobset::Source
