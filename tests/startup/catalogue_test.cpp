// The catalogue of autostart locations: every category lists what a prepared
// machine holds there, and only that.
#ifndef _WIN32
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <tuple>

#include "startup/Approved.h"
#include "startup/Categories.h"
#include "tests/startup/StartupFixture.h"

namespace {

using namespace StartUpTesting;
using Platform::ClassesRoot;
using Platform::CurrentUser;
using Platform::LocalMachine;
using Platform::RegistryView;
using Platform::RegType::Sz;

const std::wstring kCv = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion";
const std::wstring kNt = L"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion";
const std::string kProgram = "MZ" + std::string(62, 'p');

class CatalogueTest : public StartupTest {
protected:
    void PrepareMachine()
    {
        WriteFile(kUserStartup + L"\\app.exe", kProgram);
        WriteFile(kUserStartup + L"\\note.txt", "text");
        WriteFile(kUserStartup + L"\\empty.exe", "");
        WriteFile(kUserStartup + L"\\big.dat", std::string(3 * 1024 * 1024, 'b'));
        WriteFile(kUserStartup + L"\\desktop.ini", "[.ShellClassInfo]");
        WriteFile(kUserStartup + L"\\hidden.exe", kProgram);
        ASSERT_EQ(Fs().SetFileAttributes(kUserStartup + L"\\hidden.exe",
                                         Platform::FileAttr::Hidden | Platform::FileAttr::System),
                  Err::Success);
        WriteFile(kUserStartup + L"\\sub\\deep.exe", kProgram);
        WriteFile(L"C:\\elsewhere\\far.exe", kProgram);
        ASSERT_EQ(Portable().Files().CreateJunction(kUserStartup + L"\\junction", L"C:\\elsewhere"), Err::Success);
        // A shortcut whose first bytes say "program": the extension decides.
        Platform::ShellLink link;
        link.target = L"C:\\tools\\tool.exe";
        link.arguments = L"/q";
        ASSERT_EQ(Os().System().SaveShellLink(kUserStartup + L"\\tool.lnk", link), Err::Success);
        WriteFile(kCommonStartup + L"\\common.exe", kProgram);

        SetText(CurrentUser(), kCv + L"\\Run", L"UserApp", L"\"C:\\Program Files\\App\\app.exe\" /min");
        SetText(LocalMachine(), kCv + L"\\Run", L"MachineApp", L"machine.exe");
        SetText(LocalMachine(), kCv + L"\\Run", L"OldApp", L"old.exe", RegistryView::Wow32);
        SetText(CurrentUser(), kCv + L"\\RunOnce", L"Once", L"once.exe");
        SetText(LocalMachine(), kCv + L"\\RunOnce", L"MachineOnce", L"once.exe");
        SetText(LocalMachine(), kCv + L"\\RunOnce", L"OldOnce", L"once.exe", RegistryView::Wow32);
        SetText(CurrentUser(), kCv + L"\\RunOnceEx", L"Title", L"Setting up");
        SetText(CurrentUser(), kCv + L"\\RunOnceEx", L"Flags", L"0");
        SetText(CurrentUser(), kCv + L"\\RunOnceEx\\0001", L"", L"Step one");
        SetText(CurrentUser(), kCv + L"\\RunOnceEx\\0001", L"step", L"setup.exe");
        SetText(LocalMachine(), kCv + L"\\RunOnceEx\\0002", L"mstep", L"setup.exe");
        SetText(CurrentUser(), kCv + L"\\Policies\\Explorer\\Run", L"Policy", L"policy.exe");
        SetText(LocalMachine(), kCv + L"\\Policies\\Explorer\\Run", L"1", L"policy.exe");
        ASSERT_TRUE(MakeKey(LocalMachine(), kCv + L"\\Explorer\\Browser Helper Objects\\{B0}"));
        SetText(CurrentUser(), L"SOFTWARE\\Microsoft\\Internet Explorer\\Toolbar", L"{T0}", L"");
        SetText(CurrentUser(), L"SOFTWARE\\Microsoft\\Internet Explorer\\Toolbar\\WebBrowser", L"{T1}", L"");
        ASSERT_TRUE(MakeKey(LocalMachine(), L"SOFTWARE\\Microsoft\\Internet Explorer\\Extensions\\{E0}"));
        ASSERT_TRUE(MakeKey(CurrentUser(), L"SOFTWARE\\Microsoft\\Internet Explorer\\Explorer Bars\\{X0}"));
        SetText(ClassesRoot(), L"*\\shellex\\ContextMenuHandlers\\Named", L"", L"{M1}");
        ASSERT_TRUE(MakeKey(ClassesRoot(), L"*\\shellex\\ContextMenuHandlers\\{M2}"));
        ASSERT_TRUE(MakeKey(ClassesRoot(), L"Directory\\Background\\shellex\\ContextMenuHandlers\\{M3}"));
        ASSERT_TRUE(MakeKey(ClassesRoot(), L"Folder\\shellex\\ColumnHandlers\\{C0}"));
        SetText(LocalMachine(), kCv + L"\\Explorer\\ShellExecuteHooks", L"{H0}", L"");
        SetText(LocalMachine(), kCv + L"\\Shell Extensions\\Approved", L"{A0}", L"an extension");
        SetText(ClassesRoot(), L"PROTOCOLS\\Filter\\text/xml", L"CLSID", L"{F0}");
        SetText(ClassesRoot(), L"PROTOCOLS\\Handler\\foo", L"CLSID", L"{P0}");
        SetText(LocalMachine(), kCv + L"\\ShellServiceObjectDelayLoad", L"Loader", L"{S0}");
        SetText(CurrentUser(), L"Software\\Microsoft\\Internet Explorer\\URLSearchHooks", L"{U0}", L"");
        SetText(LocalMachine(), kCv + L"\\Explorer\\SharedTaskScheduler", L"{Q0}", L"scheduler");
        SetText(LocalMachine(), kNt + L"\\Winlogon", L"Shell", L"explorer.exe");
        SetText(LocalMachine(), kNt + L"\\Winlogon", L"Userinit", L"userinit.exe,");
        SetText(LocalMachine(), kNt + L"\\Winlogon", L"Other", L"not listed");
        SetText(LocalMachine(), kNt + L"\\Windows", L"AppInit_DLLs", L"C:\\hook.dll");
        SetText(LocalMachine(), kNt + L"\\Windows", L"AppInit_DLLs", L"C:\\hook32.dll", RegistryView::Wow32);
        SetText(LocalMachine(), L"SOFTWARE\\Microsoft\\Active Setup\\Installed Components\\{AS}", L"StubPath",
                L"stub.exe");
        SetText(LocalMachine(), kNt + L"\\Image File Execution Options\\bad.exe", L"Debugger", L"spy.exe");
        ASSERT_TRUE(MakeKey(LocalMachine(), kNt + L"\\Image File Execution Options\\good.exe"));
    }
    bool MakeKey(Platform::KeyHandle root, const std::wstring& path)
    {
        Platform::UniqueKey key;
        bool created = false;
        return Reg().CreateKey(root, path, key.put(), &created) == Err::Success;
    }
};

TEST_F(CatalogueTest, EveryCategoryListsWhatTheMachineHoldsThere)
{
    PrepareMachine();
    using Row = std::tuple<std::wstring, std::wstring, bool>;  // category, location, read-only
    const std::wstring wowCv = L"SOFTWARE\\WOW6432Node\\Microsoft\\Windows\\CurrentVersion";
    const std::set<Row> expected = {
        {L"Autostart folders / User autostart", kUserStartup + L"\\app.exe", false},
        {L"Autostart folders / User autostart", kUserStartup + L"\\note.txt", false},
        {L"Autostart folders / User autostart", kUserStartup + L"\\empty.exe", false},
        {L"Autostart folders / User autostart", kUserStartup + L"\\big.dat", false},
        {L"Autostart folders / User autostart", kUserStartup + L"\\tool.lnk", false},
        {L"Autostart folders / Machine autostart", kCommonStartup + L"\\common.exe", false},
        {L"Registry 'Run' keys / User 'Run' key", L"HKCU\\" + kCv + L"\\Run, UserApp", false},
        {L"Registry 'Run' keys / Machine 'Run' key", L"HKLM\\" + kCv + L"\\Run, MachineApp", false},
        {L"Registry 'Run' keys / Machine 'Run' key (32-bit)", L"HKLM\\" + wowCv + L"\\Run, OldApp", false},
        {L"Registry 'Run' keys / User 'RunOnce' key", L"HKCU\\" + kCv + L"\\RunOnce, Once", false},
        {L"Registry 'Run' keys / Machine 'RunOnce' key", L"HKLM\\" + kCv + L"\\RunOnce, MachineOnce", false},
        {L"Registry 'Run' keys / Machine 'RunOnce' key (32-bit)", L"HKLM\\" + wowCv + L"\\RunOnce, OldOnce", false},
        {L"Registry 'Run' keys / User 'RunOnceEx' key", L"HKCU\\" + kCv + L"\\RunOnceEx\\0001, step", false},
        {L"Registry 'Run' keys / Machine 'RunOnceEx' key", L"HKLM\\" + kCv + L"\\RunOnceEx\\0002, mstep", false},
        {L"Registry 'Run' keys / User policy 'Run' key", L"HKCU\\" + kCv + L"\\Policies\\Explorer\\Run, Policy", false},
        {L"Registry 'Run' keys / Machine policy 'Run' key", L"HKLM\\" + kCv + L"\\Policies\\Explorer\\Run, 1", false},
        {L"Browser Helper Objects / Machine", L"HKLM\\" + kCv + L"\\Explorer\\Browser Helper Objects\\{B0}", false},
        {L"Internet Explorer toolbars / User", L"HKCU\\SOFTWARE\\Microsoft\\Internet Explorer\\Toolbar, {T0}", false},
        {L"Internet Explorer toolbars / User",
         L"HKCU\\SOFTWARE\\Microsoft\\Internet Explorer\\Toolbar\\WebBrowser, {T1}", false},
        {L"Internet Explorer buttons/tools / Machine",
         L"HKLM\\SOFTWARE\\Microsoft\\Internet Explorer\\Extensions\\{E0}", false},
        {L"Internet Explorer Bands / User", L"HKCU\\SOFTWARE\\Microsoft\\Internet Explorer\\Explorer Bars\\{X0}",
         false},
        {L"Context Menu Handlers / *", L"HKCR\\*\\shellex\\ContextMenuHandlers\\Named", false},
        {L"Context Menu Handlers / *", L"HKCR\\*\\shellex\\ContextMenuHandlers\\{M2}", false},
        {L"Context Menu Handlers / Directory", L"HKCR\\Directory\\Background\\shellex\\ContextMenuHandlers\\{M3}",
         false},
        {L"Column Handlers / Folder", L"HKCR\\Folder\\shellex\\ColumnHandlers\\{C0}", false},
        {L"Shell Execute Hooks / Machine", L"HKLM\\" + kCv + L"\\Explorer\\ShellExecuteHooks, {H0}", false},
        {L"Approved Shell Extensions / Machine", L"HKLM\\" + kCv + L"\\Shell Extensions\\Approved, {A0}", true},
        {L"Protocols / Filters", L"HKCR\\PROTOCOLS\\Filter\\text/xml", true},
        {L"Protocols / Handlers", L"HKCR\\PROTOCOLS\\Handler\\foo", true},
        {L"Shell Service Object Delay Load / Machine", L"HKLM\\" + kCv + L"\\ShellServiceObjectDelayLoad, Loader",
         false},
        {L"URL search hooks / User", L"HKCU\\Software\\Microsoft\\Internet Explorer\\URLSearchHooks, {U0}", false},
        {L"Shared Task Scheduler / Machine", L"HKLM\\" + kCv + L"\\Explorer\\SharedTaskScheduler, {Q0}", false},
        {L"Windows / Winlogon", L"HKLM\\" + kNt + L"\\Winlogon, Shell", true},
        {L"Windows / Winlogon", L"HKLM\\" + kNt + L"\\Winlogon, Userinit", true},
        {L"Windows / AppInit_DLLs", L"HKLM\\" + kNt + L"\\Windows, AppInit_DLLs", true},
        {L"Windows / AppInit_DLLs (32-bit)",
         L"HKLM\\SOFTWARE\\WOW6432Node\\Microsoft\\Windows NT\\CurrentVersion\\Windows, AppInit_DLLs", true},
        {L"Windows / Active Setup", L"HKLM\\SOFTWARE\\Microsoft\\Active Setup\\Installed Components\\{AS}, StubPath",
         true},
        {L"Windows / Image File Execution Options",
         L"HKLM\\" + kNt + L"\\Image File Execution Options\\bad.exe, Debugger", true},
    };
    const StartUp::CategoryList roots = Catalogue();
    std::set<Row> listed;
    for (const StartUp::ListedEntry& entry : StartUp::ListEntries(roots)) {
        listed.insert({entry.category, entry.entry->Location(), entry.owner->IsReadOnly()});
    }
    EXPECT_EQ(listed, expected);
    for (const Row& row : expected) {
        EXPECT_TRUE(listed.count(row)) << std::string(std::get<1>(row).begin(), std::get<1>(row).end());
    }
    // Enumerating again replaces equal entries instead of adding them twice.
    for (const auto& group : roots) {
        (void)group->Enumerate();
    }
    EXPECT_EQ(StartUp::ListEntries(roots).size(), expected.size());
}

TEST_F(CatalogueTest, EntriesSayWhatTheyAreWhatTheyRunAndFromWhichView)
{
    PrepareMachine();
    WriteFile(L"C:\\Program Files\\App\\app.exe", kProgram);
    Portable().System().SetFileVersion(L"C:\\Program Files\\App\\app.exe", {L"The app", L"App Makers", L"App", L"1.0"});
    Portable().System().SetFileVersion(kUserStartup + L"\\app.exe", {L"Started app", L"Startup Co", L"", L""});
    const StartUp::CategoryList roots = Catalogue();
    struct Case {
        std::wstring location;
        std::wstring className;
        std::wstring command;
        int bits;
        std::wstring company;  // empty: no version information
    };
    const Case cases[] = {
        {L"HKCU\\" + kCv + L"\\Run, UserApp", L"Registry", L"\"C:\\Program Files\\App\\app.exe\" /min", 64,
         L"App Makers"},
        {L"HKLM\\SOFTWARE\\WOW6432Node\\Microsoft\\Windows\\CurrentVersion\\Run, OldApp", L"Registry", L"old.exe", 32,
         L""},
        {kUserStartup + L"\\app.exe", L"Executable", kUserStartup + L"\\app.exe", 0, L"Startup Co"},
        {kUserStartup + L"\\tool.lnk", L"Shortcut", L"C:\\tools\\tool.exe /q", 0, L""},
        {kUserStartup + L"\\note.txt", L"File", L"", 0, L""},
        {kUserStartup + L"\\empty.exe", L"File", L"", 0, L""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.location.begin(), c.location.end()));
        const StartUp::ListedEntry listed = Entry(roots, c.location);
        ASSERT_TRUE(listed.entry);
        EXPECT_EQ(listed.entry->ClassName(), c.className);
        EXPECT_EQ(listed.entry->Command(), c.command);
        EXPECT_EQ(listed.entry->RegistryBits(), c.bits);
        const RTI::Reference<StartUp::IInfo> info = listed.entry->GetInfo();
        EXPECT_EQ(info && info->IsValid() ? info->Version().company : L"", c.company);
    }
}

