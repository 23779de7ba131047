#include "startup/TaskDefinition.h"

#include "core/xml/XmlDocument.h"

namespace StartUp {

namespace {

// The scheduler writes "true"/"false"; its schema also allows "1"/"0".
bool IsFalse(std::wstring_view text)
{
    return text == L"false" || text == L"0";
}

// The text of the child element named name of the current element; empty
// when there is none. The cursor stays on the current element.
std::wstring ChildText(XmlDocument& doc, std::wstring_view name)
{
    if (!doc.IntoElem()) {
        return {};
    }
    std::wstring text;
    if (doc.FindElem(name)) {
        text = doc.GetData();
    }
    (void)doc.OutOfElem();
    return text;
}

}  // namespace

std::optional<TaskStart> ReadTaskDefinition(std::wstring_view xml)
{
    XmlDocument doc;
    if (!doc.SetDoc(std::wstring(xml)) || !doc.FindElem(L"Task") || !doc.IntoElem()) {
        return std::nullopt;
    }
    TaskStart start;
    while (doc.FindElem()) {
        const std::wstring section = doc.GetTagName();
        if (section == L"Settings") {
            start.enabled = !IsFalse(ChildText(doc, L"Enabled"));
        } else if (section == L"Triggers" && doc.IntoElem()) {
            while (doc.FindElem()) {
                const std::wstring trigger = doc.GetTagName();
                const bool on = !IsFalse(ChildText(doc, L"Enabled"));
                start.atLogon = start.atLogon || (on && trigger == L"LogonTrigger");
                start.atBoot = start.atBoot || (on && trigger == L"BootTrigger");
            }
            (void)doc.OutOfElem();
        } else if (section == L"Actions" && start.command.empty() && doc.IntoElem()) {
            if (doc.FindElem(L"Exec")) {
                std::wstring program = ChildText(doc, L"Command");
                const std::wstring arguments = ChildText(doc, L"Arguments");
                if (!program.empty() && program.front() != L'"' && program.find(L' ') != std::wstring::npos) {
                    program = L"\"" + program + L"\"";
                }
                start.command = arguments.empty() || program.empty() ? program : program + L" " + arguments;
            }
            (void)doc.OutOfElem();
        }
    }
    return start;
}

}  // namespace StartUp
