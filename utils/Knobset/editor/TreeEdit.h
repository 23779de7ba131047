#pragma once
// The tree of the editor mirrors the document: categories at the top, their
// tweaks below them and the tweaks' items below those. A node is named by its
// indexes; the commands of the editor say how the tree must change as a list
// of edits that the window applies in order.
#include <compare>
#include <string>
#include <vector>

namespace Knobset {

struct NodeRef {
    int category = -1;
    int tweak = -1;
    int item = -1;

    // 0 category, 1 tweak, 2 item; -1 for no node.
    int Depth() const { return category < 0 ? -1 : tweak < 0 ? 0 : item < 0 ? 1 : 2; }
    bool IsNone() const { return category < 0; }
    auto operator<=>(const NodeRef&) const = default;
};

inline NodeRef CategoryNode(int c)
{
    return {c, -1, -1};
}
inline NodeRef TweakNode(int c, int t)
{
    return {c, t, -1};
}
inline NodeRef ItemNode(int c, int t, int i)
{
    return {c, t, i};
}

struct TreeEdit {
    enum class Kind {
        Clear,    // remove every node
        Insert,   // insert a node with text at node (its parent exists; it goes before the node now there)
        Remove,   // remove the node and its children
        SetText,  // set the node's text
        Expand,   // expand the node
        Select,   // select the node (none: no selection)
    };
    Kind kind;
    NodeRef node;
    std::wstring text;

    bool operator==(const TreeEdit&) const = default;
};
using TreeEdits = std::vector<TreeEdit>;

}  // namespace Knobset
