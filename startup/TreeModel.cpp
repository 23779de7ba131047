#include "startup/TreeModel.h"

#include <algorithm>

#include "core/rti/IgnoreCaseStringComparator.h"

namespace StartUp {

namespace {

TreeImage ImageOf(const IElement& entry)
{
    switch (entry.TypeCode()) {
        case FourCC("FILE"):
        case FourCC("EXE "):
        case FourCC("SRVC"):  // shown by the program they start
        case FourCC("TASK"):
            return TreeImage::File;
        case FourCC("CLSS"):
            return TreeImage::Class;
        case FourCC("LINK"):
            return TreeImage::Shortcut;
        case FourCC("CLSC"):
            return TreeImage::ClassShortcut;
        default:
            return TreeImage::Registry;
    }
}

TreeNode EntryNode(const RTI::Reference<IElement>& entry)
{
    TreeNode node;
    node.text = entry->Name();
    node.image = ImageOf(*entry);
    node.check = entry->IsChecked() ? CheckState::Checked : CheckState::Unchecked;
    node.object = RTI::Reference<IEntry>(entry.Get());
    for (const RTI::Reference<IElement>& child : entry->Children()) {
        node.children.push_back(EntryNode(child));
    }
    return node;
}

void SortByText(std::vector<TreeNode>& nodes)
{
    std::stable_sort(nodes.begin(), nodes.end(),
                     [](const TreeNode& a, const TreeNode& b) { return RTI::CompareIgnoreCase(a.text, b.text) < 0; });
}

// The state of a category node from its children's.
CheckState Combined(const std::vector<TreeNode>& children)
{
    bool anyChecked = false;
    bool anyUnchecked = false;
    for (const TreeNode& child : children) {
        anyChecked = anyChecked || child.check != CheckState::Unchecked;
        anyUnchecked = anyUnchecked || child.check != CheckState::Checked;
    }
    if (anyChecked && anyUnchecked) {
        return CheckState::Mixed;
    }
    return anyUnchecked ? CheckState::Unchecked : CheckState::Checked;
}

bool IsCategory(const TreeNode& node)
{
    return node.image == TreeImage::Group || node.image == TreeImage::Category;
}

// Sets every entry at and below a node (entries' own children excepted).
void Apply(TreeNode& node, bool checked)
{
    if (IsCategory(node)) {
        for (TreeNode& child : node.children) {
            Apply(child, checked);
        }
        node.check = Combined(node.children);
        return;
    }
    node.check = checked ? CheckState::Checked : CheckState::Unchecked;
    node.object->SetChecked(checked);
}

// Finds the node and applies the change; recomputes the categories on the way back.
bool Visit(TreeNode& current, const TreeNode& target, bool checked)
{
    if (&current == &target) {
        Apply(current, checked);
        return true;
    }
    for (TreeNode& child : current.children) {
        if (Visit(child, target, checked)) {
            if (IsCategory(current)) {
                current.check = Combined(current.children);
            }
            return true;
        }
    }
    return false;
}

}  // namespace

bool InsertIntoTree(const RTI::Reference<ICategory>& category, TreeNode& parent)
{
    TreeNode node;
    node.text = category->Name();
    node.object = RTI::Reference<IEntry>(category.Get());
    node.bold = true;
    if (category->TypeCode() == FourCC("GRUP")) {
        node.image = TreeImage::Group;
        for (const RTI::Reference<ICategory>& child : category->Categories()) {
            (void)InsertIntoTree(child, node);
        }
    } else {
        node.image = TreeImage::Category;
        node.expanded = true;
        for (const RTI::Reference<IElement>& entry : category->Entries()) {
            node.children.push_back(EntryNode(entry));
        }
        SortByText(node.children);
    }
    if (node.children.empty()) {
        return false;
    }
    node.check = Combined(node.children);
    parent.children.push_back(std::move(node));
    SortByText(parent.children);
    return true;
}

TreeNode BuildTree(const CategoryList& roots)
{
    TreeNode root;
    root.image = TreeImage::Group;
    for (const RTI::Reference<ICategory>& category : roots) {
        (void)InsertIntoTree(category, root);
    }
    root.check = Combined(root.children);
    return root;
}

void SetChecked(TreeNode& root, const TreeNode& node, bool checked)
{
    (void)Visit(root, node, checked);
}

}  // namespace StartUp
