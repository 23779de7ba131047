#pragma once
// What the editor asks of the window around it: questions, messages, file
// choices and the shell. The dialog implements it with message boxes and the
// common file dialogs; tests script the answers.
#include <optional>
#include <string>
#include <string_view>

namespace Knobset {

enum class Answer { Yes, No, Cancel };

class IEditorHost {
public:
    virtual ~IEditorHost() = default;
    // A question with Yes, No and Cancel.
    virtual Answer Ask(std::wstring_view text, std::wstring_view caption) = 0;
    // A message with OK.
    virtual void Show(std::wstring_view text, std::wstring_view caption) = 0;
    // The open-file and save-file dialogs ("xml Files (*.xml)", extension
    // xml); nothing when the user cancels.
    virtual std::optional<std::wstring> ChooseFileToOpen() = 0;
    virtual std::optional<std::wstring> ChooseFileToSave(std::wstring_view currentPath) = 0;
    // Opens a file with the shell verb "open"; false when the shell fails.
    virtual bool OpenWithShell(std::wstring_view path) = 0;
};

}  // namespace Knobset
