#pragma once
// GUI::ProfileDialog: the "Profiles" dialog (profile name 1006, short
// description 1007, extended description 1008, OK 1, Cancel 2; "MS Shell
// Dlg" 8, 186 x 188 dialog units, centred on its owner) and the message
// boxes the profile store asks and tells through. Each is shown on a prompt
// thread (gui/win32/Prompts.h) while the owner keeps painting, disabled.
#include <windows.h>

#include "profiles/IProfilePrompts.h"

namespace GUI {

class ProfileDialog final : public Profiles::IProfilePrompts {
public:
    static constexpr int kNameId = 1006;
    static constexpr int kShortId = 1007;
    static constexpr int kExtendedId = 1008;

    explicit ProfileDialog(HWND owner) : owner_(owner) {}

    // The dialog with cleared fields: true with the three texts on OK.
    bool AskProfileDetails(Profiles::ProfileDetails* details) override;
    void ShowNameOccupied(const std::wstring& name) override;
    bool ConfirmDelete() override;
    void ShowSetCompleted() override;
    void ShowFailure(const std::wstring& text) override;

private:
    static INT_PTR CALLBACK Procedure(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
    // The dialog's loop on the prompt thread; `job` is a DetailsJob.
    static int RunDialog(void* job);

    HWND owner_;
};

}  // namespace GUI
