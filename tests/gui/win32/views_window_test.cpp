// The backups, profiles and tweak-sets views and the "Profiles" dialog in
// real windows under a display: each view in a test window over a scratch
// backup folder or profile list, clicked with the mouse; what it drew, its
// state, and the commands it posted to its parent are checked.
#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <thread>

#include "core/system/ValueText.h"
#include "gui/Commands.h"
#include "gui/aqua/win32/Frame.h"
#include "gui/aqua/win32/Gdiplus.h"
#include "gui/win32/BackupsView.h"
#include "gui/win32/CollectionsView.h"
#include "gui/win32/ProfileDialog.h"
#include "gui/win32/ProfilesView.h"
#include "gui/win32/UserFileSeam.h"
#include "remover/DeleteRegValue.h"
#include "tests/gui/ValueJournalFixture.h"
#include "tests/support/win32/MessagePump.h"
#include "tests/support/win32/TestHost.h"

namespace GUI {
namespace {

using namespace JournalTesting;
using Testing::ClickAt;

bool PumpUntil(const std::function<bool()>& done, int ms = 3000)
{
    return Testing::PumpMessagesUntil(done, std::chrono::milliseconds(ms));
}

// The centre of a list rectangle (at 100%) as the view shows it.
POINT Centre(const GUI::Rect& r, const Aqua::Scaler& s)
{
    return {s.Scale(r.left + r.width / 2), s.Scale(r.top + r.height / 2)};
}

// Posts to the host as the main window's poster does.
class HostPoster final : public ICommandPoster {
public:
    explicit HostPoster(HWND host) : host_(host) {}
    void PostCommand(int command, intptr_t parameter) override
    {
        PostMessageW(host_, WM_COMMAND, MAKEWPARAM(command, 0), parameter);
    }

private:
    HWND host_;
};

// When CORVANE_VIEW_SHOTS names a folder, the view as it is drawn now is
// saved there as NAME.png, for people to look at (not part of the checks).
void SaveShot(Control& view, const wchar_t* name)
{
    wchar_t folder[MAX_PATH] = {};
    if (GetEnvironmentVariableW(L"CORVANE_VIEW_SHOTS", folder, MAX_PATH) == 0) {
        return;
    }
    std::unique_ptr<Aqua::OffscreenBitmap> shot = view.Snapshot();
    if (!shot || !shot->valid()) {
        return;
    }
    const CLSID png = {0x557CF406, 0x1A04, 0x11D3, {0x9A, 0x73, 0x00, 0x00, 0xF8, 0x1E, 0xF3, 0x2E}};
    Gdiplus::Bitmap image(static_cast<HBITMAP>(GetCurrentObject(shot->dc(), OBJ_BITMAP)), nullptr);
    (void)image.Save((std::wstring(folder) + L"\\" + name + L".png").c_str(), &png, nullptr);
}

bool Drew(const Aqua::DrawList& list, const std::wstring& part)
{
    for (const Aqua::TextOp& text : list.Texts()) {
        if (text.text.find(part) != std::wstring::npos) {
            return true;
        }
    }
    return false;
}

class ViewsWindowTest : public ValueJournalTest {
protected:
    static void SetUpTestSuite() { suite_ = new Testing::HostSuite(L"Corvane views", 40, 40, 460, 420); }
    static void TearDownTestSuite() { delete suite_; }
    void SetUp() override
    {
        JournalTest::SetUp();
        ASSERT_NE(host()->hwnd(), nullptr);
        host()->Clear();
        SetForegroundWindow(host()->hwnd());
    }
    static Testing::HostWindow* host() { return suite_->host(); }
    static Aqua::Toolkit& toolkit() { return suite_->toolkit(); }
    static Aqua::Rect Area() { return {0, 0, 440, 360}; }
    std::vector<int> Commands() const { return host()->CommandIds(); }

