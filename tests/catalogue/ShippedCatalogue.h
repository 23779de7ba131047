#pragma once
// A fixture that builds the catalogue from the tweak sets embedded in this
// test program, as the program does at start: a Tweaker::Manager reading the
// resources TWEAKSDB, SILVER and GOLD, with a configuration folder of its own
// and no user tweak file. Under Wine the real registry's "UserTweaksPath" is
// put back as it was.
#include <memory>
#include <optional>
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
        userTweaksPath_.emplace(Platform::CurrentUser(), L"Software\\Corvane", L"UserTweaksPath");
        SetUserTweaksPath(L"");
    }
    void TearDown() override
    {
        manager_.reset();
        if (!configFolder_.empty()) {
            (void)Testing::DeleteFolderTree(configFolder_);
        }
        userTweaksPath_.reset();
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

    void SetUserTweaksPath(std::wstring_view path) { ASSERT_EQ(0u, userTweaksPath_->SetString(path)); }

    std::unique_ptr<Tweaker::Manager> manager_;
    bool loaded_ = false;

private:
    std::wstring folderName_;
    std::wstring configFolder_;
    // The real registry under Wine holds the program's own settings key:
    // the user's tweak path is put back as it was.
    std::optional<Testing::SavedValue> userTweaksPath_;
};

}  // namespace Shipped
