#include "utils/Knobset/app/KnobsetDlg.h"

#include <commctrl.h>

#include <vector>

#include "utils/Knobset/app/resource.h"

namespace {

using Knobset::Field;

constexpr UINT_PTR kAddTweakTimer = 1;
constexpr UINT kAddTweakPauseMs = 2000;

struct FieldControl {
    Field field;
    int id;
};

constexpr FieldControl kFieldControls[] = {
    {Field::CategoryName, IDC_CATEGORY_NAME},
    {Field::CategoryIcon, IDC_CATEGORY_ICON},
    {Field::TweakName, IDC_TWEAK_NAME},
    {Field::TweakDescription, IDC_TWEAK_DESCRIPTION},
    {Field::TweakDetails, IDC_TWEAK_DETAILS},
    {Field::TweakVersion, IDC_TWEAK_VERSION},
    {Field::TweakMaxVersion, IDC_TWEAK_MAXVERSION},
    {Field::TweakManageableOff, IDC_TWEAK_MANAGEABLE},
    {Field::ItemType, IDC_ITEM_TYPE},
    {Field::KeyAction, IDC_KEY_ACTION},
    {Field::KeyParent, IDC_KEY_PARENT},
    {Field::KeyValueType, IDC_KEY_VALUETYPE},
    {Field::KeyPath, IDC_KEY_PATH},
    {Field::KeyKeyname, IDC_KEY_KEYNAME},
    {Field::KeyValueName, IDC_KEY_VALUENAME},
    {Field::KeyByteLength, IDC_KEY_BYTELEN},
    {Field::KeyValue, IDC_KEY_VALUEVAL},
    {Field::KeyEditable, IDC_KEY_EDITABLE},
    {Field::KeyValueDescr, IDC_KEY_VALUEDESCR},
    {Field::ChoiceMain, IDC_CHOICE_MAIN},
    {Field::ChoiceVal, IDC_CHOICE_VAL},
    {Field::ChoiceAction, IDC_CHOICE_ACTION},
    {Field::ChoiceByteLength, IDC_CHOICE_BYTELEN},
    {Field::ChoiceDescr, IDC_CHOICE_DESCR},
};

const FieldControl* ControlOfId(int id)
{
    for (const FieldControl& c : kFieldControls) {
        if (c.id == id) {
            return &c;
        }
    }
    return nullptr;
}

// The multi-line edit shows line breaks as CR LF; the document keeps LF.
std::wstring WithCrLf(const std::wstring& text)
{
    std::wstring out;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == L'\n' && (i == 0 || text[i - 1] != L'\r')) {
            out += L'\r';
        }
        out += text[i];
    }
    return out;
}

std::wstring WithoutCr(std::wstring text)
{
    std::erase(text, L'\r');
    return text;
}

std::wstring ProgramFolder()
{
    std::vector<wchar_t> path(32768, L'\0');
    const DWORD n = ::GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    std::wstring folder(path.data(), n);
    const size_t slash = folder.find_last_of(L"\\/");
    return slash == std::wstring::npos ? std::wstring() : folder.substr(0, slash);
}

INT_PTR CALLBACK AboutProc(HWND window, UINT message, WPARAM wParam, LPARAM)
{
    if (message == WM_INITDIALOG) {
        return TRUE;
    }
    if (message == WM_COMMAND && (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL)) {
        ::EndDialog(window, LOWORD(wParam));
        return TRUE;
    }
    return FALSE;
}

}  // namespace

CKnobsetDlg::CKnobsetDlg(HINSTANCE instance, std::wstring fileToOpen, Knobset::IEditorHost* host,
                         Knobset::IRenameClock* clock)
    : instance_(instance),
      fileToOpen_(std::move(fileToOpen)),
      host_(host ? *host : ownHost_),
      editor_(host_, clock ? *clock : ownClock_)
{
}