    static inline Testing::HostSuite* suite_ = nullptr;
};

TEST_F(ViewsWindowTest, BackupsViewOpensAPointRestoresItTruthfullyAndDeletes)
{
    PutJournal(L"1700000100.arch", ValueJournal(L"a", 1));
    Bytes damaged = ValueJournal(L"b", 2);
    damaged[kHeaderLength + 12] ^= 0x5A;
    PutJournal(L"1700000200.arch", damaged);

    RTI::Reference<BackupsView> view(new BackupsView(toolkit()));
    ASSERT_TRUE(view->CreateView(host()->hwnd(), Area()));
    view->Show(BackupFolder());
    ASSERT_TRUE(PumpUntil([&] { return view->paints() > 0; }));
    const Aqua::Scaler s = view->scaler();
    ASSERT_EQ(view->list().Rows().size(), 2u);
    EXPECT_EQ(view->list().Rows()[0].name, L"1700000200.arch") << "newest first";
    EXPECT_TRUE(Drew(view->lastPaint(), L"1700000100.arch"));
    EXPECT_EQ(view->lastPaint().ImagesNamed(L"AQUA.MENU.BACKUPODD").size(), 1u);
    SaveShot(*view, L"backups");

    // Open the older point and see its change, then go back.
    POINT p = Centre(view->list().Rows()[1].link, s);
    ClickAt(view->hwnd(), p.x, p.y);
    ASSERT_EQ(view->list().OpenRow(), 1);
    ASSERT_TRUE(PumpUntil([&] { return Drew(view->lastPaint(), L"comes back: REG_DWORD 1 (0x00000001)"); }));
    EXPECT_TRUE(Drew(view->lastPaint(), L"HKCU\\" + KeyPath(L"a") + L", value \"v\""));
    SaveShot(*view, L"backups-point");
    ClickAt(view->hwnd(), s.Scale(40), s.Scale(32));
    EXPECT_EQ(view->list().OpenRow(), -1);
    EXPECT_TRUE(Commands().empty()) << "opening a point sends nothing";

    // Tick both; each click sends 5024.
    for (int row : {0, 1}) {
        p = Centre(view->list().Rows()[static_cast<size_t>(row)].checkBox, s);
        ClickAt(view->hwnd(), p.x, p.y);
    }
    EXPECT_EQ(Commands(), (std::vector<int>{Command::PointChecked, Command::PointChecked}));
    EXPECT_EQ(view->lastPaint().ImagesNamed(L"XP.CHECKBOX")[0].source.y, 64) << "frame 4: ticked";
    SaveShot(*view, L"backups-ticked");

    // Restore on the worker: the end arrives as 5017 with kFinished.
    host()->commands.clear();
    HostPoster poster(host()->hwnd());
    ASSERT_TRUE(view->StartRestore(nullptr, &poster));
    ASSERT_TRUE(PumpUntil([&] { return !host()->commands.empty(); }));
    EXPECT_EQ(Commands()[0], Command::RestorePoints);
    EXPECT_EQ(host()->commands[0].second, RestoreJob::kFinished);
    const RestoreMessage message = view->EndRestore();
    EXPECT_EQ(message.message.text.rfind(L"Restoring is incomplete.", 0), 0u);
    EXPECT_NE(message.message.text.find(L"(1700000200.arch): "), std::wstring::npos);
    EXPECT_NE(message.message.text.find(L"(1700000100.arch): all 1 change undone."), std::wstring::npos);
    EXPECT_TRUE(message.offerRestart);
    EXPECT_EQ(DwordOf(L"a"), 1u) << "the registry is back";

    // Delete the damaged point.
    p = Centre(view->list().Rows()[1].checkBox, s);
    ClickAt(view->hwnd(), p.x, p.y);  // untick the older one
    EXPECT_TRUE(DeleteQuestion(view->Points()).text.starts_with(L"Delete 1 backup point? "));
    EXPECT_TRUE(view->DeleteTicked().text.empty());
    ASSERT_EQ(view->list().Rows().size(), 1u);
    EXPECT_EQ(view->list().Rows()[0].name, L"1700000100.arch");
}

class NoPrompts final : public Profiles::IProfilePrompts {
public:
    bool AskProfileDetails(Profiles::ProfileDetails*) override { return false; }
    void ShowNameOccupied(const std::wstring&) override {}
    bool ConfirmDelete() override { return false; }
    void ShowSetCompleted() override {}
    void ShowFailure(const std::wstring&) override {}
};

TEST_F(ViewsWindowTest, ProfilesViewTicksOneProfileAndAsksForItsDetails)
{
    Tweaker::Manager manager;
    const std::wstring& scratch = ScratchFolder();
    manager.SetFolderName(L"CorvaneTests\\" + scratch.substr(scratch.rfind(L'\\') + 1));
    NoPrompts prompts;
    Profiles::ProfileStore store(manager, prompts, L"");
    store.MakeDefaultProfile();
    store.LoadBuiltInProfiles(
        "<Profiles><Profile n=\"Quiet\"><d>Less noise.</d><dex>Everything that beeps is off.</dex></Profile>"
        "<Profile n=\"Plain\"><d>Short.</d></Profile></Profiles>");

    RTI::Reference<ProfilesView> view(new ProfilesView(toolkit()));
    RTI::Reference<ProfileInfo> info(new ProfileInfo(toolkit()));
    ASSERT_TRUE(view->CreateView(host()->hwnd(), Area()));
    ASSERT_TRUE(info->Create(host()->hwnd(), Area()));
    view->Show(store);
    ASSERT_TRUE(PumpUntil([&] { return view->paints() > 0; }));
    const Aqua::Scaler s = view->scaler();
    ASSERT_EQ(view->list().Rows().size(), 3u);
    EXPECT_TRUE(Drew(view->lastPaint(), L"Quiet"));
    SaveShot(*view, L"profiles");

    for (int row : {1, 2, 2}) {
        const POINT p = Centre(view->list().Rows()[static_cast<size_t>(row)].checkBox, s);
        ClickAt(view->hwnd(), p.x, p.y);
    }
    EXPECT_EQ(Commands(),
              (std::vector<int>{Command::ProfileChecked, Command::ProfileChecked, Command::NoProfileChecked}));
    EXPECT_EQ(view->list().TickedRow(), -1);

    host()->commands.clear();
    const POINT more = Centre(view->list().Rows()[1].more, s);
    ClickAt(view->hwnd(), more.x, more.y);
    ASSERT_EQ(host()->commands.size(), 1u);
    EXPECT_EQ(Commands()[0], Command::ShowProfile);
    EXPECT_EQ(host()->commands[0].second, 1);
    ShowWindow(view->hwnd(), SW_HIDE);
    info->Show(*view->ProfileAt(static_cast<int>(host()->commands[0].second)));
    ASSERT_TRUE(PumpUntil([&] { return info->paints() > 0; }));
    EXPECT_TRUE(Drew(info->lastPaint(), L"Quiet\n\nEverything that beeps is off."));
    SaveShot(*info, L"profile-info");
    ShowWindow(info->hwnd(), SW_HIDE);
}

// Records the program started; the file system answers whether it exists.
class RecordingSeam final : public IUserFileSeam {
public:
    bool AskOpenFile(const OpenFileRequest&, std::wstring*) override { return false; }
    uint32_t StartProgram(const std::wstring& program, const std::wstring& arguments, const std::wstring&) override
    {
        started = program + L" " + arguments;
        return 0;
    }
    bool FileExists(const std::wstring& path) override { return Win32UserFileSeam(nullptr).FileExists(path); }
    void ShowMessage(const std::wstring& text, const std::wstring&) override { shown.push_back(text); }
    std::wstring started;
    std::vector<std::wstring> shown;
};

TEST_F(ViewsWindowTest, TweakSetsViewRunsTheProgramFoldersKnobsetAndAsksForSelectFile)
{
    const std::wstring programFolder = PathOf(L"Program");
    WriteFile(programFolder + L"\\Knobset.exe", "stand-in");
    wchar_t current[MAX_PATH] = {};
    GetCurrentDirectoryW(MAX_PATH, current);
    WriteFile(PathOf(L"Here\\Knobset.exe"), "decoy");
    SetCurrentDirectoryW(PathOf(L"Here").c_str());

    RecordingSeam seam;
    RTI::Reference<CollectionsView> view(new CollectionsView(toolkit()));
    ASSERT_TRUE(view->CreateView(host()->hwnd(), Area()));
    ASSERT_EQ(view->LoadText("<Collections><Set n=\"Free\" i=\"AQUA.MENU.COLLECTIONFREE\"><d>Built in.</d></Set>"
                             "<Set n=\"Custom\" i=\"AQUA.MENU.COLLECTIONCUSTOM\"><d>Yours.</d></Set></Collections>",
                             programFolder, L"C:\\My tweaks.xml", &seam),
              0u);
    view->Show();
    ASSERT_TRUE(PumpUntil([&] { return view->paints() > 0; }));
    const Aqua::Scaler s = view->scaler();
    EXPECT_TRUE(Drew(view->lastPaint(), L"Run Knobset"));
    EXPECT_EQ(view->lastPaint().ImagesNamed(L"AQUA.MENU.COLLECTIONCUSTOM").size(), 1u);
    SaveShot(*view, L"tweak-sets");

    POINT p = Centre(view->list().Rows()[1].runKnobset, s);
    ClickAt(view->hwnd(), p.x, p.y);
    EXPECT_EQ(seam.started, programFolder + L"\\Knobset.exe \"C:\\My tweaks.xml\"");
    EXPECT_TRUE(seam.shown.empty());
    p = Centre(view->list().Rows()[1].selectFile, s);
    ClickAt(view->hwnd(), p.x, p.y);
    EXPECT_EQ(Commands(), std::vector<int>{Command::UserTweaksPath});
    SetCurrentDirectoryW(current);
    ShowWindow(view->hwnd(), SW_HIDE);
}

// Answers the first window of `title` that appears: `act` runs on a helper
// thread while the calling thread runs the dialog.
std::thread Answer(const wchar_t* title, std::function<void(HWND)> act)
{
    return std::thread([title, act] {
        for (int i = 0; i < 300; ++i) {
            HWND dialog = FindWindowW(L"#32770", title);
            // Found as soon as it is created: wait until it is shown, after WM_INITDIALOG.
            if (dialog && IsWindowVisible(dialog)) {
                Sleep(200);
                act(dialog);
                return;
            }
            Sleep(20);
        }
    });
}

TEST_F(ViewsWindowTest, TheProfilesDialogHasItsFieldsAndGivesTheirTextsOnOk)
{
    ProfileDialog dialog(host()->hwnd());
    bool fieldsThere = false;
    std::thread helper = Answer(L"Profiles", [&](HWND d) {
        fieldsThere = GetDlgItem(d, 1006) && GetDlgItem(d, 1007) && GetDlgItem(d, 1008) && GetDlgItem(d, IDOK) &&
                      GetDlgItem(d, IDCANCEL);
        SetDlgItemTextW(d, 1006, L"Evening");
        SetDlgItemTextW(d, 1007, L"Dim");
        SetDlgItemTextW(d, 1008, L"Line one\r\nLine two");
        PostMessageW(d, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(d, IDOK)));
    });
    Profiles::ProfileDetails details;
    const bool ok = dialog.AskProfileDetails(&details);
    helper.join();
    EXPECT_TRUE(fieldsThere);
    ASSERT_TRUE(ok);
    EXPECT_EQ(details.name, L"Evening");
    EXPECT_EQ(details.shortDescription, L"Dim");
    EXPECT_EQ(details.extendedDescription, L"Line one\r\nLine two");

