#include "gui/SupportTexts.h"

namespace GUI {

std::vector<SupportLine> SupportLines(const SupportFacts& facts)
{
    std::vector<SupportLine> lines;
    std::wstring title = facts.product.empty() ? L"Corvane" : facts.product;
    if (!facts.version.empty()) {
        title += L" " + facts.version;
    }
    lines.push_back({title, L""});
    lines.push_back({L"Help", L"The question mark at the window's top right shows help on the current view."});
    if (!facts.onlineHelpPage.empty()) {
        lines.push_back({L"", L"Online help: " + facts.onlineHelpPage});
    }
    if (!facts.homePage.empty()) {
        lines.push_back({L"", L"Home page: " + facts.homePage});
    }
    if (!facts.dataFolder.empty()) {
        lines.push_back({L"Your files", L"Backups, profiles and the startup snapshot are kept in " + facts.dataFolder});
    }
    lines.push_back({L"Command line",
                     L"corvane-cli does the same work from a console; \"corvane-cli --help\" lists its commands."});
    return lines;
}

}  // namespace GUI
