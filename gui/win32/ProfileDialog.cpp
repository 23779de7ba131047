#include "gui/win32/ProfileDialog.h"

#include <string>
#include <vector>

#include "gui/win32/Prompts.h"

namespace GUI {

namespace {

// A dialog template built in memory: DLGTEMPLATE, then per item a
// DLGITEMTEMPLATE, each DWORD-aligned, with their strings as WORD arrays.
class TemplateBuilder {
public:
    void Dialog(DWORD style, short width, short height, const wchar_t* title, WORD pointSize, const wchar_t* font,
                WORD items)
    {
        DLGTEMPLATE t{};
        t.style = style;
        t.cdit = items;
        t.cx = width;
        t.cy = height;
        Raw(&t, sizeof t);
        Word(0);  // no menu
        Word(0);  // the standard class
        Text(title);
        Word(pointSize);
        Text(font);
    }
    void Item(DWORD style, short x, short y, short width, short height, WORD id, WORD atom, const wchar_t* text)
    {
        Align();
        DLGITEMTEMPLATE item{};
        item.style = style | WS_CHILD | WS_VISIBLE;
        item.x = x;
        item.y = y;
        item.cx = width;
        item.cy = height;
        item.id = id;
        Raw(&item, sizeof item);
        Word(0xFFFF);
        Word(atom);
        Text(text);
        Word(0);  // no creation data
    }
    const DLGTEMPLATE* Get() const { return reinterpret_cast<const DLGTEMPLATE*>(words_.data()); }

private:
    void Raw(const void* data, size_t size)
    {
        const auto* w = static_cast<const WORD*>(data);
        words_.insert(words_.end(), w, w + size / sizeof(WORD));
    }
    void Word(WORD w) { words_.push_back(w); }
    void Text(const wchar_t* text)
    {
        for (; *text; ++text) {
            words_.push_back(static_cast<WORD>(*text));
        }
        words_.push_back(0);
    }
    void Align()
    {
        if (words_.size() % 2) {
            words_.push_back(0);
        }
    }
    std::vector<WORD> words_;
};

constexpr WORD kButton = 0x0080;
constexpr WORD kEdit = 0x0081;
constexpr WORD kStatic = 0x0082;

std::wstring TextOf(HWND dialog, int id)
{
    HWND control = GetDlgItem(dialog, id);
    const int length = GetWindowTextLengthW(control);
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    text.resize(static_cast<size_t>(GetWindowTextW(control, text.data(), length + 1)));
    return text;
}

// What the dialog's loop on the prompt thread needs and gives back.
struct DetailsJob {
    HWND centreOn = nullptr;  // the owner on the user-interface thread
    Profiles::ProfileDetails texts;
};

void CentreOn(HWND dialog, HWND owner)
{
    RECT area{};
    if (!owner || !GetWindowRect(owner, &area)) {
        SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0);
    }
    RECT own{};
    GetWindowRect(dialog, &own);
    const int x = area.left + ((area.right - area.left) - (own.right - own.left)) / 2;
    const int y = area.top + ((area.bottom - area.top) - (own.bottom - own.top)) / 2;
    SetWindowPos(dialog, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace

INT_PTR CALLBACK ProfileDialog::Procedure(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
        case WM_INITDIALOG:
            SetWindowLongPtrW(dialog, DWLP_USER, lParam);
            for (int id : {kNameId, kShortId, kExtendedId}) {
                SetDlgItemTextW(dialog, id, L"");
            }
            SendDlgItemMessageW(dialog, kNameId, EM_LIMITTEXT, 260, 0);
            CentreOn(dialog, reinterpret_cast<DetailsJob*>(lParam)->centreOn);
            return TRUE;
        case WM_COMMAND:
            if (LOWORD(wParam) == IDOK) {
                auto* details = &reinterpret_cast<DetailsJob*>(GetWindowLongPtrW(dialog, DWLP_USER))->texts;
                details->name = TextOf(dialog, kNameId);
                details->shortDescription = TextOf(dialog, kShortId);
                details->extendedDescription = TextOf(dialog, kExtendedId);
                EndDialog(dialog, IDOK);
                return TRUE;
            }
            if (LOWORD(wParam) == IDCANCEL) {
                EndDialog(dialog, IDCANCEL);
                return TRUE;
            }
            break;
        default:
            break;
    }
    return FALSE;
}

int ProfileDialog::RunDialog(void* job)
{
    TemplateBuilder t;
    const DWORD multi = ES_MULTILINE | ES_AUTOVSCROLL | ES_WANTRETURN | WS_VSCROLL | WS_BORDER | WS_TABSTOP;
    t.Dialog(DS_SETFONT | DS_MODALFRAME | DS_SHELLFONT | DS_SETFOREGROUND | WS_POPUP | WS_CAPTION | WS_SYSMENU, 186,
             188, Profiles::PromptText::kDialogTitle.data(), 8, L"MS Shell Dlg", 8);
    t.Item(SS_LEFT, 7, 7, 172, 8, 0xFFFF, kStatic, L"Profile name");
    t.Item(ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP, 7, 17, 172, 14, kNameId, kEdit, L"");
    t.Item(SS_LEFT, 7, 37, 172, 8, 0xFFFF, kStatic, L"Short Description");
    t.Item(multi, 7, 47, 172, 36, kShortId, kEdit, L"");
    t.Item(SS_LEFT, 7, 89, 172, 8, 0xFFFF, kStatic, L"Extended description");
    t.Item(multi, 7, 99, 172, 64, kExtendedId, kEdit, L"");
    t.Item(BS_DEFPUSHBUTTON | WS_TABSTOP, 75, 168, 50, 14, IDOK, kButton, L"OK");
    t.Item(BS_PUSHBUTTON | WS_TABSTOP, 129, 168, 50, 14, IDCANCEL, kButton, L"Cancel");
    return static_cast<int>(DialogBoxIndirectParamW(GetModuleHandleW(nullptr), t.Get(), nullptr, &Procedure,
                                                    reinterpret_cast<LPARAM>(job)));
}

bool ProfileDialog::AskProfileDetails(Profiles::ProfileDetails* details)
{
    DetailsJob job;
    job.centreOn = owner_;
    if (RunPrompt(owner_, &RunDialog, &job) != IDOK) {
        return false;
    }
    *details = std::move(job.texts);
    return true;
}

void ProfileDialog::ShowNameOccupied(const std::wstring& /*name*/)
{
    (void)ShowMessageBox(owner_, std::wstring(Profiles::PromptText::kNameOccupiedCaption),
                         std::wstring(Profiles::PromptText::kNameOccupiedText), MB_OK);
}

bool ProfileDialog::ConfirmDelete()
{
    return ShowMessageBox(owner_, std::wstring(Profiles::PromptText::kDeleteCaption),
                          std::wstring(Profiles::PromptText::kDeleteText), MB_OKCANCEL) == IDOK;
}

void ProfileDialog::ShowSetCompleted()
{
    (void)ShowMessageBox(owner_, std::wstring(Profiles::PromptText::kSetCompletedCaption),
                         std::wstring(Profiles::PromptText::kSetCompletedText), MB_OK);
}

void ProfileDialog::ShowFailure(const std::wstring& text)
{
    (void)ShowMessageBox(owner_, std::wstring(Profiles::PromptText::kDialogTitle), text, MB_OK | MB_ICONWARNING);
}

}  // namespace GUI