    helper = Answer(L"Profiles", [](HWND d) { PostMessageW(d, WM_COMMAND, IDCANCEL, 0); });
    Profiles::ProfileDetails cancelled{L"kept", L"", L""};
    EXPECT_FALSE(dialog.AskProfileDetails(&cancelled));
    helper.join();
    EXPECT_EQ(cancelled.name, L"kept");
}

// Saving through the dialog and deleting after the confirmation, as the
// profiles view shows them.
TEST_F(ViewsWindowTest, AProfileIsSavedThroughTheDialogAndDeletedAfterTheQuestion)
{
    Tweaker::Manager manager;
    const std::wstring& scratch = ScratchFolder();
    manager.SetFolderName(L"CorvaneTests\\" + scratch.substr(scratch.rfind(L'\\') + 1));
    ProfileDialog prompts(host()->hwnd());
    Profiles::ProfileStore store(manager, prompts, L"");
    store.MakeDefaultProfile();
    RTI::Reference<ProfilesView> view(new ProfilesView(toolkit()));
    ASSERT_TRUE(view->CreateView(host()->hwnd(), Area()));

    std::thread helper = Answer(L"Profiles", [](HWND d) {
        SetDlgItemTextW(d, ProfileDialog::kNameId, L"Evening");
        SetDlgItemTextW(d, ProfileDialog::kShortId, L"Dim");
        PostMessageW(d, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(d, IDOK)));
    });
    std::wstring saved;
    EXPECT_EQ(store.SaveCurrentAsProfile(&saved), 0u);
    helper.join();
    view->Show(store);
    ASSERT_EQ(view->list().Rows().size(), 2u);
    EXPECT_EQ(view->list().Rows()[1].profile->name, L"Evening");
    EXPECT_EQ(view->list().Rows()[1].profile->shortDescription, L"Dim");
    ASSERT_TRUE(PumpUntil([&] { return Drew(view->lastPaint(), L"Evening"); }));

