#include "app/cli/Output.h"

#include "core/platform/Errors.h"

namespace Cli {

void Output::Line(std::wstring_view text) const
{
    std::wstring line(text);
    line += L'\n';
    console_.Write(Stream::Out, line);
}

void Output::Error(std::wstring_view text) const
{
    console_.Write(Stream::Err, L"corvane-cli: " + std::wstring(text) + L"\n");
}

void Output::Warning(std::wstring_view text) const
{
    console_.Write(Stream::Err, L"corvane-cli: warning: " + std::wstring(text) + L"\n");
}

std::wstring ErrorText(uint32_t status)
{
    std::wstring what;
    switch (status) {
        case Err::FileNotFound:
            what = L"it does not exist";
            break;
        case Err::PathNotFound:
            what = L"its folder does not exist";
            break;
        case Err::AccessDenied:
            what = L"access is denied";
            break;
        case Err::SharingViolation:
            what = L"another program is using it";
            break;
        case Err::DiskFull:
            what = L"the disk is full";
            break;
        case Err::NoUnicodeTranslation:
            what = L"it is not UTF-8 text";
            break;
        case Err::BadFormat:
            return L"it is malformed (error -1)";
        default:
            return L"error " + std::to_wstring(status);
    }
    return what + L" (error " + std::to_wstring(status) + L")";
}

std::wstring Quoted(std::wstring_view text)
{
    return L"\"" + std::wstring(text) + L"\"";
}

}  // namespace Cli
