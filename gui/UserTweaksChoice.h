#pragma once
// The tweak-sets view's two actions on the user's own tweak file, over a
// small seam so that they are tested without windows:
// - "Select file" opens the file dialog at the current file's folder without
//   changing the current directory; only a file confirmed with OK is written
//   to UserTweaksPath (REG_SZ, the full path) under HKCU\Software\Corvane; a
//   cancelled dialog keeps the old path. A failed write is reported; the
//   restart message comes after a successful write.
// - "Run Knobset" starts Knobset.exe from the program's own folder by its
//   full path (never a Knobset.exe of the current directory), with the
//   quoted UserTweaksPath as its argument; a failure to start it is reported.
#include <cstdint>
#include <string>
#include <vector>

namespace GUI {

struct OpenFileRequest {
    std::wstring initialFolder;  // empty: the dialog's own choice
    // Pairs of a description and a pattern: "xml" / "*.xml", "All" / "*.*".
    std::vector<std::pair<std::wstring, std::wstring>> filters;
    bool noChangeDir = true;  // OFN_NOCHANGEDIR
    bool pathMustExist = true;
    bool fileMustExist = true;
};

class IUserFileSeam {
public:
    virtual ~IUserFileSeam() = default;
    // The system's file-open dialog: true with the chosen full path on OK.
    virtual bool AskOpenFile(const OpenFileRequest& request, std::wstring* path) = 0;
    // Starts a program with a command-line argument text (shell verb "open",
    // normal show state): 0 or the system's error.
    virtual uint32_t StartProgram(const std::wstring& program, const std::wstring& arguments,
                                  const std::wstring& folder) = 0;
    virtual bool FileExists(const std::wstring& path) = 0;
    // A message box with an OK button.
    virtual void ShowMessage(const std::wstring& text, const std::wstring& caption) = 0;
};

inline constexpr const wchar_t* kProgramKey = L"Software\\Corvane";
inline constexpr const wchar_t* kUserTweaksValue = L"UserTweaksPath";
inline constexpr const wchar_t* kRestartText = L"To load new tweaks from new user`s file restart program";
inline constexpr const wchar_t* kProgramCaption = L"Corvane";

// The folder of a path, without the trailing backslash; empty when it has none.
std::wstring FolderOfPath(const std::wstring& path);

// "Select file". 0 with `chosen` set when a file was chosen and written;
// 1223 when the dialog was cancelled (nothing written, nothing shown); else
// the error of the registry write, which was reported.
uint32_t SelectUserTweaksFile(const std::wstring& currentPath, IUserFileSeam& seam, std::wstring* chosen,
                              const std::wstring& programKey = kProgramKey);

// "Run Knobset". 0 when it was started; 2 when the program folder holds no
// Knobset.exe; else the system's error. Failures are reported.
uint32_t RunKnobset(const std::wstring& programFolder, const std::wstring& userTweaksPath, IUserFileSeam& seam);

}  // namespace GUI
