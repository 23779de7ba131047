// Disabling entries with a backup in the snapshot, and restoring them: what
// comes back is what was taken, nothing is taken without its backup, and a
// snapshot that was tampered with writes nowhere the catalogue does not watch.
#ifndef _WIN32
#include <gtest/gtest.h>

#include <string>

#include "core/crypto/Md5.h"
#include "core/platform/FileIO.h"
#include "startup/RegistryBackup.h"
#include "tests/startup/StartupFixture.h"

namespace {

using namespace StartUpTesting;
using Platform::ClassesRoot;
using Platform::CurrentUser;
using Platform::LocalMachine;
using Platform::Portable::Operation;

const std::wstring kRunLocation = L"HKCU\\" + kRun;
const std::wstring kHandlers = L"*\\shellex\\ContextMenuHandlers";
const std::string kProgram = "MZ" + std::string(100, 'x');

class SnapshotTest : public StartupTest {
protected:
    std::wstring Document() const { return Place().folder + L"\\snapshot.xml"; }
    std::string DocumentText() { return ReadFile(Document()); }
    void EditDocument(const std::string& from, const std::string& to)
    {
        std::string text = DocumentText();
        const size_t at = text.find(from);
        ASSERT_NE(at, std::string::npos) << from;
        text.replace(at, from.size(), to);
        WriteFile(Document(), text);
    }
    std::wstring CopyOf(std::string_view content) const
    {
        return Place().FilesFolder() + L"\\" + Crypto::DigestToHex(Crypto::Md5::Of(content.data(), content.size()));
    }
    StartUp::SavedKey Tree(Platform::KeyHandle root, const std::wstring& path)
    {
        Platform::UniqueKey key;
        StartUp::SavedKey saved;
        EXPECT_EQ(Reg().OpenKey(root, path, Platform::KeyAccess::Read, key.put()), Err::Success);
        EXPECT_EQ(StartUp::ReadKeyTree(key.get(), path, &saved), Err::Success);
        return saved;
    }
};

bool SameTree(const StartUp::SavedKey& a, const StartUp::SavedKey& b)
{
    if (a.name != b.name || a.values.size() != b.values.size() || a.subkeys.size() != b.subkeys.size()) {
        return false;
    }
    for (size_t i = 0; i < a.values.size(); ++i) {
        if (a.values[i].name != b.values[i].name || a.values[i].type != b.values[i].type ||
            a.values[i].data != b.values[i].data) {
            return false;
        }
    }
    for (size_t i = 0; i < a.subkeys.size(); ++i) {
        if (!SameTree(a.subkeys[i], b.subkeys[i])) {
            return false;
        }
    }
    return true;
}

TEST_F(SnapshotTest, ValuesOfEveryTypeComeBackAsTheyWere)
{
    struct Case {
        std::wstring name;
        uint32_t type;
        std::vector<uint8_t> data;
    };
    const Case cases[] = {
        {L"text", Platform::RegType::Sz, Testing::StringBytes(L"C:\\app.exe /start")},
        {L"expand", Platform::RegType::ExpandSz, Testing::StringBytes(L"%SystemRoot%\\app.exe")},
        {L"multi", Platform::RegType::MultiSz, Bytes(std::string("a\0\0\0b\0\0\0\0\0", 10))},
        {L"empty binary", Platform::RegType::Binary, {}},
        {L"binary", Platform::RegType::Binary, {0, 1, 2, 0xFF, 0x80}},
        {L"dword", Platform::RegType::Dword, {1, 2, 3, 4}},
        {L"qword", Platform::RegType::Qword, {1, 2, 3, 4, 5, 6, 7, 8}},
        {L"none", Platform::RegType::None, {9}},
        {L"odd <&\"name'>", Platform::RegType::Sz, Testing::StringBytes(L"x")},
        {std::wstring(2000, L'n'), Platform::RegType::Sz, Testing::StringBytes(L"long name")},
        {L"", Platform::RegType::Sz, Testing::StringBytes(L"the default value")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.name.begin(), c.name.end()).substr(0, 20));
        Set(CurrentUser(), kRun, c.name, c.type, c.data);
        const std::wstring location = kRunLocation + L", " + c.name;
        ASSERT_EQ(Disable(location), Err::Success);
        EXPECT_EQ(Get(CurrentUser(), kRun, c.name, nullptr, nullptr), Err::FileNotFound);
        EXPECT_EQ(SavedCount(), 1u);
        ASSERT_EQ(Restore(location), Err::Success);
        uint32_t type = 0;
        std::vector<uint8_t> data;
        ASSERT_EQ(Get(CurrentUser(), kRun, c.name, &type, &data), Err::Success);
        EXPECT_EQ(type, c.type);
        EXPECT_EQ(data, c.data);
        EXPECT_EQ(SavedCount(), 0u);
    }
}

