#pragma once
// A fixture that builds the catalogue from the tweak sets embedded in this
// test program, as the program does at start: a Tweaker::Manager reading the
// resources TWEAKSDB, SILVER and GOLD, with a configuration folder of its own
// and no user tweak file. Under Wine the real registry's "UserTweaksPath" is
// put back as it was.
#include <memory>
#include <string>
#include <vector>

#include "core/platform/Handles.h"
#include "core/system/OsVersion.h"
#include "core/system/ShellFolders.h"
#include "tests/support/Scratch.h"
#include "tweaker/Manager.h"

namespace Shipped {

class ShippedCatalogueTest : public Testing::ScratchTest {
protected:
    void SetUp() override
    {
        ScratchTest::SetUp();
        folderName_ = L"CorvaneTests-" + ScratchFolder().substr(ScratchFolder().rfind(L'\\') + 1);
#ifndef _WIN32
        Portable().System().SetSpecialFolder(Sys::Csidl::AppData, PathOf(L"AppData"));
#endif
        SaveUserTweaksPath();
        SetUserTweaksPath(L"");
    }
    void TearDown() override
    {
        manager_.reset();
        if (!configFolder_.empty()) {
            (void)Testing::DeleteFolderTree(configFolder_);
        }
        RestoreUserTweaksPath();
        ScratchTest::TearDown();
    }

    // A new catalogue on a system of the given code (every tweak is kept on
    // the newest one).
    Tweaker::Manager& Load(int systemCode = Sys::OsCode::Windows11)
    {
        manager_ = std::make_unique<Tweaker::Manager>();
        manager_->SetSystemCodeOverride(systemCode);
        loaded_ = manager_->LoadCatalogue(folderName_);
        configFolder_ = manager_->ConfigurationFolder();
        return *manager_;
    }

    void SetUserTweaksPath(std::wstring_view path)
    {
        Platform::UniqueKey key;
        bool created = false;
        ASSERT_EQ(0u, Reg().CreateKey(Platform::CurrentUser(), L"Software\\Corvane", key.put(), &created));
        const auto bytes = Testing::StringBytes(path);
        ASSERT_EQ(0u, Reg().SetValue(key.get(), L"UserTweaksPath", Platform::RegType::Sz, bytes.data(), bytes.size()));
    }

    std::unique_ptr<Tweaker::Manager> manager_;
    bool loaded_ = false;

private:
    void SaveUserTweaksPath()
    {
        Platform::UniqueKey key;
        if (Reg().OpenKey(Platform::CurrentUser(), L"Software\\Corvane", Platform::KeyAccess::Read, key.put()) == 0) {
            hadUserPath_ = Reg().QueryValue(key.get(), L"UserTweaksPath", &savedType_, &savedPath_) == 0;
        }
    }
    void RestoreUserTweaksPath()
    {
        Platform::UniqueKey key;
        bool created = false;
        if (Reg().CreateKey(Platform::CurrentUser(), L"Software\\Corvane", key.put(), &created) != 0) {
            return;
        }
        if (hadUserPath_) {
            (void)Reg().SetValue(key.get(), L"UserTweaksPath", savedType_, savedPath_.data(), savedPath_.size());
        } else {
            (void)Reg().DeleteValue(key.get(), L"UserTweaksPath");
        }
    }

    std::wstring folderName_;
    std::wstring configFolder_;
    bool hadUserPath_ = false;
    uint32_t savedType_ = 0;
    std::vector<uint8_t> savedPath_;
};

}  // namespace Shipped
