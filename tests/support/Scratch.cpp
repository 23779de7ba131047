#include "tests/support/Scratch.h"

#include "core/system/Caches.h"

#include <chrono>
#include <cstring>
#include <random>

#include "core/platform/Errors.h"
#include "core/platform/FileIO.h"
#include "core/platform/Handles.h"
#include "core/system/InUseRetry.h"

namespace Testing {

namespace {

#ifdef _WIN32
std::wstring RandomName()
{
    std::random_device device;
    std::mt19937_64 engine(device() ^
                           static_cast<uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count()));
    static const wchar_t kDigits[] = L"0123456789abcdef";
    std::wstring name;
    uint64_t bits = engine();
    for (int i = 0; i < 16; ++i, bits >>= 4) {
        name += kDigits[bits & 15];
    }
    return name;
}
#endif

Platform::Status CreateFolderChain(const std::wstring& path)
{
    // Creates each level after the drive ("C:") or the share ("\\server\share").
    size_t start = path.find(L'\\');
    if (path.rfind(L"\\\\", 0) == 0) {
        start = path.find(L'\\', path.find(L'\\', 2) + 1);
    }
    for (size_t pos = start; pos != std::wstring::npos;) {
        pos = path.find(L'\\', pos + 1);
        const std::wstring level = path.substr(0, pos);
        const Platform::Status s = Platform::Current().Files().CreateDirectory(level);
        if (s != Err::Success && s != Err::AlreadyExists) {
            return s;
        }
    }
    return Err::Success;
}

}  // namespace

SavedValue::SavedValue(Platform::KeyHandle root, std::wstring keyPath, std::wstring name)
    : root_(root), keyPath_(std::move(keyPath)), name_(std::move(name))
{
    Platform::IRegistry& reg = Platform::Current().Registry();
    Platform::UniqueKey key;
    if (reg.OpenKey(root_, keyPath_, Platform::KeyAccess::Read, key.put()) == Err::Success) {
        existed_ = reg.QueryValue(key.get(), name_, &type_, &data_) == Err::Success;
    }
}

SavedValue::~SavedValue()
{
    Platform::IRegistry& reg = Platform::Current().Registry();
    Platform::UniqueKey key;
    bool created = false;
    if (reg.CreateKey(root_, keyPath_, key.put(), &created) != Err::Success) {
        return;
    }
    if (existed_) {
        (void)reg.SetValue(key.get(), name_, type_, data_.data(), data_.size());
    } else {
        (void)reg.DeleteValue(key.get(), name_);
    }
}

Platform::Status SavedValue::SetString(std::wstring_view text)
{
    Platform::IRegistry& reg = Platform::Current().Registry();
    Platform::UniqueKey key;
    bool created = false;
    if (Platform::Status s = reg.CreateKey(root_, keyPath_, key.put(), &created)) {
        return s;
    }
    const std::vector<uint8_t> bytes = StringBytes(text);
    return reg.SetValue(key.get(), name_, Platform::RegType::Sz, bytes.data(), bytes.size());
}

std::vector<uint8_t> StringBytes(std::wstring_view text)
{
    std::vector<uint8_t> bytes((text.size() + 1) * 2, 0);
    for (size_t i = 0; i < text.size(); ++i) {
        bytes[2 * i] = static_cast<uint8_t>(text[i] & 0xFF);
        bytes[2 * i + 1] = static_cast<uint8_t>((text[i] >> 8) & 0xFF);
    }
    return bytes;
}

Platform::Status DeleteTree(Platform::KeyHandle parent, const std::wstring& subKey)
{
    Platform::IRegistry& reg = Platform::Current().Registry();
    {
        Platform::UniqueKey key;
        if (Platform::Status s = reg.OpenKey(parent, subKey, Platform::KeyAccess::Change, key.put())) {
            return s;
        }
        // Deleting changes the indexes, so always take the first one left.
        std::wstring child;
        while (reg.EnumKey(key.get(), 0, &child) == Err::Success) {
            if (Platform::Status s = DeleteTree(key.get(), child)) {
                return s;
            }
        }
    }
    return reg.DeleteKey(parent, subKey);
}

Platform::Status DeleteFolderTree(const std::wstring& path)
{
    Platform::IFileSystem& fs = Platform::Current().Files();
    Platform::FileInfo info;
    if (Platform::Status s = fs.GetFileInfo(path, &info)) {
        return s;
    }
    if ((info.attributes & Platform::FileAttr::ReparsePoint) == 0) {
        std::vector<Platform::FindData> entries;
        {
            Platform::UniqueFind find;
            Platform::FindData data;
            Platform::Status s = fs.FindFirst(path + L"\\*", &data, find.put());
            while (s == Err::Success) {
                if (data.name != L"." && data.name != L"..") {
                    entries.push_back(data);
                }
                s = fs.FindNext(find.get(), &data);
            }
        }
        for (const Platform::FindData& entry : entries) {
            const std::wstring child = path + L"\\" + entry.name;
            if (entry.attributes & Platform::FileAttr::Directory) {
                (void)DeleteFolderTree(child);
            } else {
                (void)fs.SetFileAttributes(child, Platform::FileAttr::Normal);
                // A shortcut just saved may still be open in Wine's menu builder.
                (void)Sys::RetryWhileInUse(nullptr, [&] { return fs.DeleteFile(child); });
            }
        }
    }
    (void)fs.SetFileAttributes(path, Platform::FileAttr::Directory);
    return fs.RemoveDirectory(path);
}