TEST_F(CatalogueTest, ClassesAreFoundInEitherViewAndNameTheirServer)
{
    SetText(ClassesRoot(), L"CLSID\\{N64}", L"", L"Native helper");
    SetText(ClassesRoot(), L"CLSID\\{N64}\\InprocServer32", L"", L"C:\\helper64.dll");
    SetText(ClassesRoot(), L"CLSID\\{N32}", L"", L"Old helper", RegistryView::Wow32);
    SetText(ClassesRoot(), L"CLSID\\{N32}\\InprocServer32", L"", L"C:\\helper32.dll", RegistryView::Wow32);
    const std::wstring bho = kCv + L"\\Explorer\\Browser Helper Objects";
    ASSERT_TRUE(MakeKey(LocalMachine(), bho + L"\\{N64}"));
    ASSERT_TRUE(MakeKey(LocalMachine(), bho + L"\\{N32}"));
    const StartUp::CategoryList roots = Catalogue();
    const StartUp::ListedEntry native = Entry(roots, L"HKLM\\" + bho + L"\\{N64}");
    const StartUp::ListedEntry old = Entry(roots, L"HKLM\\" + bho + L"\\{N32}");
    ASSERT_TRUE(native.entry && old.entry);
    EXPECT_EQ(native.entry->Name(), L"Native helper");
    EXPECT_EQ(native.entry->Command(), L"C:\\helper64.dll");
    EXPECT_EQ(old.entry->Name(), L"Old helper");
    EXPECT_EQ(old.entry->Command(), L"C:\\helper32.dll");
    ASSERT_EQ(old.entry->Children().size(), 1u);
    EXPECT_EQ(old.entry->Children()[0]->Location(), L"HKCR\\WOW6432Node\\CLSID\\{N32}");
    // A text with a path after its brace names no class, not a key below one.
    SetText(LocalMachine(), kCv + L"\\ShellServiceObjectDelayLoad", L"Sneaky", L"{N64}\\InprocServer32");
    const StartUp::ListedEntry sneaky =
        Entry(Catalogue(), L"HKLM\\" + kCv + L"\\ShellServiceObjectDelayLoad, Sneaky");
    ASSERT_TRUE(sneaky.entry);
    EXPECT_TRUE(sneaky.entry->Children().empty());
    EXPECT_EQ(sneaky.entry->Name(), L"Sneaky");
}

