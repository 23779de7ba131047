// The tweak-sets view's logic: the sets of the COLLECTIONS text, the links
// of the "Custom" set, "Select file" (a cancel keeps UserTweaksPath; only OK
// writes it, as REG_SZ, and the restart message follows the write; a failed
// write is told) and "Run Knobset" (the program's own Knobset.exe by full
// path, on the quoted tweak file; a failure is told).
#include <gtest/gtest.h>

#include "core/system/ValueText.h"
#include "gui/CollectionsList.h"
#include "gui/UserTweaksChoice.h"
#include "tests/support/Scratch.h"

namespace {

using GUI::CollectionAction;
using GUI::CollectionsList;

constexpr char kCollections[] = R"(<Collections>
  <Set n="Free" i="AQUA.MENU.COLLECTIONFREE"><d>Built in.</d></Set>
  <Set n="custom" i="X"><d>Not the user's set: the name is compared exactly.</d></Set>
  <Set n="Custom" i="AQUA.MENU.COLLECTIONCUSTOM"><d>Your own.</d></Set>
</Collections>)";

TEST(TweakSetsView, TheSetsComeFromTheResourceAndOnlyCustomHasLinks)
{
    CollectionsList list;
    ASSERT_EQ(list.Load(kCollections), 0u);
    list.Show(417);
    ASSERT_EQ(list.Rows().size(), 3u);
    EXPECT_EQ(list.Rows()[0].description, L"Built in.");
    EXPECT_EQ(list.Rows()[2].icon, L"AQUA.MENU.COLLECTIONCUSTOM");
    EXPECT_EQ(list.Rows()[2].iconArea, (GUI::Rect{13, 270 + 18, 39, 33}));
    EXPECT_FALSE(list.Rows()[1].custom);
    ASSERT_TRUE(list.Rows()[2].custom);
    const GUI::Rect run = list.Rows()[2].runKnobset;
    const GUI::Rect select = list.Rows()[2].selectFile;
    const struct {
        int x, y;
        CollectionAction action;
    } clicks[] = {
        {run.left + 1, run.top + 1, CollectionAction::RunKnobset},
        {select.left + 1, select.top + 1, CollectionAction::SelectFile},
        {run.left + 1, run.top + 1 - 135, CollectionAction::None},  // the same place on the "custom" row
        {5, 5, CollectionAction::None},
    };
    for (const auto& c : clicks) {
        EXPECT_EQ(list.Click(c.x, c.y), c.action) << c.y;
    }

    EXPECT_NE(list.Load("<Collections><Set"), 0u);
    EXPECT_TRUE(list.Rows().empty());
    EXPECT_FALSE(list.Problem().empty());
}

// Answers the dialog as told and records what was asked and shown.
class FakeSeam final : public GUI::IUserFileSeam {
public:
    bool AskOpenFile(const GUI::OpenFileRequest& r, std::wstring* path) override
    {
        request = r;
        events.push_back(L"dialog");
        if (answer.empty()) {
            return false;
        }
        *path = answer;
        return true;
    }
    uint32_t StartProgram(const std::wstring& program, const std::wstring& arguments,
                          const std::wstring& folder) override
    {
        events.push_back(L"start " + program + L" " + arguments + L" in " + folder);
        return startError;
    }
    bool FileExists(const std::wstring& path) override { return path == existing; }
    void ShowMessage(const std::wstring& text, const std::wstring& caption) override
    {
        events.push_back(caption + L": " + text + (valueAtMessage ? L" [after " + valueAtMessage() + L"]" : L""));
    }

    std::wstring answer;
    std::wstring existing;
    uint32_t startError = 0;
    std::function<std::wstring()> valueAtMessage;
    GUI::OpenFileRequest request;
    std::vector<std::wstring> events;
};

class UserTweaksChoice : public Testing::ScratchTest {
protected:
    std::wstring StoredPath()
    {
        uint32_t type = 0;
        std::vector<uint8_t> data;
        if (ReadValue(L"", L"UserTweaksPath", &type, &data) != 0) {
            return L"<none>";
        }
        return (type == Platform::RegType::Sz ? L"" : L"<not REG_SZ>") + Sys::StringFromRegistryData(data);
    }
};

