#include <gtest/gtest.h>

#include "gui/aqua/TextFit.h"

namespace GUI::Aqua {
namespace {

// Every character one unit wide, the ellipsis included.
double Chars(const std::wstring& text)
{
    return static_cast<double>(text.size());
}

TEST(TextFit, WholeWordsThenTheEllipsisOrCharactersWhenNoWordFits)
{
    const struct {
        const wchar_t* text;
        double width;
        const wchar_t* shown;
    } cases[] = {
        {L"", 0, L""},
        {L"fits exactly", 12, L"fits exactly"},
        {L"Explorer shows what is there", 20, L"Explorer shows what\x2026"},
        {L"Explorer shows what is there", 19, L"Explorer shows\x2026"},
        {L"visible extensions, hidden files", 20, L"visible extensions\x2026"},  // no comma before it
        {L"HKLM\\SOFTWARE\\Microsoft", 8, L"HKLM\\SO\x2026"},                    // one long word
        {L"a b", 1, L"\x2026"},
        {L"ab", 0, L"\x2026"},
    };
    for (const auto& c : cases) {
        const std::wstring shown = FitWithEllipsis(c.text, c.width, &Chars);
        EXPECT_EQ(shown, c.shown) << std::string(c.text, c.text + wcslen(c.text)) << " in " << c.width;
        if (!shown.empty() && shown != L"\x2026") {
            EXPECT_LE(Chars(shown), c.width);
        }
    }
}

}  // namespace
}  // namespace GUI::Aqua