// Task Manager's own record, per list and root: what Windows will do.
TEST_F(CatalogueTest, WindowsOwnStateIsReadAndMalformedRecordsShowAsUnknown)
{
    using StartUp::ApprovedState;
    struct Case {
        uint32_t type;
        std::vector<uint8_t> data;
        ApprovedState state;
    };
    const Case cases[] = {
        {Platform::RegType::Binary, {0x02, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}, ApprovedState::Enabled},
        {Platform::RegType::Binary, {0x06, 0}, ApprovedState::Enabled},
        {Platform::RegType::Binary, {0x03, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11}, ApprovedState::Disabled},
        {Platform::RegType::Binary, {0x07}, ApprovedState::Disabled},
        {Platform::RegType::Binary, {0x05, 0}, ApprovedState::Unknown},
        {Platform::RegType::Binary, {}, ApprovedState::Unknown},
        {Platform::RegType::Dword, {3, 0, 0, 0}, ApprovedState::Unknown},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.state));
        SetText(CurrentUser(), kCv + L"\\Run", L"App", L"app.exe");
        SetText(LocalMachine(), kCv + L"\\Run", L"Old", L"old.exe", RegistryView::Wow32);
        WriteFile(kUserStartup + L"\\app.exe", kProgram);
        Set(CurrentUser(), StartUp::ApprovedKeyPath(StartUp::ApprovedList::Run), L"App", c.type, c.data);
        Set(LocalMachine(), StartUp::ApprovedKeyPath(StartUp::ApprovedList::Run32), L"Old", c.type, c.data);
        Set(CurrentUser(), StartUp::ApprovedKeyPath(StartUp::ApprovedList::StartupFolder), L"app.exe", c.type, c.data);
        const StartUp::CategoryList roots = Catalogue();
        EXPECT_EQ(Entry(roots, L"HKCU\\" + kCv + L"\\Run, App").entry->Approved(), c.state);
        EXPECT_EQ(Entry(roots, L"HKLM\\SOFTWARE\\WOW6432Node\\Microsoft\\Windows\\CurrentVersion\\Run, Old")
                      .entry->Approved(),
                  c.state);
        EXPECT_EQ(Entry(roots, kUserStartup + L"\\app.exe").entry->Approved(), c.state);
    }
    SetText(LocalMachine(), kCv + L"\\Run", L"Unrecorded", L"x.exe");
    SetText(CurrentUser(), kCv + L"\\RunOnce", L"Once", L"x.exe");
    const StartUp::CategoryList roots = Catalogue();
    EXPECT_EQ(Entry(roots, L"HKLM\\" + kCv + L"\\Run, Unrecorded").entry->Approved(), ApprovedState::Enabled);
    EXPECT_EQ(Entry(roots, L"HKCU\\" + kCv + L"\\RunOnce, Once").entry->Approved(), ApprovedState::NotRecorded);
}

TEST_F(CatalogueTest, AMachineWithOneRegistryViewHasNo32BitCategories)
{
    Portable().System().Set64BitWindows(false);
    size_t wowCategories = 0;
    StartUp::ForEachCategory(Catalogue(), [&](const std::wstring& path, const RTI::Reference<StartUp::ICategory>&) {
        wowCategories += path.find(L"32-bit") != std::wstring::npos;
    });
    EXPECT_EQ(wowCategories, 0u);
}

}  // namespace
#endif
