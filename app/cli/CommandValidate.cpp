// validate FILE: the tweak file editor's checks on a file, for authors of
// tweak files and for scripts. The file is only read; the one repair the
// editor makes (renaming a duplicate category) is reported, never saved.
#include <string>

#include "app/cli/Context.h"
#include "core/platform/Errors.h"
#include "core/platform/FileIO.h"
#include "utils/Knobset/document/DocumentReader.h"
#include "utils/Knobset/document/Validator.h"

namespace Cli {

int RunValidate(const Context& context)
{
    const std::wstring& path = context.invocation.names.front();
    std::string bytes;
    const uint32_t read = context.settings.readCatalogue ? context.settings.readCatalogue(path, &bytes)
                                                         : Platform::ReadWholeFile(path, &bytes);
    if (read != Err::Success) {
        context.out.Error(L"cannot read the tweak file " + Quoted(path) + L": " + ErrorText(read));
        return Exit::BadUsage;
    }
    Knobset::Document document;
    std::wstring error;
    const uint32_t parsed = Knobset::ReadDocumentFromUtf8(bytes, &document, &error);
    if (parsed != Err::Success) {
        context.out.Error(L"cannot read the tweak file " + Quoted(path) + L": " +
                          (error.empty() ? ErrorText(parsed) : error));
        return Exit::BadUsage;
    }
    // Nothing is saved, so the pause between renames is not needed.
    Knobset::NoWaitRenameClock clock;
    const Knobset::ValidationReport report = Knobset::Validate(&document, clock);
    for (const std::wstring& line : Knobset::ReportLines(report)) {
        context.out.Line(line);
    }
    if (report.verdict) {
        context.out.Line(Quoted(path) + L": no mistakes found");
        return Exit::Done;
    }
    context.out.Line(Quoted(path) + L": " + std::to_wstring(report.findings.size()) +
                     (report.findings.size() == 1 ? L" mistake found" : L" mistakes found"));
    return Exit::Failed;
}

}  // namespace Cli
