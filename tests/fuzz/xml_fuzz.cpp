// libFuzzer entry point for XmlDocument, built by the fuzz preset and run
// briefly as a test there; for a longer run:
//   cmake --preset fuzz && cmake --build --preset fuzz && build/fuzz/tests/xml_fuzz -max_total_time=60
// Besides not crashing, every accepted document must survive an edit with an
// index equal to that of a fresh parse of the edited text.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "core/xml/XmlDocument.h"

namespace {

std::vector<XmlDocument::Record> InDocumentOrder(const XmlDocument& doc)
{
    const auto& index = doc.GetIndex();
    std::vector<XmlDocument::Record> out;
    std::vector<uint32_t> stack;
    for (uint32_t r = index[0].firstChild; r != 0 || !stack.empty();) {
        if (r == 0) {
            r = index[stack.back()].nextSibling;
            stack.pop_back();
            continue;
        }
        out.push_back(index[r]);
        if (index[r].firstChild) {
            stack.push_back(r);
            r = index[r].firstChild;
        } else {
            r = index[r].nextSibling;
        }
    }
    return out;
}

void Exercise(XmlDocument& doc)
{
    // Walk everything, reading as the programs do.
    size_t depth = 0;
    for (;;) {
        if (doc.FindElem()) {
            (void)doc.GetTagName();
            (void)doc.GetAttrib(L"n");
            (void)doc.GetData();
            (void)doc.IntoElem();
            ++depth;
        } else if (depth > 0) {
            (void)doc.OutOfElem();
            (void)doc.GetChildData();
            --depth;
        } else {
            break;
        }
    }
    doc.ResetPos();
    if (!doc.FindChildElem() || !doc.AddChildElem(L"added", L"<&>") || !doc.SetChildAttrib(L"n", L"'\"") ||
        !doc.SetAttrib(L"n", L"v")) {
        return;
    }
    XmlDocument fresh;
    if (!fresh.SetDoc(doc.GetDoc())) {
        std::abort();
    }
    const auto a = InDocumentOrder(doc);
    const auto b = InDocumentOrder(fresh);
    if (a.size() != b.size()) {
        std::abort();
    }
    for (size_t i = 0; i < a.size(); ++i) {
        if (a[i].startTagStart != b[i].startTagStart || a[i].startTagEnd != b[i].startTagEnd ||
            a[i].endTagStart != b[i].endTagStart || a[i].endTagEnd != b[i].endTagEnd || a[i].flags != b[i].flags) {
            std::abort();
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    XmlDocument doc;
    if (doc.LoadFromUtf8(std::string_view(reinterpret_cast<const char*>(data), size)) == 0) {
        Exercise(doc);
    }
    // The same bytes as characters, so the parser also sees what the decoder refuses.
    if (doc.SetDoc(std::wstring(data, data + size))) {
        Exercise(doc);
    }
    return 0;
}
