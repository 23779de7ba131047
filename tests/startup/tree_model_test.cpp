// The startup view's tree as data: what is shown, in which order, and how the
// check boxes of entries and categories follow each other.
#ifndef _WIN32
#include <gtest/gtest.h>

#include "startup/TreeModel.h"
#include "tests/startup/StartupFixture.h"

namespace {

using namespace StartUpTesting;
using StartUp::CheckState;
using StartUp::TreeNode;

class TreeModelTest : public StartupTest {};

const TreeNode* Child(const TreeNode& node, std::wstring_view text)
{
    for (const TreeNode& child : node.children) {
        if (child.text == text) {
            return &child;
        }
    }
    return nullptr;
}

TEST_F(TreeModelTest, OnlyPlacesWithEntriesAreShownSortedWithTheirChecks)
{
    SetText(Platform::CurrentUser(), kRun, L"zeta", L"z.exe");
    SetText(Platform::CurrentUser(), kRun, L"Alpha", L"a.exe");
    Platform::ShellLink link;
    link.target = L"C:\\tool.exe";
    WriteFile(L"C:\\tool.exe", "MZ" + std::string(70, 't'));
    ASSERT_EQ(Os().System().SaveShellLink(kUserStartup + L"\\tool.lnk", link), Err::Success);
    const StartUp::CategoryList roots = Catalogue();
    StartUp::TreeNode tree = StartUp::BuildTree(roots);

    ASSERT_EQ(tree.children.size(), 2u) << "groups without entries are not shown";
    EXPECT_EQ(tree.children[0].text, L"Autostart folders");
    const TreeNode* runKeys = Child(tree, L"Registry 'Run' keys");
    ASSERT_TRUE(runKeys);
    EXPECT_TRUE(runKeys->bold);
    ASSERT_EQ(runKeys->children.size(), 1u) << "empty keys are not shown";
    const TreeNode& userRun = runKeys->children[0];
    EXPECT_TRUE(userRun.expanded);
    ASSERT_EQ(userRun.children.size(), 2u);
    EXPECT_EQ(userRun.children[0].text, L"Alpha");
    EXPECT_EQ(userRun.children[1].text, L"zeta");
    const TreeNode& shortcut = Child(tree, L"Autostart folders")->children[0].children[0];
    EXPECT_EQ(shortcut.image, StartUp::TreeImage::Shortcut);
    ASSERT_EQ(shortcut.children.size(), 1u) << "the target below the shortcut";
    EXPECT_EQ(shortcut.children[0].image, StartUp::TreeImage::File);

    struct Step {
        const TreeNode* node;
        bool checked;
        CheckState entry0, entry1, category, group;
    };
    const Step steps[] = {
        {&userRun.children[0], false, CheckState::Unchecked, CheckState::Checked, CheckState::Mixed, CheckState::Mixed},
        {&userRun.children[1], false, CheckState::Unchecked, CheckState::Unchecked, CheckState::Unchecked,
         CheckState::Unchecked},
        {&userRun, true, CheckState::Checked, CheckState::Checked, CheckState::Checked, CheckState::Checked},
        {runKeys, false, CheckState::Unchecked, CheckState::Unchecked, CheckState::Unchecked, CheckState::Unchecked},
    };
    for (const Step& step : steps) {
        StartUp::SetChecked(tree, *step.node, step.checked);
        EXPECT_EQ(userRun.children[0].check, step.entry0);
        EXPECT_EQ(userRun.children[1].check, step.entry1);
        EXPECT_EQ(userRun.check, step.category);
        EXPECT_EQ(runKeys->check, step.group);
        EXPECT_EQ(userRun.children[0].object->IsChecked(), step.entry0 == CheckState::Checked);
    }
}

}  // namespace
#endif