CKnobsetDlg::~CKnobsetDlg()
{
    if (window_) {
        ::DestroyWindow(window_);
    }
    if (bigIcon_) {
        ::DestroyIcon(bigIcon_);
    }
    if (smallIcon_) {
        ::DestroyIcon(smallIcon_);
    }
}

INT_PTR CKnobsetDlg::DoModal(HWND parent)
{
    modal_ = true;
    return ::DialogBoxParamW(instance_, MAKEINTRESOURCEW(IDD_KNOBSET_DIALOG), parent, DialogProc,
                             reinterpret_cast<LPARAM>(this));
}

HWND CKnobsetDlg::Create(HWND parent)
{
    modal_ = false;
    return ::CreateDialogParamW(instance_, MAKEINTRESOURCEW(IDD_KNOBSET_DIALOG), parent, DialogProc,
                                reinterpret_cast<LPARAM>(this));
}

INT_PTR CALLBACK CKnobsetDlg::DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_INITDIALOG) {
        auto* self = reinterpret_cast<CKnobsetDlg*>(lParam);
        ::SetWindowLongPtrW(window, DWLP_USER, lParam);
        self->window_ = window;
    }
    auto* self = reinterpret_cast<CKnobsetDlg*>(::GetWindowLongPtrW(window, DWLP_USER));
    if (!self) {
        return FALSE;
    }
    const INT_PTR handled = self->HandleMessage(message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        self->window_ = nullptr;
        ::SetWindowLongPtrW(window, DWLP_USER, 0);
    }
    return handled;
}

INT_PTR CKnobsetDlg::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
        case WM_INITDIALOG:
            OnInitDialog();
            return TRUE;
        case WM_COMMAND:
            OnCommand(LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HWND>(lParam));
            return TRUE;
        case WM_NOTIFY:
            if (OnNotify(reinterpret_cast<const NMHDR*>(lParam))) {
                ::SetWindowLongPtrW(window_, DWLP_MSGRESULT, TRUE);
                return TRUE;
            }
            return FALSE;
        case WM_SYSCOMMAND:
            if ((wParam & 0xFFF0) == IDM_ABOUTBOX) {
                ::DialogBoxParamW(instance_, MAKEINTRESOURCEW(IDD_ABOUTBOX), window_, AboutProc, 0);
                return TRUE;
            }
            return FALSE;
        case WM_TIMER:
            if (wParam == kAddTweakTimer) {
                ::KillTimer(window_, kAddTweakTimer);
                addTweakPaused_ = false;
                UpdateEnabledStates(editor_.CurrentPanel());
                return TRUE;
            }
            return FALSE;
        case WM_HELP:
            (void)editor_.Help(ProgramFolder());
            return TRUE;
        case WM_CLOSE:
            TryClose();
            return TRUE;
        default:
            return FALSE;
    }
}

void CKnobsetDlg::OnInitDialog()
{
    ownHost_.SetOwner(window_);
    if (HMENU system = ::GetSystemMenu(window_, FALSE)) {
        ::AppendMenuW(system, MF_SEPARATOR, 0, nullptr);
        ::AppendMenuW(system, MF_STRING, IDM_ABOUTBOX, L"&About Knobset...");
    }
    bigIcon_ = static_cast<HICON>(::LoadImageW(instance_, MAKEINTRESOURCEW(IDR_MAINFRAME), IMAGE_ICON,
                                               ::GetSystemMetrics(SM_CXICON), ::GetSystemMetrics(SM_CYICON), 0));
    smallIcon_ = static_cast<HICON>(::LoadImageW(instance_, MAKEINTRESOURCEW(IDR_MAINFRAME), IMAGE_ICON,
                                                 ::GetSystemMetrics(SM_CXSMICON), ::GetSystemMetrics(SM_CYSMICON), 0));
    ::SendMessageW(window_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(bigIcon_));
    ::SendMessageW(window_, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(smallIcon_));

    FillPanel();  // every group disabled until New file or Open file
    ShowPath();
    if (!fileToOpen_.empty()) {
        RunFileCommand(editor_.OpenPath(fileToOpen_));
    }
}

