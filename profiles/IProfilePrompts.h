#pragma once
// What the profile store asks and tells the user. The window answers with
// the "Profiles" dialog and message boxes on its prompt thread; the command
// line answers from its arguments and writes to the console. Every call
// blocks until the user has answered.
#include <string>
#include <string_view>

namespace Profiles {

// The texts the window shows, word for word.
namespace PromptText {
inline constexpr std::wstring_view kDialogTitle = L"Profiles";
inline constexpr std::wstring_view kNameOccupiedText = L"Try Another Name";
inline constexpr std::wstring_view kNameOccupiedCaption = L"Name is occupied!";
inline constexpr std::wstring_view kDeleteCaption = L"Profile deleting confirmation.";
inline constexpr std::wstring_view kDeleteText =
    L"Are you sure you want to delete selected profile? \nNOTE: Only user`s profile will be deleted!";
inline constexpr std::wstring_view kSetCompletedCaption = L"Profiles";
inline constexpr std::wstring_view kSetCompletedText = L"Profile setting completed";
}  // namespace PromptText

// The three fields of the "Profiles" dialog.
struct ProfileDetails {
    std::wstring name;
    std::wstring shortDescription;
    std::wstring extendedDescription;
};

class IProfilePrompts {
public:
    virtual ~IProfilePrompts() = default;
    // The "Profiles" dialog with cleared fields: true with the three texts on
    // "OK", false on "Cancel" or when it was closed.
    virtual bool AskProfileDetails(ProfileDetails* details) = 0;
    // "Try Another Name" / "Name is occupied!" with an OK button.
    virtual void ShowNameOccupied(const std::wstring& name) = 0;
    // The delete confirmation (OK and Cancel): true on OK.
    virtual bool ConfirmDelete() = 0;
    // "Profile setting completed" / "Profiles" with an OK button.
    virtual void ShowSetCompleted() = 0;
    // Something did not work and the user must know: a full sentence that
    // names the file or profile concerned (caption "Profiles").
    virtual void ShowFailure(const std::wstring& text) = 0;
};

}  // namespace Profiles
