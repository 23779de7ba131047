#pragma once
// Knobset's dialog: the tree of the document on the left, the fields of the
// selected node on the right, and the buttons of the commands. All decisions
// are the editor's (Knobset::Editor); the dialog copies the panel into its
// controls, passes what the user does to the editor and applies the tree
// edits it returns.
#include <windows.h>
// After windows.h, which it needs.
#include <commctrl.h>

#include <memory>
#include <string>

#include "utils/Knobset/app/Win32EditorHost.h"
#include "utils/Knobset/document/RenameClock.h"
#include "utils/Knobset/editor/Editor.h"

class CKnobsetDlg {
public:
    // instance holds the dialog template. fileToOpen (may be empty) is opened
    // when the dialog starts. host and clock replace the message boxes, file
    // dialogs and the platform's clock (tests script them); nullptr for the
    // real ones. Both must outlive the dialog.
    CKnobsetDlg(HINSTANCE instance, std::wstring fileToOpen, Knobset::IEditorHost* host = nullptr,
                Knobset::IRenameClock* clock = nullptr);
    ~CKnobsetDlg();
    CKnobsetDlg(const CKnobsetDlg&) = delete;
    CKnobsetDlg& operator=(const CKnobsetDlg&) = delete;

    // Runs the dialog until it closes.
    INT_PTR DoModal(HWND parent = nullptr);
    // Creates it hidden and without a loop of its own, for a caller that
    // drives it with messages (and may show it); it destroys itself when it
    // closes. nullptr when it could not be created.
    HWND Create(HWND parent = nullptr);

    HWND Window() const { return window_; }
    // Read-only view of the editor behind the dialog, for inspection.
    const Knobset::Editor& GetEditor() const { return editor_; }

private:
    static INT_PTR CALLBACK DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    INT_PTR HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);

    void OnInitDialog();
    void OnCommand(int id, int code, HWND control);
    bool OnNotify(const NMHDR* header);
    void OnTreeRightClick();
    void OnFieldChanged(int id, int code);
    void TryClose();
    void End();

    void RunFileCommand(const Knobset::Editor::CommandResult& result);
    void ApplyTreeEdits(const Knobset::TreeEdits& edits);
    void FillPanel();
    void UpdateEnabledStates(const Knobset::Panel& panel);
    void ShowPath();

    HWND Tree() const;
    HTREEITEM TreeItemAt(Knobset::NodeRef node) const;
    Knobset::NodeRef NodeOf(HTREEITEM item) const;
    std::wstring ControlText(int id) const;

    HINSTANCE instance_;
    std::wstring fileToOpen_;
    Win32EditorHost ownHost_;
    Knobset::IEditorHost& host_;
    Knobset::PlatformRenameClock ownClock_;
    Knobset::Editor editor_;
    HWND window_ = nullptr;
    bool modal_ = false;
    bool applyingTreeEdits_ = false;
    bool addTweakPaused_ = false;  // between Add Tweak and its timer
    HICON bigIcon_ = nullptr;
    HICON smallIcon_ = nullptr;
};
