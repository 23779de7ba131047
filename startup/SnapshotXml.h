#pragma once
// Raw element texts of a parsed document, so that an entry's element is kept
// exactly as it was written.
#include <cstdint>
#include <string>
#include <vector>

#include "core/xml/XmlDocument.h"

namespace StartUp {

struct ElementText {
    std::wstring name;
    std::wstring text;  // from its "<" to the ">" that ends it
    uint32_t record = 0;
};

// The child elements of an index record (1 = the document element).
std::vector<ElementText> ChildElements(const XmlDocument& doc, uint32_t record = 1);

}  // namespace StartUp
