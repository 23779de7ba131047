#include "app/version/MainWindowTitle.h"

#include "app/version/ProgramVersion.h"

namespace Version {

std::wstring MainWindowTitle(const std::wstring& product, int major, int minor, std::size_t tweakCount)
{
    return product + L" " + std::to_wstring(major) + L"." + std::to_wstring(minor) + L" (" +
           std::to_wstring(tweakCount) + L" tweaks)";
}

std::wstring MainWindowTitle(std::size_t tweakCount)
{
    return MainWindowTitle(kProductName, kMajor, kMinor, tweakCount);
}

}  // namespace Version