void CKnobsetDlg::OnCommand(int id, int code, HWND control)
{
    switch (id) {
        case IDOK:
        case IDCANCEL:
            TryClose();  // Enter and Esc close as the close box does
            return;
        case IDC_NEW_FILE:
            RunFileCommand(editor_.New());
            return;
        case IDC_OPEN_FILE:
            RunFileCommand(editor_.Open());
            return;
        case IDC_SAVE:
            RunFileCommand(editor_.Save());
            return;
        case IDC_SAVE_AS:
            RunFileCommand(editor_.SaveAs());
            return;
        case IDHELP:
            (void)editor_.Help(ProgramFolder());
            return;
        case IDC_ADD_TWEAK: {
            if (addTweakPaused_) {
                return;  // a second name from the same second must not be made
            }
            const Knobset::TreeEdits edits = editor_.AddTweak();
            if (!edits.empty()) {
                addTweakPaused_ = true;
                ::SetTimer(window_, kAddTweakTimer, kAddTweakPauseMs, nullptr);
            }
            ApplyTreeEdits(edits);
            return;
        }
        case IDC_DELETE_TWEAK:
            ApplyTreeEdits(editor_.DeleteTweak());
            return;
        case IDC_ADD_ITEM:
            ApplyTreeEdits(editor_.AddItem());
            return;
        case IDC_DELETE_ITEM:
            ApplyTreeEdits(editor_.DeleteItem());
            return;
        case IDC_ADD_CATEGORY:
            ApplyTreeEdits(editor_.AddCategory());
            return;
        case IDC_DELETE_CATEGORY:
            ApplyTreeEdits(editor_.DeleteCategory());
            return;
        case IDC_TWEAK_XML:
            if (const std::wstring xml = editor_.SelectedTweakXml(); !xml.empty()) {
                host_.Show(xml, L"GetTweak xml");
            }
            return;
        case IDC_CHOICE_ADD:
            if (editor_.AddChoice()) {
                FillPanel();
            }
            return;
        case IDC_CHOICE_DELETE:
            if (editor_.DeleteChoice()) {
                FillPanel();
            }
            return;
        case IDC_CHOICES:
            if (code == LBN_SELCHANGE) {
                editor_.SelectChoice(static_cast<int>(::SendMessageW(control, LB_GETCURSEL, 0, 0)));
                FillPanel();
            }
            return;
        default:
            OnFieldChanged(id, code);
            return;
    }
}

void CKnobsetDlg::OnFieldChanged(int id, int code)
{
    const FieldControl* control = ControlOfId(id);
    if (!control) {
        return;
    }
    std::wstring text;
    switch (Knobset::KindOf(control->field)) {
        case Knobset::FieldKind::Edit:
            if (code != EN_CHANGE) {
                return;
            }
            text = ControlText(id);
            if (control->field == Field::TweakDetails) {
                text = WithoutCr(std::move(text));
            }
            break;
        case Knobset::FieldKind::List: {
            if (code != CBN_SELCHANGE) {
                return;
            }
            HWND list = ::GetDlgItem(window_, id);
            const LRESULT index = ::SendMessageW(list, CB_GETCURSEL, 0, 0);
            if (index == CB_ERR) {
                return;
            }
            std::vector<wchar_t> buffer(static_cast<size_t>(::SendMessageW(list, CB_GETLBTEXTLEN, index, 0)) + 1);
            ::SendMessageW(list, CB_GETLBTEXT, index, reinterpret_cast<LPARAM>(buffer.data()));
            text = buffer.data();
            break;
        }
        case Knobset::FieldKind::Check:
            if (code != BN_CLICKED) {
                return;
            }
            text = ::IsDlgButtonChecked(window_, id) == BST_CHECKED ? L"1" : L"";
            break;
    }
    ApplyTreeEdits(editor_.SetField(control->field, text));
}

