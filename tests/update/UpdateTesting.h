#pragma once
// A prompt that records what the check asked of the user.
#include <string>
#include <vector>

#include "app/update/UpdateCheck.h"

namespace Testing {

class RecordingPrompt final : public Update::IPrompt {
public:
    bool ConfirmOpenDownloadPage() override
    {
        ++confirmations;
        return agree;
    }
    bool OpenPage(const std::wstring& url) override
    {
        opened.push_back(url);
        return openWorks;
    }
    void RequestExit() override { ++exits; }

    bool agree = true;
    bool openWorks = true;
    int confirmations = 0;
    std::vector<std::wstring> opened;
    int exits = 0;
};

// MD5 of "abc", the content of the tests' program file.
inline constexpr wchar_t kAbcDigest[] = L"900150983cd24fb0d6963f7d28e17f72";

}  // namespace Testing
