#pragma once
// Windows' own enable/disable record of startup entries, which Task Manager
// keeps under Explorer\StartupApproved: a binary value per entry whose first
// byte is 02 or 06 for enabled and 03 or 07 for disabled.
#include <string_view>

#include "core/platform/Platform.h"
#include "startup/IEntry.h"

namespace StartUp {

// The record lists of StartupApproved.
enum class ApprovedList {
    Run,            // the Run key of the system's view
    Run32,          // the Run key of the 32-bit view
    StartupFolder,  // the files of the Startup folders, by file name
};

// The state recorded under root for one name. Enabled when nothing is
// recorded (Windows then starts the entry); Unknown for a record that is not
// a binary value beginning with one of the four bytes.
ApprovedState ReadApproved(Platform::KeyHandle root, ApprovedList list, std::wstring_view name);

// The same for many names: the key is opened once.
class ApprovedReader {
public:
    ApprovedReader(Platform::KeyHandle root, ApprovedList list);
    ~ApprovedReader();
    ApprovedReader(const ApprovedReader&) = delete;
    ApprovedReader& operator=(const ApprovedReader&) = delete;
    ApprovedState Read(std::wstring_view name) const;

private:
    Platform::KeyHandle key_ = nullptr;
};

// The key the records of a list live in, below HKCU or HKLM.
std::wstring ApprovedKeyPath(ApprovedList list);

}  // namespace StartUp
