// Shortcut items: creation in a special folder with its sub-folders, what is
// recorded, and that a user's existing link is kept.
#include <gtest/gtest.h>

#include "core/system/ShellFolders.h"
#include "core/system/Shortcuts.h"
#include "tests/tweaker/TweakerFixture.h"

namespace {

using namespace TweakerTesting;

class ShortcutItemTest : public TweakerTest {
protected:
    void SetUp() override
    {
        TweakerTest::SetUp();
#ifndef _WIN32
        MakeFolder(PathOf(L"appdata"));
        Portable().System().SetSpecialFolder(Sys::Csidl::AppData, PathOf(L"appdata"));
#endif
        appData_ = Sys::GetShellFolder(Sys::Csidl::AppData);
        ASSERT_FALSE(appData_.empty());
        // A top folder of this test's own, so that restoring can remove it.
        top_ = L"CorvaneLinkTest" + ScratchFolder().substr(ScratchFolder().rfind(L'\\') + 1);
    }
    void TearDown() override
    {
        (void)Testing::DeleteFolderTree(appData_ + L"\\" + top_);
        TweakerTest::TearDown();
    }
    RTI::Reference<Tweaker::Shortcut> Item(const std::wstring& subFolder)
    {
        return LoadItem<Tweaker::Shortcut>(L"<Shortcut shcname=\"Tool.lnk\" shcpath=\"" + subFolder +
                                           L"\" shcfoldername=\"CSIDL_APPDATA\" targetname=\"tool.exe\" targetpath=\"" +
                                           PathOf(L"bin") + L"\"/>");
    }

    std::wstring appData_;
    std::wstring top_;
};

TEST_F(ShortcutItemTest, CreatesTheLinkInItsSubFolderRecordingEveryNewLevel)
{
    auto item = Item(top_ + L"\\Sub");
    EXPECT_FALSE(item->Analyse());
    bool applied = false;
    const std::wstring journal = ApplyJournalled(*item, &applied);
    EXPECT_TRUE(applied);
    const std::wstring link = appData_ + L"\\" + top_ + L"\\Sub\\Tool.lnk";
    EXPECT_EQ(item->LinkPath(), link);
    EXPECT_TRUE(Exists(link));
    EXPECT_TRUE(item->Analyse());
    std::wstring target;
    EXPECT_TRUE(Sys::ReadShortcutTarget(link, &target));
    EXPECT_EQ(target, PathOf(L"bin\\tool.exe"));
    EXPECT_EQ(BlocksOf(journal, {appData_}),
              (std::vector<std::wstring>{L"CreateFile ~\\" + top_, L"CreateFile ~\\" + top_ + L"\\Sub",
                                         L"CreateFile ~\\" + top_ + L"\\Sub\\Tool.lnk"}));
    EXPECT_EQ(Replay(journal), 0u);
    EXPECT_FALSE(Exists(appData_ + L"\\" + top_));
}

TEST_F(ShortcutItemTest, AnExistingLinkIsInEffectAndKept)
{
    const std::wstring link = appData_ + L"\\" + top_ + L"\\Tool.lnk";
    WriteFile(link, "the user's own link");
    auto item = Item(top_);
    EXPECT_TRUE(item->Analyse());
    bool applied = false;
    EXPECT_TRUE(ApplyJournalled(*item, &applied).empty());
    EXPECT_TRUE(applied);
    EXPECT_EQ(ReadFile(link), "the user's own link");
}

}  // namespace