bool CKnobsetDlg::OnNotify(const NMHDR* header)
{
    if (header->idFrom != IDC_TREE) {
        return false;
    }
    switch (header->code) {
        case TVN_SELCHANGEDW:
            if (!applyingTreeEdits_) {
                editor_.Select(NodeOf(reinterpret_cast<const NMTREEVIEWW*>(header)->itemNew.hItem));
                FillPanel();
            }
            return false;
        case TVN_ITEMEXPANDEDW: {
            const auto* tv = reinterpret_cast<const NMTREEVIEWW*>(header);
            editor_.SetExpanded(NodeOf(tv->itemNew.hItem), (tv->action & TVE_EXPAND) != 0);
            return false;
        }
        case NM_RCLICK:
            OnTreeRightClick();
            return true;
        default:
            return false;
    }
}

void CKnobsetDlg::OnTreeRightClick()
{
    if (!editor_.HasDocument()) {
        return;
    }
    POINT cursor{};
    ::GetCursorPos(&cursor);
    TVHITTESTINFO hit{};
    hit.pt = cursor;
    ::ScreenToClient(Tree(), &hit.pt);
    const HTREEITEM item = TreeView_HitTest(Tree(), &hit);
    if (item && (hit.flags & TVHT_ONITEM)) {
        TreeView_SelectItem(Tree(), item);  // selects the node as a left click would
    }
    HMENU menu = ::CreatePopupMenu();
    switch (item && (hit.flags & TVHT_ONITEM) ? NodeOf(item).Depth() : -1) {
        case 0:
            ::AppendMenuW(menu, MF_STRING, IDC_ADD_TWEAK, L"Add new Tweak");
            ::AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
            ::AppendMenuW(menu, MF_STRING, IDC_ADD_CATEGORY, L"Add new Category");
            ::AppendMenuW(menu, MF_STRING, IDC_DELETE_CATEGORY, L"Delete Category");
            break;
        case 1:
            ::AppendMenuW(menu, MF_STRING, IDC_DELETE_TWEAK, L"Delete Tweak");
            ::AppendMenuW(menu, MF_STRING, IDC_ADD_ITEM, L"Add Item");
            break;
        case 2:
            ::AppendMenuW(menu, MF_STRING, IDC_DELETE_ITEM, L"Delete Item");
            break;
        default:
            ::AppendMenuW(menu, MF_STRING, IDC_ADD_CATEGORY, L"Add new Category");
            break;
    }
    const int command =
        ::TrackPopupMenu(menu, TPM_RETURNCMD | TPM_RIGHTBUTTON | TPM_NONOTIFY, cursor.x, cursor.y, 0, window_, nullptr);
    ::DestroyMenu(menu);
    if (command != 0) {
        OnCommand(command, BN_CLICKED, nullptr);
    }
}

void CKnobsetDlg::TryClose()
{
    const Knobset::Editor::CommandResult result = editor_.Close();
    RunFileCommand(result);
    if (result.status == 0) {
        End();
    }
}

void CKnobsetDlg::End()
{
    ::KillTimer(window_, kAddTweakTimer);
    if (modal_) {
        ::EndDialog(window_, IDOK);
    } else {
        ::DestroyWindow(window_);
    }
}

void CKnobsetDlg::RunFileCommand(const Knobset::Editor::CommandResult& result)
{
    ApplyTreeEdits(result.edits);
    ShowPath();
    if (!result.mistakes.empty()) {
        host_.Show(result.mistakes, Knobset::kMistakesCaption);
    }
}

HWND CKnobsetDlg::Tree() const
{
    return ::GetDlgItem(window_, IDC_TREE);
}

