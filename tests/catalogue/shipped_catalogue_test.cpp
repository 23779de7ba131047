// The catalogue the program builds at start from the tweak sets it carries:
// every tweak of the three sets arrives in the eight categories, and the
// version filter (ver and maxver) keeps exactly the tweaks meant for the
// running system.
#include <gtest/gtest.h>

#include <set>
#include <string>

#include "tests/catalogue/ShippedCatalogue.h"
#include "tests/catalogue/ShippedData.h"
#include "tweaker/Keywords.h"

namespace {

struct SetCounts {
    int tweaks = 0;    // direct Tweak children of the categories
    int selected = 0;  // of them, enabled "1"
    std::multiset<std::wstring> names;
};

// A tweak is meant for a system that is neither older than its ver nor newer
// than its maxver (an unknown keyword sets no limit).
bool IsMeantFor(const std::wstring& ver, const std::wstring& maxver, int systemCode)
{
    const int newest = Tweaker::SystemCode(maxver);
    return Tweaker::SystemCode(ver) <= systemCode && (newest == 0 || systemCode <= newest);
}

// Counts the tweaks of the embedded sets that a system of the given code keeps.
SetCounts CountShippedTweaks(int systemCode)
{
    SetCounts counts;
    for (const Shipped::TweakSet& set : Shipped::kSets) {
        XmlDocument document;
        if (!Shipped::Parse(Shipped::SetText(set), &document) || !document.FindElem(L"Tweaks")) {
            ADD_FAILURE() << Shipped::Narrow(set.name);
            continue;
        }
        document.IntoElem();
        while (document.FindElem(L"Category")) {
            while (document.FindChildElem(L"Tweak")) {
                if (IsMeantFor(document.GetChildAttrib(L"ver"), document.GetChildAttrib(L"maxver"), systemCode)) {
                    ++counts.tweaks;
                    counts.selected += document.GetChildAttrib(L"enabled") == L"1" ? 1 : 0;
                    counts.names.insert(document.GetChildAttrib(L"n"));
                }
            }
        }
    }
    return counts;
}

std::multiset<std::wstring> LoadedNames(Tweaker::Manager& manager)
{
    std::multiset<std::wstring> names;
    for (const auto& category : manager.Categories()) {
        for (const auto& child : category->GetChildren()) {
            names.insert(child->GetName());
        }
    }
    return names;
}

int CountSelected(Tweaker::Manager& manager)
{
    int selected = 0;
    for (const auto& category : manager.Categories()) {
        for (const auto& child : category->GetChildren()) {
            selected += child->IsSelected() ? 1 : 0;
        }
    }
    return selected;
}

using ShippedCatalogue = Shipped::ShippedCatalogueTest;

TEST_F(ShippedCatalogue, EveryTweakOfTheThreeSetsLoadsIntoTheEightCategories)
{
    Tweaker::Manager& manager = Load(Sys::OsCode::Windows11);
    EXPECT_TRUE(loaded_);
    for (const auto& problem : manager.LoadProblems()) {
        ADD_FAILURE() << Shipped::Narrow(problem.where + L": " + problem.text);
    }
    ASSERT_EQ(std::size(Shipped::kCategories), manager.Categories().size());
    for (size_t i = 0; i < std::size(Shipped::kCategories); ++i) {
        EXPECT_EQ(Shipped::kCategories[i].name, manager.Categories()[i]->GetName());
        EXPECT_EQ(Shipped::kCategories[i].icon, manager.Categories()[i]->GetIcon());
    }
    const SetCounts expected = CountShippedTweaks(Sys::OsCode::Windows11);
    EXPECT_EQ(expected.tweaks, manager.CountTweaks());
    // A first start has no Config.xml: the files' selections hold.
    EXPECT_EQ(expected.selected, CountSelected(manager));
}

TEST_F(ShippedCatalogue, EachWindowsGetsExactlyTheTweaksMeantForIt)
{
    // Tweaks whose setting exists only on some versions, and which of the
    // four systems (XP, 7, 10, 11) offer each.
    struct Spot {
        const wchar_t* name;
        bool xp, seven, ten, eleven;
    };
    const Spot spots[] = {
        {L"Maximum Recycle Bin size (policy)", true, false, false, false},  // template: 2000 to 2003
        {L"No Flip 3D", false, true, false, false},                         // Vista and 7
        {L"Turn off taskbar thumbnails", false, false, false, false},       // Vista only
        {L"Hide the Meet Now icon (Windows 10)", false, false, true, false},
        {L"No restart reminders for updates (Windows 10)", false, false, true, false},
        {L"Turn off Click to Do", false, false, false, true},
        {L"Recall not available", false, false, false, true},
        {L"Restart Explorer automatically after a crash", true, true, true, true},
    };
    const int systems[] = {Sys::OsCode::WindowsXp, Sys::OsCode::Windows7, Sys::OsCode::Windows10,
                           Sys::OsCode::Windows11};
    for (size_t s = 0; s < std::size(systems); ++s) {
        const int system = systems[s];
        Tweaker::Manager& manager = Load(system);
        const SetCounts expected = CountShippedTweaks(system);
        EXPECT_EQ(expected.tweaks, manager.CountTweaks()) << "system code " << system;
        EXPECT_TRUE(expected.names == LoadedNames(manager)) << "system code " << system;
        const std::multiset<std::wstring> loaded = LoadedNames(manager);
        for (const Spot& spot : spots) {
            const bool offered[] = {spot.xp, spot.seven, spot.ten, spot.eleven};
            EXPECT_EQ(offered[s], loaded.contains(spot.name)) << Shipped::Narrow(spot.name) << " on code " << system;
        }
        for (const auto& category : manager.Categories()) {
            for (const auto& child : category->GetChildren()) {
                EXPECT_LE(child->GetMinimumSystem(), system) << Shipped::Narrow(child->GetName());
                if (child->GetMaximumSystem() != 0) {
                    EXPECT_GE(child->GetMaximumSystem(), system) << Shipped::Narrow(child->GetName());
                }
            }
        }
    }
}

TEST_F(ShippedCatalogue, AnOlderWindowsGetsOnlyTheTweaksMeantForIt)
{
    for (const int system : {Sys::OsCode::WindowsXp, Sys::OsCode::Windows7, Sys::OsCode::Windows10}) {
        Tweaker::Manager& manager = Load(system);
        const SetCounts expected = CountShippedTweaks(system);
        EXPECT_EQ(expected.tweaks, manager.CountTweaks()) << "system code " << system;
        EXPECT_LT(expected.tweaks, CountShippedTweaks(Sys::OsCode::Windows11).tweaks) << "system code " << system;
        for (const auto& category : manager.Categories()) {
            for (const auto& child : category->GetChildren()) {
                EXPECT_LE(child->GetMinimumSystem(), system) << Shipped::Narrow(child->GetName());
            }
        }
    }
}

}  // namespace
