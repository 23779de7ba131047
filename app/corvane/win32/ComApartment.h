#pragma once
// A single-threaded COM apartment for the life of the object, on the thread
// that made it: the shell's file dialog, ShellExecuteW and shell links need
// one on the user-interface, prompt and update threads.
#include <objbase.h>

namespace AppShell {

class ComApartment {
public:
    ComApartment() : result_(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)) {}
    ~ComApartment()
    {
        if (SUCCEEDED(result_)) {
            CoUninitialize();
        }
    }
    ComApartment(const ComApartment&) = delete;
    ComApartment& operator=(const ComApartment&) = delete;
    bool ok() const { return SUCCEEDED(result_); }

private:
    HRESULT result_;
};

}  // namespace AppShell