void ScratchTest::SetUp()
{
#ifndef _WIN32
    portable_ = std::make_unique<Platform::Portable::PortablePlatform>();
    previous_ = Platform::Install(portable_.get());
    // The version, shell folders and default-user key are cached per process;
    // each test starts from its own platform, so it starts from empty caches.
    Sys::ResetSystemCachesForTesting();
    keyPath_ = L"Software\\CorvaneTests\\Scratch";
    folder_ = L"C:\\CorvaneTests\\Scratch";
#else
    const std::wstring name = RandomName();
    keyPath_ = L"Software\\CorvaneTests\\" + name;
    std::wstring temp = Os().System().ExpandEnvironmentStrings(L"%TEMP%");
    while (!temp.empty() && temp.back() == L'\\') {
        temp.pop_back();
    }
    ASSERT_FALSE(temp.empty() || temp == L"%TEMP%") << "no TEMP folder";
    folder_ = temp + L"\\CorvaneTests\\" + name;
#endif
    bool created = false;
    ASSERT_EQ(Reg().CreateKey(ScratchRoot(), keyPath_, &key_, &created), Err::Success);
    ASSERT_TRUE(created) << "scratch key already there";
    ASSERT_EQ(CreateFolderChain(folder_), Err::Success);
}

void ScratchTest::TearDown()
{
    if (key_) {
        (void)Reg().CloseKey(key_);
        key_ = nullptr;
    }
#ifndef _WIN32
    Sys::ResetSystemCachesForTesting();
    Platform::Install(previous_);
    portable_.reset();
#else
    if (!keyPath_.empty()) {
        EXPECT_EQ(DeleteTree(ScratchRoot(), keyPath_), Err::Success) << "scratch key left behind";
        // The parent goes too once no other run uses it; failing here is normal.
        (void)Reg().DeleteKey(ScratchRoot(), L"Software\\CorvaneTests");
    }
    if (!folder_.empty()) {
        EXPECT_EQ(DeleteFolderTree(folder_), Err::Success) << "scratch folder left behind";
        (void)Fs().RemoveDirectory(folder_.substr(0, folder_.rfind(L'\\')));
    }
#endif
}

std::wstring ScratchTest::PathOf(std::wstring_view relative) const
{
    std::wstring path = folder_;
    path += L'\\';
    path += relative;
    return path;
}

void ScratchTest::WriteFile(std::wstring_view path, std::string_view bytes)
{
    const size_t slash = path.rfind(L'\\');
    if (slash != std::wstring_view::npos && slash > 2) {
        ASSERT_EQ(CreateFolderChain(std::wstring(path.substr(0, slash))), Err::Success) << "making the test folders";
    }
    ASSERT_EQ(Platform::WriteWholeFile(path, bytes), Err::Success) << "writing a test file";
}

std::string ScratchTest::ReadFile(std::wstring_view path)
{
    std::string bytes;
    const Platform::Status s = Platform::ReadWholeFile(path, &bytes);
    EXPECT_EQ(s, Err::Success) << "reading a test file";
    return bytes;
}

bool ScratchTest::Exists(std::wstring_view path)
{
    Platform::FileInfo info;
    return Fs().GetFileInfo(path, &info) == Err::Success;
}

void ScratchTest::MakeFolder(std::wstring_view path)
{
    ASSERT_EQ(CreateFolderChain(std::wstring(path)), Err::Success);
}

void ScratchTest::WriteValue(std::wstring_view subKey, std::wstring_view name, uint32_t type,
                             const std::vector<uint8_t>& data)
{
    Platform::UniqueKey key;
    bool created = false;
    ASSERT_EQ(Reg().CreateKey(key_, subKey, key.put(), &created), Err::Success);
    ASSERT_EQ(Reg().SetValue(key.get(), name, type, data.data(), data.size()), Err::Success);
}

void ScratchTest::WriteString(std::wstring_view subKey, std::wstring_view name, std::wstring_view text)
{
    WriteValue(subKey, name, Platform::RegType::Sz, StringBytes(text));
}

void ScratchTest::WriteDword(std::wstring_view subKey, std::wstring_view name, uint32_t value)
{
    std::vector<uint8_t> bytes(4);
    std::memcpy(bytes.data(), &value, 4);
    WriteValue(subKey, name, Platform::RegType::Dword, bytes);
}

Platform::Status ScratchTest::ReadValue(std::wstring_view subKey, std::wstring_view name, uint32_t* type,
                                        std::vector<uint8_t>* data)
{
    Platform::UniqueKey key;
    if (Platform::Status s = Reg().OpenKey(key_, subKey, Platform::KeyAccess::Read, key.put())) {
        return s;
    }
    return Reg().QueryValue(key.get(), name, type, data);
}

bool ScratchTest::KeyExists(std::wstring_view subKey)
{
    Platform::UniqueKey key;
    return Reg().OpenKey(key_, subKey, Platform::KeyAccess::Read, key.put()) == Err::Success;
}

}  // namespace Testing
