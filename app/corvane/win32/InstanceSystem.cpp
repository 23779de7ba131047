#include "app/corvane/win32/InstanceSystem.h"

namespace AppShell {

bool Win32InstanceSystem::TakeMutex()
{
    mutex_.reset(CreateMutexW(nullptr, FALSE, Instance::kMutexName));
    const DWORD error = GetLastError();
    if (mutex_ && error == ERROR_ALREADY_EXISTS) {
        mutex_.reset();
        return false;
    }
    // A name held by another kind of object, or no mutex at all, cannot say
    // that the program runs: go on rather than never start.
    return true;
}

bool Win32InstanceSystem::FindHandOver()
{
    handOver_ = FindWindowW(Instance::kHandOverClass, nullptr);
    return handOver_ != nullptr;
}

bool Win32InstanceSystem::AskToShow()
{
    DWORD process = 0;
    GetWindowThreadProcessId(handOver_, &process);
    // This process was started by the user and may hand the foreground on.
    AllowSetForegroundWindow(process != 0 ? process : ASFW_ANY);
    return PostMessageW(handOver_, RegisterWindowMessageW(Instance::kShowMessage), 0, 0) != FALSE;
}

}  // namespace AppShell
