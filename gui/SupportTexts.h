#pragma once
// The support panel's texts: which program this is, where help is found, where
// the program keeps the user's files and how the same work is done from a
// console. Addresses that the build does not set are not shown.
#include <string>
#include <vector>

namespace GUI {

struct SupportFacts {
    std::wstring product;         // "Corvane"
    std::wstring version;         // "1.0.0"
    std::wstring onlineHelpPage;  // empty: the build names none
    std::wstring homePage;        // empty: the build names none
    std::wstring dataFolder;      // <AppData>\Corvane; empty when the shell names none
};

struct SupportLine {
    std::wstring heading;  // bold; empty for a continuation line
    std::wstring text;
};

std::vector<SupportLine> SupportLines(const SupportFacts& facts);

}  // namespace GUI
