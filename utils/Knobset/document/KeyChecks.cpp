#include "utils/Knobset/document/KeyChecks.h"

#include "utils/Knobset/document/Keywords.h"
#include "utils/Knobset/document/TextForms.h"

namespace Knobset {

namespace {

bool IsMissingLength(std::wstring_view length)
{
    return length.empty() || length == L"0";
}

void Add(std::vector<Finding>* findings, Check check, const std::wstring& location)
{
    findings->push_back({check, std::wstring(MessageOf(check)), location});
}

void CheckChoices(const Key& key, const KeyPlace& place, std::vector<Finding>* findings)
{
    const std::wstring& at = place.itemLocation;
    if (key.choices.empty()) {
        Add(findings, Check::NoChoices, at);
    }
    const bool dword = key.valuetype == L"REG_DWORD";
    const bool binary = key.valuetype == L"REG_BINARY";
    size_t mains = 0;
    for (const Choice& choice : key.choices) {
        if (choice.main == L"1") {
            ++mains;
        }
        if (choice.action == L"KEY_SET" && key.keyname.empty()) {
            Add(findings, Check::NoKeynameInChoice, at);
        }
        const bool setsValue = IsValueSet(choice.action);
        if (dword && setsValue && !IsDwordText(choice.val)) {
            Add(findings, Check::WrongChoiceDword, at);
        }
        if (binary && setsValue &&
            (IsMissingLength(choice.valuevalbytelen) || !IsDecimalNumber(choice.valuevalbytelen))) {
            Add(findings, Check::WrongChoiceByteLength, at);
        }
    }
    // A tweak that is off by default needs no recommended choice.
    if (mains == 0 && place.tweak.enabled != L"0") {
        Add(findings, Check::NoMainChoice, at);
    }
    if (mains > 1) {
        Add(findings, Check::SeveralMainChoices, at);
    }
}

}  // namespace

void CheckKey(const Key& key, const KeyPlace& place, std::vector<Finding>* findings)
{
    const std::wstring& at = place.itemLocation;
    const bool setsValue = IsValueSet(key.action);
    if (key.path.starts_with(L"HK")) {
        Add(findings, Check::PathWithRoot, at);
    }
    if (key.valuetype == L"REG_DWORD" && setsValue && !IsDwordText(key.valueval)) {
        Add(findings, Check::WrongDword, at);
    }
    if (key.path.empty()) {
        Add(findings, Check::NoPath, at);
    }
    if (key.action == L"KEY_SET" && key.keyname.empty()) {
        Add(findings, Check::NoKeyname, at);
    }
    if (key.valuetype == L"REG_BINARY" && setsValue) {
        if (IsMissingLength(key.valuevalbytelen)) {
            Add(findings, Check::NoByteLength, place.tweakLocation);  // this one names the tweak only
        } else if (!IsDecimalNumber(key.valuevalbytelen)) {
            Add(findings, Check::WrongByteLength, at);
        }
    }
    if (key.editable == L"set") {
        CheckChoices(key, place, findings);
    }
}

}  // namespace Knobset
