#pragma once
// A machine for the startup manager's tests, over the portable platform: the
// user's and the common Startup folder, AppData, and helpers that write the
// registry through any root and view.
#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <vector>

#include "core/platform/Errors.h"
#include "core/platform/Handles.h"
#include "startup/Catalogue.h"
#include "startup/Snapshot.h"
#include "tests/support/Scratch.h"

namespace StartUpTesting {

inline const std::wstring kUserStartup =
    L"C:\\Users\\me\\AppData\\Roaming\\Microsoft\\Windows\\Start Menu\\Programs\\Startup";
inline const std::wstring kCommonStartup = L"C:\\ProgramData\\Microsoft\\Windows\\Start Menu\\Programs\\Startup";
inline const std::wstring kAppData = L"C:\\Users\\me\\AppData\\Roaming";
inline const std::wstring kRun = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";

class StartupTest : public Testing::ScratchTest {
protected:
    void SetUp() override
    {
        ScratchTest::SetUp();
        Portable().System().SetSpecialFolder(7, kUserStartup);
        Portable().System().SetSpecialFolder(24, kCommonStartup);
        Portable().System().SetSpecialFolder(26, kAppData);
        MakeFolder(kUserStartup);
        MakeFolder(kCommonStartup);
    }

    void Set(Platform::KeyHandle root, std::wstring_view path, std::wstring_view name, uint32_t type,
             const std::vector<uint8_t>& data, Platform::RegistryView view = Platform::RegistryView::Native)
    {
        Platform::UniqueKey key;
        bool created = false;
        ASSERT_EQ(Reg().CreateKeyInView(root, path, view, key.put(), &created), Err::Success);
        ASSERT_EQ(Reg().SetValue(key.get(), name, type, data.data(), data.size()), Err::Success);
    }
    void SetText(Platform::KeyHandle root, std::wstring_view path, std::wstring_view name, std::wstring_view text,
                 Platform::RegistryView view = Platform::RegistryView::Native)
    {
        Set(root, path, name, Platform::RegType::Sz, Testing::StringBytes(text), view);
    }
    // 0 with the value's type and data, or the error of reading it.
    Platform::Status Get(Platform::KeyHandle root, std::wstring_view path, std::wstring_view name, uint32_t* type,
                         std::vector<uint8_t>* data)
    {
        Platform::UniqueKey key;
        if (Platform::Status s = Reg().OpenKey(root, path, Platform::KeyAccess::Read, key.put())) {
            return s;
        }
        return Reg().QueryValue(key.get(), name, type, data);
    }
    bool HasKey(Platform::KeyHandle root, std::wstring_view path)
    {
        Platform::UniqueKey key;
        return Reg().OpenKey(root, path, Platform::KeyAccess::Read, key.put()) == Err::Success;
    }

    StartUp::CategoryList Catalogue()
    {
        StartUp::CategoryList roots;
        StartUp::BuildCatalogue(roots);
        return roots;
    }
    // The listed entry at a location text; fails the test when there is none.
    StartUp::ListedEntry Entry(const StartUp::CategoryList& roots, std::wstring_view location)
    {
        for (const StartUp::ListedEntry& listed : StartUp::ListEntries(roots)) {
            if (listed.entry->Location() == location) {
                return listed;
            }
        }
        ADD_FAILURE() << "not listed: " << std::string(location.begin(), location.end());
        return {};
    }
    StartUp::SnapshotPlace Place() const { return {kAppData + L"\\Corvane\\startup"}; }
    // Disables the entry at location through a freshly loaded snapshot.
    Platform::Status Disable(std::wstring_view location)
    {
        const StartUp::CategoryList roots = Catalogue();
        const StartUp::ListedEntry listed = Entry(roots, location);
        if (!listed.entry) {
            return Err::FileNotFound;
        }
        StartUp::Snapshot snapshot(Place());
        if (Platform::Status s = snapshot.Load()) {
            return s;
        }
        return snapshot.Remove(listed.category, *listed.owner, *listed.entry);
    }
    // Restores the saved entry at location; *message gets any refusal.
    Platform::Status Restore(std::wstring_view location, std::wstring* message = nullptr)
    {
        const StartUp::CategoryList roots = Catalogue();
        StartUp::Snapshot snapshot(Place());
        if (Platform::Status s = snapshot.Load()) {
            return s;
        }
        for (size_t i = 0; i < snapshot.Records().size(); ++i) {
            const auto& entry = snapshot.Records()[i].entry;
            if (entry && entry->Location() == location) {
                std::wstring ignored;
                return snapshot.Restore(roots, i, message ? message : &ignored);
            }
        }
        return Err::FileNotFound;
    }
    size_t SavedCount()
    {
        StartUp::Snapshot snapshot(Place());
        EXPECT_EQ(snapshot.Load(), Err::Success);
        return snapshot.Records().size();
    }
};

inline std::vector<uint8_t> Bytes(std::string_view text)
{
    return std::vector<uint8_t>(text.begin(), text.end());
}

}  // namespace StartUpTesting