HTREEITEM CKnobsetDlg::TreeItemAt(Knobset::NodeRef node) const
{
    HTREEITEM item = nullptr;
    HTREEITEM child = TreeView_GetRoot(Tree());
    for (int index : {node.category, node.tweak, node.item}) {
        if (index < 0) {
            break;
        }
        for (int i = 0; i < index && child; ++i) {
            child = TreeView_GetNextSibling(Tree(), child);
        }
        if (!child) {
            return nullptr;
        }
        item = child;
        child = TreeView_GetChild(Tree(), item);
    }
    return item;
}

Knobset::NodeRef CKnobsetDlg::NodeOf(HTREEITEM item) const
{
    std::vector<int> indexes;
    for (HTREEITEM at = item; at; at = TreeView_GetParent(Tree(), at)) {
        int index = 0;
        for (HTREEITEM before = TreeView_GetPrevSibling(Tree(), at); before;
             before = TreeView_GetPrevSibling(Tree(), before)) {
            ++index;
        }
        indexes.insert(indexes.begin(), index);
    }
    Knobset::NodeRef node;
    if (indexes.size() > 3) {
        return node;  // deeper than an item: not a node of the document
    }
    if (!indexes.empty()) {
        node.category = indexes[0];
    }
    if (indexes.size() > 1) {
        node.tweak = indexes[1];
    }
    if (indexes.size() > 2) {
        node.item = indexes[2];
    }
    return node;
}

void CKnobsetDlg::ApplyTreeEdits(const Knobset::TreeEdits& edits)
{
    applyingTreeEdits_ = true;
    HWND tree = Tree();
    for (const Knobset::TreeEdit& edit : edits) {
        switch (edit.kind) {
            case Knobset::TreeEdit::Kind::Clear:
                TreeView_SelectItem(tree, nullptr);
                TreeView_DeleteAllItems(tree);
                break;
            case Knobset::TreeEdit::Kind::Insert: {
                Knobset::NodeRef parent = edit.node;
                int index = 0;
                switch (edit.node.Depth()) {
                    case 0:
                        parent = {};
                        index = edit.node.category;
                        break;
                    case 1:
                        parent.tweak = -1;
                        index = edit.node.tweak;
                        break;
                    default:
                        parent.item = -1;
                        index = edit.node.item;
                        break;
                }
                Knobset::NodeRef before = edit.node;
                (edit.node.Depth() == 0   ? before.category
                 : edit.node.Depth() == 1 ? before.tweak
                                          : before.item) = index - 1;
                TVINSERTSTRUCTW insert{};
                insert.hParent = parent.IsNone() ? TVI_ROOT : TreeItemAt(parent);
                insert.hInsertAfter = index == 0 ? TVI_FIRST : TreeItemAt(before);
                insert.item.mask = TVIF_TEXT;
                std::wstring text = edit.text;
                insert.item.pszText = text.data();
                TreeView_InsertItem(tree, &insert);
                break;
            }
            case Knobset::TreeEdit::Kind::Remove:
                if (HTREEITEM item = TreeItemAt(edit.node)) {
                    TreeView_DeleteItem(tree, item);
                }
                break;
            case Knobset::TreeEdit::Kind::SetText:
                if (HTREEITEM item = TreeItemAt(edit.node)) {
                    std::wstring text = edit.text;
                    TVITEMW tv{};
                    tv.mask = TVIF_TEXT;
                    tv.hItem = item;
                    tv.pszText = text.data();
                    TreeView_SetItem(tree, &tv);
                }
                break;
            case Knobset::TreeEdit::Kind::Expand:
                if (HTREEITEM item = TreeItemAt(edit.node)) {
                    TreeView_Expand(tree, item, TVE_EXPAND);
                }
                break;
            case Knobset::TreeEdit::Kind::Select:
                TreeView_SelectItem(tree, edit.node.IsNone() ? nullptr : TreeItemAt(edit.node));
                break;
        }
    }
    applyingTreeEdits_ = false;
    // A field edit that renames a node needs no refill; anything else may
    // have moved the selection or changed what is enabled.
    if (edits.size() == 1 && edits[0].kind == Knobset::TreeEdit::Kind::SetText) {
        return;
    }
    if (edits.empty()) {
        UpdateEnabledStates(editor_.CurrentPanel());
        return;
    }
    FillPanel();
}