    const POINT p = Centre(view->list().Rows()[1].checkBox, view->scaler());
    ClickAt(view->hwnd(), p.x, p.y);
    ASSERT_EQ(view->list().TickedRow(), 1);
    helper = Answer(L"Profile deleting confirmation.", [](HWND d) { PostMessageW(d, WM_COMMAND, IDOK, 0); });
    EXPECT_EQ(store.DeleteCheckedProfiles(), 0u);
    helper.join();
    view->Show(store);
    EXPECT_EQ(view->list().Rows().size(), 1u);
    EXPECT_FALSE(Exists(saved));
    ShowWindow(view->hwnd(), SW_HIDE);
}

TEST_F(ViewsWindowTest, SelectFileThenCancelKeepsUserTweaksPathAndTheCurrentFolder)
{
    WriteString(L"", L"UserTweaksPath", L"C:\\Old\\tweaks.xml");
    wchar_t before[MAX_PATH] = {};
    GetCurrentDirectoryW(MAX_PATH, before);
    Win32UserFileSeam seam(host()->hwnd());
    std::thread helper([] {
        for (int i = 0; i < 400; ++i) {
            if (HWND dialog = FindWindowW(L"#32770", nullptr)) {
                Sleep(200);
                PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
                return;
            }
            Sleep(25);
        }
    });
    std::wstring chosen;
    EXPECT_EQ(SelectUserTweaksFile(L"C:\\Old\\tweaks.xml", seam, &chosen, ScratchKeyPath()), 1223u);
    helper.join();
    uint32_t type = 0;
    std::vector<uint8_t> data;
    ASSERT_EQ(ReadValue(L"", L"UserTweaksPath", &type, &data), 0u);
    EXPECT_EQ(Sys::StringFromRegistryData(data), L"C:\\Old\\tweaks.xml");
    wchar_t after[MAX_PATH] = {};
    GetCurrentDirectoryW(MAX_PATH, after);
    EXPECT_EQ(std::wstring(after), std::wstring(before));
}

}  // namespace
}  // namespace GUI
