#pragma once
// Helpers of the editor tests: a host that answers from a script and records
// what it was asked, and a tree that applies the editor's edits the way the
// dialog's tree control does, so that tests can compare it with the document.
#include <gtest/gtest.h>

#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "utils/Knobset/editor/Editor.h"

namespace KnobsetTesting {

class ScriptedHost final : public Knobset::IEditorHost {
public:
    Knobset::Answer Ask(std::wstring_view text, std::wstring_view caption) override
    {
        questions.push_back(std::wstring(caption) + L": " + std::wstring(text));
        if (answers.empty()) {
            ADD_FAILURE() << "an unexpected question";
            return Knobset::Answer::Cancel;
        }
        const Knobset::Answer a = answers.front();
        answers.pop_front();
        return a;
    }
    void Show(std::wstring_view text, std::wstring_view caption) override
    {
        messages.push_back(std::wstring(caption) + L": " + std::wstring(text));
    }
    std::optional<std::wstring> ChooseFileToOpen() override { return openChoice; }
    std::optional<std::wstring> ChooseFileToSave(std::wstring_view) override { return saveChoice; }
    bool OpenWithShell(std::wstring_view path) override
    {
        opened.emplace_back(path);
        return shellWorks;
    }

    std::deque<Knobset::Answer> answers;
    std::optional<std::wstring> openChoice;
    std::optional<std::wstring> saveChoice;
    bool shellWorks = true;
    std::vector<std::wstring> questions;
    std::vector<std::wstring> messages;
    std::vector<std::wstring> opened;
};

// A tree control's model: text, expansion and children per node.
class FakeTree {
public:
    struct Node {
        std::wstring text;
        bool expanded = false;
        std::vector<Node> children;
    };

    void Apply(const Knobset::TreeEdits& edits)
    {
        for (const Knobset::TreeEdit& e : edits) {
            Apply(e);
        }
    }

    // The texts, one line per node, indented by depth.
    std::wstring Text() const
    {
        std::wstring out;
        Write(roots, 0, &out);
        return out;
    }
    // The same made from a document.
    static std::wstring TextOf(const Knobset::Document& document)
    {
        std::wstring out;
        for (const Knobset::Category& c : document.categories) {
            out += c.name + L"\n";
            for (const Knobset::Tweak& t : c.tweaks) {
                out += L"  " + t.name + L"\n";
                for (const Knobset::Item& i : t.items) {
                    out += std::wstring(L"    ") + Knobset::ItemElementName(i.kind) + L"\n";
                }
            }
        }
        return out;
    }

    Node* Find(Knobset::NodeRef node)
    {
        std::vector<Node>* level = &roots;
        Node* found = nullptr;
        for (int index : {node.category, node.tweak, node.item}) {
            if (index < 0) {
                break;
            }
            if (static_cast<size_t>(index) >= level->size()) {
                return nullptr;
            }
            found = &(*level)[static_cast<size_t>(index)];
            level = &found->children;
        }
        return found;
    }

    std::vector<Node> roots;
    Knobset::NodeRef selection;

private:
    void Apply(const Knobset::TreeEdit& e)
    {
        using Kind = Knobset::TreeEdit::Kind;
        if (e.kind == Kind::Clear) {
            roots.clear();
            selection = {};
            return;
        }
        if (e.kind == Kind::Select) {
            ASSERT_TRUE(e.node.IsNone() || Find(e.node)) << "selecting a missing node";
            selection = e.node;
            return;
        }
        Knobset::NodeRef parent = e.node;
        int index = 0;
        switch (e.node.Depth()) {
            case 0:
                index = e.node.category;
                parent = {};
                break;
            case 1:
                index = e.node.tweak;
                parent.tweak = -1;
                break;
            default:
                index = e.node.item;
                parent.item = -1;
                break;
        }
        std::vector<Node>* siblings = parent.IsNone() ? &roots : &Find(parent)->children;
        ASSERT_TRUE(index >= 0 && static_cast<size_t>(index) <= siblings->size());
        switch (e.kind) {
            case Kind::Insert:
                siblings->insert(siblings->begin() + index, Node{e.text, false, {}});
                break;
            case Kind::Remove:
                ASSERT_LT(static_cast<size_t>(index), siblings->size());
                ASSERT_NE(selection, e.node) << "removing the selected node";
                siblings->erase(siblings->begin() + index);
                break;
            case Kind::SetText:
                ASSERT_LT(static_cast<size_t>(index), siblings->size());
                (*siblings)[static_cast<size_t>(index)].text = e.text;
                break;
            case Kind::Expand:
                ASSERT_LT(static_cast<size_t>(index), siblings->size());
                (*siblings)[static_cast<size_t>(index)].expanded = true;
                break;
            default:
                break;
        }
    }

    static void Write(const std::vector<Node>& nodes, int depth, std::wstring* out)
    {
        for (const Node& n : nodes) {
            out->append(static_cast<size_t>(depth) * 2, L' ');
            *out += n.text + L"\n";
            Write(n.children, depth + 1, out);
        }
    }
};

}  // namespace KnobsetTesting
