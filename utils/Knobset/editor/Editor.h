#pragma once
// The Knobset editor without its window: the document, its path, the changed
// flag, the selection and which nodes are expanded, and the commands. Each
// command changes the document and returns the edits the tree must make;
// questions, messages and file choices go through IEditorHost.
//
// Nothing typed is ever lost silently: a save that fails shows the path and
// the reason, keeps the changed flag and the old path, and stops the New,
// Open or Close that asked for it.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "core/platform/Platform.h"
#include "utils/Knobset/document/Document.h"
#include "utils/Knobset/document/RenameClock.h"
#include "utils/Knobset/editor/EditorHost.h"
#include "utils/Knobset/editor/Panel.h"
#include "utils/Knobset/editor/TreeEdit.h"

namespace Knobset {

class Editor {
public:
    // host and clock must outlive the editor. The clock names new tweaks and
    // the validator's renames.
    Editor(IEditorHost& host, IRenameClock& clock);

    const Document& GetDocument() const { return document_; }
    const std::wstring& Path() const { return path_; }
    bool IsChanged() const { return changed_; }
    // False until the first New file or Open file: the tree is empty and
    // every field group disabled.
    bool HasDocument() const { return hasDocument_; }
    NodeRef Selection() const { return selection_; }
    int SelectedChoice() const { return selectedChoice_; }
    bool IsExpanded(NodeRef node) const;
    // What the panel shows for the selection.
    Panel CurrentPanel() const;

    // What a file command did. status: 0 when it was done (for Save also
    // when there was nothing to save); 1223 when the user cancelled a
    // question or a file choice; otherwise the error, already shown. edits:
    // for the tree, in order. mistakes: the validator's report when it found
    // any, for the window to show (caption kMistakesCaption) once the tree
    // shows the document.
    struct CommandResult {
        Platform::Status status = 0;
        TreeEdits edits;
        std::wstring mistakes;
    };

    // New, Open and Close first ask whether to save a changed document (Yes,
    // No, Cancel); a cancelled question or a failed save stops them.
    CommandResult New();
    CommandResult Open();
    // Opens a named file without the file dialog (the program's command line).
    CommandResult OpenPath(std::wstring_view path);
    CommandResult Save();
    CommandResult SaveAs();
    // Status 0 when the window may close now.
    CommandResult Close();

    // Structure commands; each does nothing (and returns no edits) unless a
    // node of the right kind is selected.
    TreeEdits AddCategory();
    TreeEdits DeleteCategory();
    TreeEdits AddTweak();
    TreeEdits DeleteTweak();
    TreeEdits AddItem();
    TreeEdits DeleteItem();
    // Choices of the selected key whose editable is "set".
    bool AddChoice();
    bool DeleteChoice();
    void SelectChoice(int index);

    // The tree's selection and expansion, as the user changes them. A node
    // that is not in the document selects nothing.
    void Select(NodeRef node);
    void SetExpanded(NodeRef node, bool expanded);

    // A field changed by the user: the text goes into the selected node and
    // marks the document changed when it differs from what the field showed.
    // Ignored while the panel is being filled. Renaming a category or tweak
    // gives the tree edit.
    TreeEdits SetField(Field field, std::wstring_view text);
    // While one lives, changes notified by the controls are the panel being
    // filled, not the user editing.
    class FillScope {
    public:
        explicit FillScope(Editor& editor) : editor_(editor) { ++editor_.filling_; }
        ~FillScope() { --editor_.filling_; }
        FillScope(const FillScope&) = delete;
        FillScope& operator=(const FillScope&) = delete;

    private:
        Editor& editor_;
    };

    // The selected tweak as XML ("GetTweak xml"); empty without one.
    std::wstring SelectedTweakXml() const;
    // Opens the help file beside the program; says so when the shell cannot.
    // Returns the file it tried.
    std::wstring Help(std::wstring_view programFolder);

private:
    struct Expansion {
        bool expanded = false;
        std::vector<bool> tweaks;
    };

    // Asks to save a changed document; false when the caller must stop.
    bool SaveChangesFirst(CommandResult* result);
    void ValidateAndWrite(const std::wstring& path, CommandResult* result);
    void Validate(CommandResult* result);
    void ShowDocument(Document document, std::wstring path, bool changed, TreeEdits* edits);
    NodeRef LastVisibleIn(int category) const;
    // The string a field edits in the selected node; nullptr when none.
    std::wstring* FieldText(Field field);
    void MarkChanged() { changed_ = true; }

    IEditorHost& host_;
    IRenameClock& clock_;
    Document document_;
    std::wstring path_;
    bool changed_ = false;
    bool hasDocument_ = false;
    NodeRef selection_;
    int selectedChoice_ = -1;
    std::vector<Expansion> expansion_;
    int filling_ = 0;
};

inline constexpr std::wstring_view kWarningCaption = L"Warning!";
inline constexpr std::wstring_view kMistakesCaption = L"Warning! Document has mistakes!";
inline constexpr std::wstring_view kAskSaveText = L"Document was changed. Do you want to save it?";
inline constexpr std::wstring_view kNothingToSaveText = L"There is nothing to save";
inline constexpr std::wstring_view kOpenFailedText = L"File is incorrect and couldn`t be opened!";
inline constexpr std::wstring_view kHelpFailedText = L"Can`t open knhlp.chm";

// The text shown when a save fails: the path and the reason.
std::wstring SaveFailureText(std::wstring_view path, Platform::Status status);
// The help file in a program folder.
std::wstring HelpFilePath(std::wstring_view programFolder);

}  // namespace Knobset