TEST_F(UserTweaksChoice, OnlyAFileConfirmedWithOkIsWrittenAndTheRestartMessageFollowsTheWrite)
{
    const std::wstring old = L"C:\\Users\\Ann\\AppData\\Roaming\\Corvane\\tweaks.xml";
    const std::wstring chosen = L"D:\\Shared\\Team tweaks.xml";
    const struct {
        const char* what;
        std::wstring answer;
        uint32_t status;
        std::wstring stored;
        std::vector<std::wstring> events;
    } cases[] = {
        {"cancel", L"", 1223, old, {L"dialog"}},
        {"ok",
         chosen,
         0,
         L"D:\\Shared\\Team tweaks.xml",
         {L"dialog", L"Corvane: To load new tweaks from new user`s file restart program [after " + chosen + L"]"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        WriteString(L"", L"UserTweaksPath", old);
        FakeSeam seam;
        seam.answer = c.answer;
        seam.valueAtMessage = [&] { return StoredPath(); };
        std::wstring result;
        EXPECT_EQ(GUI::SelectUserTweaksFile(old, seam, &result, ScratchKeyPath()), c.status);
        EXPECT_EQ(StoredPath(), c.stored);
        EXPECT_EQ(seam.events, c.events);
        EXPECT_EQ(seam.request.initialFolder, L"C:\\Users\\Ann\\AppData\\Roaming\\Corvane");
        EXPECT_TRUE(seam.request.noChangeDir);
        EXPECT_TRUE(seam.request.fileMustExist);
        ASSERT_EQ(seam.request.filters.size(), 2u);
        EXPECT_EQ(seam.request.filters[0], (std::pair<std::wstring, std::wstring>{L"xml", L"*.xml"}));
    }
}

#ifndef _WIN32
TEST_F(UserTweaksChoice, AFailedWriteIsToldAndNoRestartIsAskedFor)
{
    Portable().Faults().FailWhen(Platform::Portable::Operation::SetValue, L"HKCU\\" + ScratchKeyPath(),
                                 Err::AccessDenied);
    FakeSeam seam;
    seam.answer = L"D:\\t.xml";
    EXPECT_EQ(GUI::SelectUserTweaksFile(L"", seam, nullptr, ScratchKeyPath()), Err::AccessDenied);
    ASSERT_EQ(seam.events.size(), 2u);
    EXPECT_EQ(seam.events[1],
              L"Corvane: The tweak file D:\\t.xml could not be remembered: the registry value UserTweaksPath under "
              L"HKEY_CURRENT_USER\\" +
                  ScratchKeyPath() +
                  L" could not be written (error 5). The program keeps loading the file it loaded before.");
    EXPECT_EQ(seam.request.initialFolder, L"");
}
#endif

TEST(RunKnobset, StartsTheProgramFoldersKnobsetOnTheQuotedTweakFile)
{
    const std::wstring exe = L"C:\\Program Files\\Corvane\\Knobset.exe";
    const struct {
        const char* what;
        std::wstring folder;
        std::wstring existing;
        uint32_t startError;
        uint32_t status;
        std::wstring event;
    } cases[] = {
        {"found", L"C:\\Program Files\\Corvane\\", exe, 0, 0,
         L"start " + exe + L" \"D:\\My tweaks.xml\" in C:\\Program Files\\Corvane"},
        {"missing: never a Knobset.exe of the current directory", L"C:\\Program Files\\Corvane", L"Knobset.exe", 0, 2,
         L"Corvane: Knobset cannot be started: " + exe + L" is missing. Install Corvane again to get it back."},
        {"the system refuses", L"C:\\Program Files\\Corvane", exe, 5, 5,
         L"start " + exe + L" \"D:\\My tweaks.xml\" in C:\\Program Files\\Corvane"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        FakeSeam seam;
        seam.existing = c.existing;
        seam.startError = c.startError;
        EXPECT_EQ(GUI::RunKnobset(c.folder, L"D:\\My tweaks.xml", seam), c.status);
        ASSERT_FALSE(seam.events.empty());
        EXPECT_EQ(seam.events[0], c.event);
        if (c.startError) {
            ASSERT_EQ(seam.events.size(), 2u);
            EXPECT_EQ(seam.events[1], L"Corvane: Knobset cannot be started: " + exe + L" (error 5).");
        }
    }
}

}  // namespace