TEST_F(SnapshotTest, WholeKeysComeBackWithEveryLevelAndLongNames)
{
    const std::wstring key = kHandlers + L"\\{6C4E0C1A-0000-0000-0000-000000000001}";
    const std::wstring longName(255, L'k');
    Set(ClassesRoot(), key, L"", Platform::RegType::Sz, Testing::StringBytes(L"handler"));
    Set(ClassesRoot(), key + L"\\" + longName, std::wstring(3000, L'v'), Platform::RegType::Binary, {1, 2});
    Set(ClassesRoot(), key + L"\\" + longName + L"\\" + longName, L"deep", Platform::RegType::Dword, {7, 0, 0, 0});
    Set(ClassesRoot(), key + L"\\empty", L"", Platform::RegType::Binary, {});
    const StartUp::SavedKey before = Tree(ClassesRoot(), key);

    ASSERT_EQ(Disable(L"HKCR\\" + key), Err::Success);
    EXPECT_FALSE(HasKey(ClassesRoot(), key));
    ASSERT_EQ(Restore(L"HKCR\\" + key), Err::Success);
    EXPECT_TRUE(SameTree(Tree(ClassesRoot(), key), before));
}

TEST_F(SnapshotTest, FilesComeBackByteIdentical)
{
    Platform::ShellLink link;
    link.target = L"C:\\tools\\tool.exe";
    link.arguments = L"--quiet";
    ASSERT_EQ(Os().System().SaveShellLink(L"C:\\link.lnk", link), Err::Success);
    const std::string shortcut = ReadFile(L"C:\\link.lnk");
    struct Case {
        std::wstring name;
        std::string content;
    };
    const Case cases[] = {
        {L"program.exe", kProgram},
        {L"tool.lnk", shortcut},
        {L"readme.txt", "read me\r\n"},
        {L"empty.cmd", ""},
        {L"large.exe", "MZ" + std::string(3 * 1024 * 1024, '\x90')},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.name.begin(), c.name.end()));
        const std::wstring path = kUserStartup + L"\\" + c.name;
        WriteFile(path, c.content);
        ASSERT_EQ(Disable(path), Err::Success);
        EXPECT_FALSE(Exists(path));
        EXPECT_EQ(ReadFile(CopyOf(c.content)), c.content);
        ASSERT_EQ(Restore(path), Err::Success);
        EXPECT_EQ(ReadFile(path), c.content);
        EXPECT_FALSE(Exists(CopyOf(c.content))) << "a copy no backup needs is removed";
    }
}

// Two startup files with the same content share one copy: both are removed,
// and the copy stays until the last of them is back.
TEST_F(SnapshotTest, RemovedMeansRemovedWhenTheCopyIsAlreadyThere)
{
    WriteFile(kUserStartup + L"\\one.exe", kProgram);
    WriteFile(kCommonStartup + L"\\two.exe", kProgram);
    // A stale file under the copy's name that does not hold the content.
    WriteFile(CopyOf(kProgram), "something else");
    ASSERT_EQ(Disable(kUserStartup + L"\\one.exe"), Err::Success);
    ASSERT_EQ(Disable(kCommonStartup + L"\\two.exe"), Err::Success);
    EXPECT_FALSE(Exists(kUserStartup + L"\\one.exe"));
    EXPECT_FALSE(Exists(kCommonStartup + L"\\two.exe"));
    EXPECT_EQ(ReadFile(CopyOf(kProgram)), kProgram);
    ASSERT_EQ(Restore(kUserStartup + L"\\one.exe"), Err::Success);
    EXPECT_TRUE(Exists(CopyOf(kProgram)));
    ASSERT_EQ(Restore(kCommonStartup + L"\\two.exe"), Err::Success);
    EXPECT_EQ(ReadFile(kCommonStartup + L"\\two.exe"), kProgram);
    EXPECT_FALSE(Exists(CopyOf(kProgram)));
}

