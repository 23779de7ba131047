#include "utils/Knobset/document/ValidationReport.h"

namespace Knobset {

std::wstring_view MessageOf(Check check)
{
    switch (check) {
        case Check::DuplicateCategory:
            return L"Equal names of categories detected! One of twins name was changed: ";
        case Check::DuplicateTweak:
            return L"Equal names of tweaks detected! - ";
        case Check::TweakWithoutItems:
            return L"No any Item in Tweak: ";
        case Check::PathWithRoot:
            return L"Propably incorrect path for key Item (can include root directory): ";
        case Check::WrongDword:
            return L"Incorrect DWORD value for key Item: ";
        case Check::NoPath:
            return L"No path for key-Item: ";
        case Check::NoKeyname:
            return L"No keyname in Item for registry key action: ";
        case Check::NoByteLength:
            return L"No length in bytes for key Item: ";
        case Check::WrongByteLength:
            return L"Incorrect length in bytes for key Item: ";
        case Check::NoChoices:
            return L"No values in set of Key Item: ";
        case Check::NoKeynameInChoice:
            return L"No keyname in Item for registry key action in item`s set: ";
        case Check::WrongChoiceDword:
            return L"Wrong DWORD value from set for Key Item: ";
        case Check::WrongChoiceByteLength:
            return L"Wrong length in bytes of BINARY value from set for Key Item: ";
        case Check::NoMainChoice:
            return L"No any main in set for Key Item: ";
        case Check::SeveralMainChoices:
            return L"More then one main in set for Key Item: ";
        case Check::MaxverBelowVer:
            return L"Newest version (maxver) is older than the oldest version (ver) of Tweak: ";
    }
    return {};
}

std::vector<std::wstring> ReportLines(const ValidationReport& report)
{
    std::vector<std::wstring> lines;
    lines.reserve(report.findings.size());
    for (const Finding& f : report.findings) {
        lines.push_back(f.message + f.location);
    }
    return lines;
}

std::wstring FormatReport(const ValidationReport& report)
{
    std::wstring text;
    for (const std::wstring& line : ReportLines(report)) {
        text += L'\n';
        text += line;
    }
    return text;
}

}  // namespace Knobset
