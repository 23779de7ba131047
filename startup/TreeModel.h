#pragma once
// The tree the window's startup view shows, as plain data: the categories
// with entries (groups bold, sorted by name), their entries with their
// children, and a check box on each, so that the view only draws it.
#include <string>
#include <vector>

#include "startup/IEntry.h"

namespace StartUp {

enum class CheckState {
    Checked,    // stays enabled
    Unchecked,  // to be disabled
    Mixed,      // a category some of whose entries are unchecked
};

// The pictures of the view's image list.
enum class TreeImage {
    Group = 1,
    Category = 2,
    File = 3,
    Class = 4,
    Shortcut = 5,
    ClassShortcut = 6,
    Registry = 7,
};

struct TreeNode {
    std::wstring text;
    TreeImage image = TreeImage::Category;
    bool bold = false;
    bool expanded = false;
    CheckState check = CheckState::Checked;
    RTI::Reference<IEntry> object;  // the category or entry shown
    std::vector<TreeNode> children;
};

// Adds a node for the category under parent, with its entries (or, for a
// group, its categories) below it. A category without entries, or a group
// without any such category, adds nothing; false then.
bool InsertIntoTree(const RTI::Reference<ICategory>& category, TreeNode& parent);

// The tree of a whole catalogue under one unnamed root.
TreeNode BuildTree(const CategoryList& roots);

// Ticks or clears an entry's node (and its object); a category's node does the
// same for all its entries. Category states above are worked out again.
void SetChecked(TreeNode& root, const TreeNode& node, bool checked);

}  // namespace StartUp
