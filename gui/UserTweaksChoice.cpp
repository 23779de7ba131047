#include "gui/UserTweaksChoice.h"

#include "core/platform/Handles.h"
#include "core/platform/Platform.h"

namespace GUI {

namespace {

constexpr uint32_t kRegSz = Platform::RegType::Sz;
constexpr uint32_t kFileNotFound = 2;
constexpr uint32_t kCancelled = 1223;

// The path as REG_SZ data: UTF-16LE with its terminating zero.
std::vector<uint8_t> StringData(const std::wstring& text)
{
    std::vector<uint8_t> data;
    for (wchar_t c : text) {
        data.push_back(static_cast<uint8_t>(c & 0xFF));
        data.push_back(static_cast<uint8_t>((c >> 8) & 0xFF));
    }
    data.push_back(0);
    data.push_back(0);
    return data;
}

uint32_t WriteUserTweaksPath(const std::wstring& programKey, const std::wstring& path)
{
    auto& registry = Platform::Current().Registry();
    Platform::UniqueKey key;
    bool created = false;
    if (const uint32_t s = registry.CreateKey(Platform::CurrentUser(), programKey, key.put(), &created)) {
        return s;
    }
    const std::vector<uint8_t> data = StringData(path);
    return registry.SetValue(key.get(), kUserTweaksValue, kRegSz, data.data(), data.size());
}

}  // namespace

std::wstring FolderOfPath(const std::wstring& path)
{
    const size_t slash = path.find_last_of(L"\\/");
    return slash == std::wstring::npos ? std::wstring() : path.substr(0, slash);
}

uint32_t SelectUserTweaksFile(const std::wstring& currentPath, IUserFileSeam& seam, std::wstring* chosen,
                              const std::wstring& programKey)
{
    OpenFileRequest request;
    request.initialFolder = FolderOfPath(currentPath);
    request.filters = {{L"xml", L"*.xml"}, {L"All", L"*.*"}};
    std::wstring path;
    if (!seam.AskOpenFile(request, &path) || path.empty()) {
        return kCancelled;
    }
    if (const uint32_t s = WriteUserTweaksPath(programKey, path)) {
        seam.ShowMessage(L"The tweak file " + path + L" could not be remembered: the registry value " +
                             kUserTweaksValue + L" under HKEY_CURRENT_USER\\" + programKey +
                             L" could not be written (error " + std::to_wstring(s) +
                             L"). The program keeps loading the file it loaded before.",
                         kProgramCaption);
        return s;
    }
    if (chosen) {
        *chosen = path;
    }
    seam.ShowMessage(kRestartText, kProgramCaption);
    return 0;
}

uint32_t RunKnobset(const std::wstring& programFolder, const std::wstring& userTweaksPath, IUserFileSeam& seam)
{
    std::wstring folder = programFolder;
    while (!folder.empty() && (folder.back() == L'\\' || folder.back() == L'/')) {
        folder.pop_back();
    }
    const std::wstring program = folder + L"\\Knobset.exe";
    if (folder.empty() || !seam.FileExists(program)) {
        seam.ShowMessage(
            L"Knobset cannot be started: " + program + L" is missing. Install Corvane again to get it back.",
            kProgramCaption);
        return kFileNotFound;
    }
    const std::wstring arguments = userTweaksPath.empty() ? std::wstring() : L"\"" + userTweaksPath + L"\"";
    if (const uint32_t s = seam.StartProgram(program, arguments, folder)) {
        seam.ShowMessage(L"Knobset cannot be started: " + program + L" (error " + std::to_wstring(s) + L").",
                         kProgramCaption);
        return s;
    }
    return 0;
}

}  // namespace GUI