// The backup is in the snapshot before anything is deleted; whatever fails
// leaves the entry where it was and the snapshot saying so.
TEST_F(SnapshotTest, FailuresDeleteNothingAndTheSnapshotTellsTheTruth)
{
    const std::wstring file = kUserStartup + L"\\app.exe";
    const std::wstring snapshotTemp = Document() + L".tmp";
    struct Case {
        const char* what;
        Operation op;
        std::wstring path;
        std::wstring location;
    };
    const Case cases[] = {
        {"value delete refused", Operation::DeleteValue, kRunLocation, kRunLocation + L", App"},
        {"file delete refused", Operation::DeleteFile, file, file},
        {"snapshot not written (value)", Operation::CreateFile, snapshotTemp, kRunLocation + L", App"},
        {"snapshot not written (file)", Operation::MoveFile, snapshotTemp, file},
        {"copy not written", Operation::WriteFile, CopyOf(kProgram) + L".tmp", file},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        SetText(CurrentUser(), kRun, L"App", L"app.exe");
        WriteFile(file, kProgram);
        (void)Fs().DeleteFile(CopyOf(kProgram));
        Portable().Faults().FailWhen(c.op, c.path, Err::AccessDenied);
        EXPECT_EQ(Disable(c.location), Err::AccessDenied);
        Portable().Faults().Clear();
        EXPECT_EQ(Get(CurrentUser(), kRun, L"App", nullptr, nullptr), Err::Success);
        EXPECT_EQ(ReadFile(file), kProgram);
        EXPECT_EQ(SavedCount(), 0u);
    }
}

TEST_F(SnapshotTest, AFailedRestoreKeepsTheBackup)
{
    SetText(CurrentUser(), kRun, L"App", L"app.exe");
    ASSERT_EQ(Disable(kRunLocation + L", App"), Err::Success);
    Portable().Faults().FailWhen(Operation::SetValue, kRunLocation, Err::AccessDenied);
    EXPECT_EQ(Restore(kRunLocation + L", App"), Err::AccessDenied);
    Portable().Faults().Clear();
    EXPECT_EQ(SavedCount(), 1u);
    EXPECT_EQ(Restore(kRunLocation + L", App"), Err::Success);
}

// A key is removed only when all of it is in the backup.
TEST_F(SnapshotTest, AKeyThatCannotBeReadWhollyIsNotDeleted)
{
    const std::wstring key = kHandlers + L"\\{6C4E0C1A-0000-0000-0000-000000000002}";
    Set(ClassesRoot(), key + L"\\sub", L"secret", Platform::RegType::Sz, Testing::StringBytes(L"x"));
    for (Operation op : {Operation::QueryValue, Operation::EnumValue, Operation::EnumKey, Operation::OpenKey}) {
        Portable().Faults().FailWhen(op, L"HKCR\\" + key + L"\\sub", Err::AccessDenied);
        EXPECT_EQ(Disable(L"HKCR\\" + key), Err::AccessDenied);
        Portable().Faults().Clear();
        EXPECT_EQ(Get(ClassesRoot(), key + L"\\sub", L"secret", nullptr, nullptr), Err::Success);
        EXPECT_EQ(SavedCount(), 0u);
    }
}

