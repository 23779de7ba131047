#include "gui/Tips.h"

#include "core/xml/XmlDocument.h"

namespace GUI {

TipsMap ParseTips(std::string_view utf8)
{
    TipsMap tips;
    XmlDocument document;
    if (document.LoadFromUtf8(utf8) != 0 || !document.FindElem(L"Tips")) {
        return tips;
    }
    while (document.FindChildElem(L"Tip")) {
        std::wstring name = document.GetChildAttrib(L"name");
        std::wstring text = document.GetChildData();
        if (!name.empty() && !text.empty()) {
            tips.emplace(std::move(name), std::move(text));  // the first of a name stays
        }
    }
    return tips;
}

}  // namespace GUI
