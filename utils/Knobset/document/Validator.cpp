#include "utils/Knobset/document/Validator.h"

#include <algorithm>
#include <deque>
#include <string>
#include <vector>

#include "utils/Knobset/document/DocumentReader.h"
#include "utils/Knobset/document/KeyChecks.h"
#include "utils/Knobset/document/Keywords.h"

namespace Knobset {

namespace {

constexpr uint32_t kRenameWaitMs = 2000;
// Each level of nested groups is read again from its markup, so the walk
// stops at a depth no real tweak file reaches; a hostile file cannot make it
// exhaust the stack or take quadratic time.
constexpr int kMaxGroupDepth = 32;

bool HasCategoryNamed(const Document& document, const std::wstring& name)
{
    return std::any_of(document.categories.begin(), document.categories.end(),
                       [&name](const Category& c) { return c.name == name; });
}

// Renames each category whose name a later category has too. The number is
// the clock's; should that name be taken already (a category named so by
// hand, or a clock that stands still) the next free number is used, so a
// rename never makes a new pair of twins.
void RenameDuplicateCategories(Document* document, IRenameClock& clock, ValidationReport* report)
{
    auto& categories = document->categories;
    for (size_t i = 0; i < categories.size(); ++i) {
        const bool twin = std::any_of(categories.begin() + static_cast<std::ptrdiff_t>(i) + 1, categories.end(),
                                      [&](const Category& c) { return c.name == categories[i].name; });
        if (!twin) {
            continue;
        }
        const std::wstring oldName = categories[i].name;
        uint64_t number = clock.SecondsSince1970();
        std::wstring newName;
        do {
            newName = oldName + L"!" + std::to_wstring(number++);
        } while (HasCategoryNamed(*document, newName));
        clock.Wait(kRenameWaitMs);
        categories[i].name = newName;
        report->renames.push_back({i, oldName, newName});
        report->findings.push_back(
            {Check::DuplicateCategory, std::wstring(MessageOf(Check::DuplicateCategory)), newName});
    }
}

struct PlacedTweak {
    const Tweak* tweak;
    std::wstring location;  // category, groups and tweak name joined by "\"
};

// Lists the tweaks of a category in document order, with those of nested
// groups where the groups stand. Nested groups are kept as markup; they are
// read into *nested, which outlives the list.
void CollectTweaks(const Category& group, const std::wstring& path, int depth, std::deque<Category>* nested,
                   std::vector<PlacedTweak>* out)
{
    auto visitKept = [&](const KeptMarkup& kept) {
        if (depth >= kMaxGroupDepth) {
            return;
        }
        for (const std::wstring& markup : kept) {
            Category inner;
            if (ReadNestedGroup(markup, &inner)) {
                nested->push_back(std::move(inner));
                const Category& added = nested->back();
                CollectTweaks(added, path + L"\\" + added.name, depth + 1, nested, out);
            }
        }
    };
    for (const Tweak& tweak : group.tweaks) {
        visitKept(tweak.keptBefore);
        out->push_back({&tweak, path + L"\\" + tweak.name});
    }
    visitKept(group.keptAtEnd);
}

void CheckDuplicateTweaks(const std::vector<PlacedTweak>& tweaks, std::vector<Finding>* findings)
{
    for (size_t i = 0; i < tweaks.size(); ++i) {
        const auto earlier = std::find_if(tweaks.begin(), tweaks.begin() + static_cast<std::ptrdiff_t>(i),
                                          [&](const PlacedTweak& t) { return t.tweak->name == tweaks[i].tweak->name; });
        if (earlier != tweaks.begin() + static_cast<std::ptrdiff_t>(i)) {
            findings->push_back({Check::DuplicateTweak,
                                 std::wstring(MessageOf(Check::DuplicateTweak)) + earlier->location + L" = ",
                                 tweaks[i].location});
        }
    }
}

}  // namespace

ValidationReport Validate(Document* document, IRenameClock& clock)
{
    ValidationReport report;
    RenameDuplicateCategories(document, clock, &report);

    std::deque<Category> nested;
    std::vector<PlacedTweak> tweaks;
    for (const Category& category : document->categories) {
        CollectTweaks(category, category.name, 0, &nested, &tweaks);
    }
    CheckDuplicateTweaks(tweaks, &report.findings);
    for (const PlacedTweak& placed : tweaks) {
        if (placed.tweak->items.empty()) {
            report.findings.push_back(
                {Check::TweakWithoutItems, std::wstring(MessageOf(Check::TweakWithoutItems)), placed.location});
        }
    }
    // Such a tweak is offered on no Windows version at all.
    for (const PlacedTweak& placed : tweaks) {
        const int newest = VersionRank(placed.tweak->maxver);
        if (newest != 0 && newest < VersionRank(placed.tweak->ver)) {
            report.findings.push_back(
                {Check::MaxverBelowVer, std::wstring(MessageOf(Check::MaxverBelowVer)), placed.location});
        }
    }
    for (const PlacedTweak& placed : tweaks) {
        const std::vector<Item>& items = placed.tweak->items;
        for (size_t i = 0; i < items.size(); ++i) {
            if (items[i].kind != ItemKind::Key) {
                continue;
            }
            const std::wstring itemLocation = placed.location + L"\\Item" + std::to_wstring(i);
            CheckKey(items[i].key, {*placed.tweak, placed.location, itemLocation}, &report.findings);
        }
    }
    report.verdict = report.findings.empty();
    return report;
}

ValidationReport Validate(Document* document)
{
    PlatformRenameClock clock;
    return Validate(document, clock);
}

}  // namespace Knobset
