#pragma once
// The problems met while the catalogue loaded, told once in one message after
// the main window shows (a missing tweak set or a Config.xml kept aside must
// not go unnoticed, and must not be told again on every refresh).
#include <string>
#include <vector>

#include "app/catalogue/CatalogueLoad.h"

namespace AppShell {

// Shows a message and waits for the user; the program's runs it on a prompt
// thread while the window keeps painting, tests answer it.
class IPrompt {
public:
    virtual ~IPrompt() = default;
    virtual void ShowMessage(const std::wstring& text, const std::wstring& caption) = 0;
};

inline constexpr wchar_t kLoadProblemsCaption[] = L"Corvane";

// The message for these lines; empty when there is nothing to tell.
std::wstring LoadProblemsText(const std::vector<ProgramCatalogue::Line>& lines);

class LoadNotice {
public:
    explicit LoadNotice(std::wstring text) : text_(std::move(text)) {}
    // Shows the message the first time it is called; later calls do nothing.
    void ShowOnce(IPrompt& prompt);
    bool Pending() const { return !text_.empty(); }

private:
    std::wstring text_;
};

}  // namespace AppShell
