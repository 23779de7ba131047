// The catalogue the program builds at start from the tweak sets it carries:
// every tweak of the three sets arrives in the eight categories, and the
// version filter keeps exactly the tweaks meant for the running system.
#include <gtest/gtest.h>

#include "tests/catalogue/ShippedCatalogue.h"
#include "tests/catalogue/ShippedData.h"
#include "tweaker/Keywords.h"

namespace {

struct SetCounts {
    int tweaks = 0;    // direct Tweak children of the categories
    int selected = 0;  // of them, enabled "1"
};

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
                if (Tweaker::SystemCode(document.GetChildAttrib(L"ver")) <= systemCode) {
                    ++counts.tweaks;
                    counts.selected += document.GetChildAttrib(L"enabled") == L"1" ? 1 : 0;
                }
            }
        }
    }
    return counts;
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
