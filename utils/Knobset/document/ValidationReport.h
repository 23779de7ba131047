#pragma once
// What the validator found in a document: one finding per mistake, each a
// message and the place it is about, and the categories it renamed.
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace Knobset {

enum class Check {
    DuplicateCategory,
    DuplicateTweak,
    TweakWithoutItems,
    PathWithRoot,
    WrongDword,
    NoPath,
    NoKeyname,
    NoByteLength,
    WrongByteLength,
    NoChoices,
    NoKeynameInChoice,
    WrongChoiceDword,
    WrongChoiceByteLength,
    NoMainChoice,
    SeveralMainChoices,
    MaxverBelowVer,
};

// The message of a check as the report shows it, before the location and
// without the line break that starts each finding.
std::wstring_view MessageOf(Check check);

struct Finding {
    Check check;
    // MessageOf(check); for a duplicate tweak followed by the earlier
    // tweak's location and " = ".
    std::wstring message;
    // A category name, a tweak location (category, groups and tweak joined
    // by "\") or an item location (tweak location + "\Item" + position).
    std::wstring location;
};

struct CategoryRename {
    size_t index;  // in the document's categories
    std::wstring oldName;
    std::wstring newName;
};

struct ValidationReport {
    std::vector<Finding> findings;
    // The document was changed by these: the editor renames the tree nodes
    // and counts the document as changed, so that a save keeps the new names.
    std::vector<CategoryRename> renames;
    bool verdict = true;  // no finding
};

// The report's text as the message box shows it: for each finding a line
// break, the message and the location.
std::wstring FormatReport(const ValidationReport& report);
// The same as lines without line breaks, for a console.
std::vector<std::wstring> ReportLines(const ValidationReport& report);

}  // namespace Knobset
