#include "app/corvane/LoadNotice.h"

namespace AppShell {

std::wstring LoadProblemsText(const std::vector<ProgramCatalogue::Line>& lines)
{
    if (lines.empty()) {
        return {};
    }
    bool noCatalogue = false;
    for (const ProgramCatalogue::Line& line : lines) {
        noCatalogue = noCatalogue || line.kind == ProgramCatalogue::Line::Kind::Error;
    }
    std::wstring text = noCatalogue ? L"Corvane could not load its tweaks, so there is nothing to analyse or tune up:"
                                    : L"Corvane started without some of its tweak files or settings:";
    for (const ProgramCatalogue::Line& line : lines) {
        text += L"\n\n";
        // The engine's texts start in lower case, as a message's clauses do.
        std::wstring sentence = line.text;
        if (!sentence.empty() && sentence[0] >= L'a' && sentence[0] <= L'z') {
            sentence[0] = static_cast<wchar_t>(sentence[0] - L'a' + L'A');
        }
        text += sentence;
        if (!sentence.empty() && sentence.back() != L'.') {
            text += L'.';
        }
    }
    return text;
}

void LoadNotice::ShowOnce(IPrompt& prompt)
{
    if (text_.empty()) {
        return;
    }
    const std::wstring text = std::move(text_);
    text_.clear();
    prompt.ShowMessage(text, kLoadProblemsCaption);
}

}  // namespace AppShell
