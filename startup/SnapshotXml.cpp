#include "startup/SnapshotXml.h"

namespace StartUp {

std::vector<ElementText> ChildElements(const XmlDocument& doc, uint32_t record)
{
    std::vector<ElementText> children;
    const std::vector<XmlDocument::Record>& index = doc.GetIndex();
    const std::wstring& text = doc.GetDoc();
    if (record >= index.size()) {
        return children;
    }
    for (uint32_t child = index[record].firstChild; child != 0 && child < index.size();
         child = index[child].nextSibling) {
        const XmlDocument::Record& r = index[child];
        if (r.startTagStart >= text.size() || r.endTagEnd >= text.size() || r.endTagEnd < r.startTagStart) {
            break;
        }
        ElementText element;
        size_t end = r.startTagStart + 1;
        while (end < text.size() && text[end] != L' ' && text[end] != L'\t' && text[end] != L'\r' &&
               text[end] != L'\n' && text[end] != L'/' && text[end] != L'>') {
            ++end;
        }
        element.name = text.substr(r.startTagStart + 1, end - r.startTagStart - 1);
        element.text = text.substr(r.startTagStart, r.endTagEnd - r.startTagStart + 1);
        element.record = child;
        children.push_back(std::move(element));
    }
    return children;
}

}  // namespace StartUp
