#pragma once
// The shared fixture of tests that touch the registry or the disk. Natively it
// installs a fresh portable platform per test (drive C:, empty registry);
// on Windows builds it works on the real system under a scratch key
// HKCU\Software\CorvaneTests\<random> and a scratch folder
// %TEMP%\CorvaneTests\<random>, both removed when the test ends. Tests
// written against ScratchKey()/ScratchFolder() run the same on both.
#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "core/platform/Errors.h"
#include "core/platform/Platform.h"

#ifndef _WIN32
#include "core/platform/portable/PortablePlatform.h"
#endif

namespace Testing {

class ScratchTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // The platform of this test (the installed portable one, or the real one).
    static Platform::IPlatform& Os() { return Platform::Current(); }
    static Platform::IRegistry& Reg() { return Platform::Current().Registry(); }
    static Platform::IFileSystem& Fs() { return Platform::Current().Files(); }

    // The scratch key, open with change access, and where it lives:
    // ScratchRoot() + "\" + ScratchKeyPath() ("Software\CorvaneTests\<name>").
    Platform::KeyHandle ScratchKey() const { return key_; }
    static Platform::KeyHandle ScratchRoot() { return Platform::CurrentUser(); }
    const std::wstring& ScratchKeyPath() const { return keyPath_; }
    // The same with the root's short name in front: "HKCU\Software\...".
    std::wstring ScratchKeyFullPath() const { return L"HKCU\\" + keyPath_; }

    // The scratch folder ("C:\CorvaneTests\<name>", no trailing backslash).
    const std::wstring& ScratchFolder() const { return folder_; }
    // ScratchFolder() + "\" + relative.
    std::wstring PathOf(std::wstring_view relative) const;

    // Quick set-up and checks; set-up failures fail the test. WriteFile
    // creates missing folders and replaces an existing file.
    void WriteFile(std::wstring_view path, std::string_view bytes);
    // The file's bytes; "<missing>" style failures are reported as a failure
    // of the test and return an empty string.
    std::string ReadFile(std::wstring_view path);
    bool Exists(std::wstring_view path);
    void MakeFolder(std::wstring_view path);
    // Values under a subkey of the scratch key (created when missing; empty
    // subKey = the scratch key itself).
    void WriteValue(std::wstring_view subKey, std::wstring_view name, uint32_t type, const std::vector<uint8_t>& data);
    void WriteString(std::wstring_view subKey, std::wstring_view name, std::wstring_view text);
    void WriteDword(std::wstring_view subKey, std::wstring_view name, uint32_t value);
    // Error code of the query (2 when the key or value is missing).
    Platform::Status ReadValue(std::wstring_view subKey, std::wstring_view name, uint32_t* type,
                               std::vector<uint8_t>* data);
    bool KeyExists(std::wstring_view subKey);

#ifndef _WIN32
    // The portable platform of this test, for set-up and fault injection.
    // Tests that use it compile only natively (#ifndef _WIN32).
    Platform::Portable::PortablePlatform& Portable()
    {
        return *portable_;
    }
#endif

private:
#ifndef _WIN32
    std::unique_ptr<Platform::Portable::PortablePlatform> portable_;
    Platform::IPlatform* previous_ = nullptr;
#endif
    Platform::KeyHandle key_ = nullptr;
    std::wstring keyPath_;
    std::wstring folder_;
};

// Keeps a registry value as it was: saved when made, put back (or deleted when
// it did not exist) when it ends. For tests that must set a value of the
// program's own keys, which under Wine are real.
class SavedValue {
public:
    SavedValue(Platform::KeyHandle root, std::wstring keyPath, std::wstring name);
    ~SavedValue();
    SavedValue(const SavedValue&) = delete;
    SavedValue& operator=(const SavedValue&) = delete;
    // Sets the value as a string, creating its key when missing.
    [[nodiscard]] Platform::Status SetString(std::wstring_view text);

private:
    Platform::KeyHandle root_;
    std::wstring keyPath_;
    std::wstring name_;
    bool existed_ = false;
    uint32_t type_ = 0;
    std::vector<uint8_t> data_;
};

// Text of a UTF-16 registry string value with its terminating zero.
std::vector<uint8_t> StringBytes(std::wstring_view text);
// Deletes a key and everything below it through the current platform.
Platform::Status DeleteTree(Platform::KeyHandle parent, const std::wstring& subKey);
// Deletes a folder and everything in it, read-only files included; links are
// removed without entering them.
Platform::Status DeleteFolderTree(const std::wstring& path);

}  // namespace Testing