std::wstring CKnobsetDlg::ControlText(int id) const
{
    HWND control = ::GetDlgItem(window_, id);
    std::vector<wchar_t> buffer(static_cast<size_t>(::GetWindowTextLengthW(control)) + 1);
    ::GetWindowTextW(control, buffer.data(), static_cast<int>(buffer.size()));
    return buffer.data();
}

void CKnobsetDlg::FillPanel()
{
    const Knobset::Panel panel = editor_.CurrentPanel();
    Knobset::Editor::FillScope filling(editor_);
    for (const FieldControl& c : kFieldControls) {
        const Knobset::FieldView& view = panel[c.field];
        HWND control = ::GetDlgItem(window_, c.id);
        switch (Knobset::KindOf(c.field)) {
            case Knobset::FieldKind::Edit: {
                const std::wstring text = c.field == Field::TweakDetails ? WithCrLf(view.text) : view.text;
                if (ControlText(c.id) != text) {
                    ::SetWindowTextW(control, text.c_str());
                }
                break;
            }
            case Knobset::FieldKind::List: {
                ::SendMessageW(control, CB_RESETCONTENT, 0, 0);
                int selected = -1;
                for (size_t i = 0; i < view.entries.size(); ++i) {
                    ::SendMessageW(control, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(view.entries[i].c_str()));
                    if (view.entries[i] == view.text) {
                        selected = static_cast<int>(i);
                    }
                }
                ::SendMessageW(control, CB_SETCURSEL, static_cast<WPARAM>(selected), 0);
                break;
            }
            case Knobset::FieldKind::Check:
                ::CheckDlgButton(window_, c.id, view.text == L"1" ? BST_CHECKED : BST_UNCHECKED);
                break;
        }
    }
    HWND choices = ::GetDlgItem(window_, IDC_CHOICES);
    ::SendMessageW(choices, LB_RESETCONTENT, 0, 0);
    for (const std::wstring& entry : panel.choices) {
        ::SendMessageW(choices, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(entry.c_str()));
    }
    ::SendMessageW(choices, LB_SETCURSEL, static_cast<WPARAM>(panel.selectedChoice), 0);
    UpdateEnabledStates(panel);
}

void CKnobsetDlg::UpdateEnabledStates(const Knobset::Panel& panel)
{
    for (const FieldControl& c : kFieldControls) {
        ::EnableWindow(::GetDlgItem(window_, c.id), panel[c.field].enabled);
    }
    const struct {
        int id;
        bool enabled;
    } others[] = {
        {IDC_GROUP_CATEGORY, panel[Field::CategoryName].enabled},
        {IDC_GROUP_TWEAK, panel[Field::TweakName].enabled},
        {IDC_GROUP_ITEM, !panel[Field::ItemType].text.empty()},
        {IDC_GROUP_CHOICES, panel.choicesEnabled},
        {IDC_CHOICES, panel.choicesEnabled},
        {IDC_CHOICE_ADD, panel.choicesEnabled},
        {IDC_CHOICE_DELETE, panel.deleteChoiceEnabled},
        {IDC_ADD_TWEAK, panel.addTweakEnabled && !addTweakPaused_},
        {IDC_DELETE_TWEAK, panel.deleteTweakEnabled},
        {IDC_ADD_ITEM, panel.addItemEnabled},
        {IDC_DELETE_ITEM, panel.deleteItemEnabled},
        {IDC_TWEAK_XML, panel.tweakXmlEnabled},
    };
    for (const auto& o : others) {
        ::EnableWindow(::GetDlgItem(window_, o.id), o.enabled);
    }
}

void CKnobsetDlg::ShowPath()
{
    ::SetDlgItemTextW(window_, IDC_STATUS, editor_.Path().c_str());
}