// The snapshot lies in the user's folder: what it says is checked against the
// places the catalogue watches before anything is written.
TEST_F(SnapshotTest, ATamperedSnapshotWritesNowhereElse)
{
    SetText(CurrentUser(), kRun, L"App", L"app.exe");
    WriteFile(kUserStartup + L"\\app.exe", kProgram);
    ASSERT_EQ(Disable(kRunLocation + L", App"), Err::Success);
    ASSERT_EQ(Disable(kUserStartup + L"\\app.exe"), Err::Success);
    const std::string pristine = DocumentText();
    const std::string hex = "\\Run\" value=\"App\"";
    struct Case {
        const char* what;
        std::string from;
        std::string to;
        std::wstring location;
        Platform::Status status;
    };
    const Case cases[] = {
        {"registry key elsewhere", hex, "\\Evil\" value=\"App\"",
         L"HKCU\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Evil, App", StartUp::Snapshot::kNotWatched},
        {"registry view changed", "view=\"64\"", "view=\"32\"", kRunLocation + L", App",
         StartUp::Snapshot::kNotWatched},
        {"registry root changed", "parent=\"HKCU\"", "parent=\"HKLM\"",
         L"HKLM\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run, App", StartUp::Snapshot::kNotWatched},
        {"file elsewhere", "\\Startup\\app.exe", "\\Startup\\..\\evil.exe", kUserStartup + L"\\..\\evil.exe",
         StartUp::Snapshot::kNotWatched},
        {"file in a sub-folder", "\\Startup\\app.exe", "\\Startup\\sub\\app.exe", kUserStartup + L"\\sub\\app.exe",
         StartUp::Snapshot::kNotWatched},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        WriteFile(Document(), pristine);
        EditDocument(c.from, c.to);
        std::wstring message;
        EXPECT_EQ(Restore(c.location, &message), c.status);
        EXPECT_FALSE(message.empty());
        EXPECT_EQ(SavedCount(), 2u);
    }
    EXPECT_FALSE(HasKey(CurrentUser(), L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Evil"));
    EXPECT_FALSE(Exists(kUserStartup + L"\\..\\evil.exe"));

    // A digest that is not 32 hexadecimal digits makes the element unusable;
    // it is kept, not lost, when the snapshot is written again.
    WriteFile(Document(), pristine);
    const std::wstring digest = CopyOf(kProgram).substr(CopyOf(kProgram).size() - 32);
    EditDocument(std::string(digest.begin(), digest.end()), "..\\..\\..\\..\\Windows\\notepad.exe0000000000");
    StartUp::Snapshot snapshot(Place());
    ASSERT_EQ(snapshot.Load(), Err::Success);
    ASSERT_EQ(snapshot.Records().size(), 2u);
    EXPECT_FALSE(snapshot.Records()[1].entry);
    std::wstring message;
    EXPECT_EQ(snapshot.Restore(Catalogue(), 1, &message), Err::BadFormat);
    ASSERT_EQ(snapshot.Restore(Catalogue(), 0, &message), Err::Success);
    EXPECT_NE(DocumentText().find("notepad.exe0000000000"), std::string::npos);
}

TEST_F(SnapshotTest, ARestoreNeverOverwritesOtherContentNorUsesAChangedCopy)
{
    const std::wstring file = kUserStartup + L"\\app.exe";
    WriteFile(file, kProgram);
    ASSERT_EQ(Disable(file), Err::Success);
    WriteFile(file, "a newer program");
    EXPECT_EQ(Restore(file), Err::FileExists);
    EXPECT_EQ(ReadFile(file), "a newer program");
    EXPECT_EQ(SavedCount(), 1u);
    ASSERT_EQ(Fs().DeleteFile(file), Err::Success);
    WriteFile(CopyOf(kProgram), "changed copy");
    EXPECT_EQ(Restore(file), Err::BadFormat);
    EXPECT_FALSE(Exists(file));
    ASSERT_EQ(Fs().DeleteFile(CopyOf(kProgram)), Err::Success);
    EXPECT_EQ(Restore(file), Err::FileNotFound);
    EXPECT_EQ(SavedCount(), 1u);
}

TEST_F(SnapshotTest, AMovedStartupFolderSaysWhereTheSavedCopyLies)
{
    const std::wstring file = kUserStartup + L"\\app.exe";
    WriteFile(file, kProgram);
    ASSERT_EQ(Disable(file), Err::Success);
    Portable().System().SetSpecialFolder(7, L"D:\\Startup");
    Portable().Files().AddDrive(L'D');
    MakeFolder(L"D:\\Startup");
    std::wstring message;
    EXPECT_EQ(Restore(file, &message), StartUp::Snapshot::kNotWatched);
    EXPECT_NE(message.find(L"D:\\Startup"), std::wstring::npos);
    EXPECT_NE(message.find(CopyOf(kProgram)), std::wstring::npos);
    EXPECT_FALSE(Exists(file));
}

TEST_F(SnapshotTest, ADamagedSnapshotIsNeitherUsedNorWrittenOver)
{
    SetText(CurrentUser(), kRun, L"App", L"app.exe");
    WriteFile(Document(), "<StartupSnapshot><Category");
    EXPECT_EQ(Disable(kRunLocation + L", App"), Err::BadFormat);
    EXPECT_EQ(ReadFile(Document()), "<StartupSnapshot><Category");
    EXPECT_EQ(Get(CurrentUser(), kRun, L"App", nullptr, nullptr), Err::Success);
}

TEST_F(SnapshotTest, ReadOnlyCategoriesAreNeverChanged)
{
    SetText(LocalMachine(), L"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Winlogon", L"Shell", L"explorer.exe");
    EXPECT_EQ(Disable(L"HKLM\\SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Winlogon, Shell"), Err::AccessDenied);
    EXPECT_EQ(
        Get(LocalMachine(), L"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Winlogon", L"Shell", nullptr, nullptr),
        Err::Success);
    EXPECT_EQ(SavedCount(), 0u);
}

}  // namespace
#endif
