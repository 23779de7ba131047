#include "app/cli/Output.h"

#include "app/catalogue/StatusText.h"

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
    return ProgramCatalogue::StatusText(status);
}

std::wstring Quoted(std::wstring_view text)
{
    return L"\"" + std::wstring(text) + L"\"";
}

}  // namespace Cli
