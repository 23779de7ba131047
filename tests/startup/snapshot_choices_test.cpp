// The snapshot document and the categories: saved entries merged into the
// live lists, the user's checks carried out, and documents of the earlier
// flat form still read.
#ifndef _WIN32
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "startup/Categories.h"
#include "tests/startup/StartupFixture.h"

namespace {

using namespace StartUpTesting;
using Platform::CurrentUser;
using Platform::Portable::Operation;

const std::wstring kRunCategory = L"Registry 'Run' keys / User 'Run' key";
const std::string kProgram = "MZ" + std::string(100, 'x');

class SnapshotChoicesTest : public StartupTest {
protected:
    std::wstring Document() const { return Place().folder + L"\\snapshot.xml"; }
    bool HasRunValue(const std::wstring& name) { return Get(CurrentUser(), kRun, name, nullptr, nullptr) == 0; }
    // The live catalogue with the snapshot merged in, as a view shows it.
    StartUp::CategoryList Merged(StartUp::Snapshot& snapshot)
    {
        EXPECT_EQ(snapshot.Load(), Err::Success);
        StartUp::CategoryList roots = Catalogue();
        StartUp::MergeSnapshot(roots, snapshot);
        return roots;
    }
    void Check(const StartUp::CategoryList& roots, const std::wstring& location, bool checked)
    {
        const StartUp::ListedEntry listed = Entry(roots, location);
        ASSERT_TRUE(listed.entry);
        listed.entry->SetChecked(checked);
    }
};

TEST_F(SnapshotChoicesTest, UncheckedEntriesAreRemovedAndCheckedSavedOnesComeBack)
{
    SetText(CurrentUser(), kRun, L"Keep", L"keep.exe");
    SetText(CurrentUser(), kRun, L"Drop", L"drop.exe");
    WriteFile(kUserStartup + L"\\tray.exe", kProgram);
    const std::wstring drop = L"HKCU\\" + kRun + L", Drop";
    const std::wstring tray = kUserStartup + L"\\tray.exe";
    struct Step {
        const char* what;
        std::vector<std::pair<std::wstring, bool>> checks;
        bool dropThere;
        bool trayThere;
        size_t saved;
    };
    const Step steps[] = {
        {"nothing changed", {}, true, true, 0},
        {"two unchecked", {{drop, false}, {tray, false}}, false, false, 2},
        {"saved ones left unchecked", {}, false, false, 2},
        {"one checked again", {{drop, true}}, true, false, 1},
        {"the other too", {{tray, true}}, true, true, 0},
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(step.what);
        StartUp::Snapshot snapshot(Place());
        const StartUp::CategoryList roots = Merged(snapshot);
        for (const auto& [location, checked] : step.checks) {
            Check(roots, location, checked);
        }
        std::vector<StartUp::ChoiceFailure> failures;
        EXPECT_EQ(StartUp::SaveChoices(roots, snapshot, &failures), Err::Success);
        EXPECT_TRUE(failures.empty());
        EXPECT_TRUE(HasRunValue(L"Keep"));
        EXPECT_EQ(HasRunValue(L"Drop"), step.dropThere);
        EXPECT_EQ(Exists(tray), step.trayThere);
        EXPECT_EQ(SavedCount(), step.saved);
        // The lists show each entry once: found on the system, or saved.
        EXPECT_EQ(Entry(roots, drop).entry->IsStored(), !step.dropThere);
        EXPECT_EQ(Entry(roots, tray).entry->IsStored(), !step.trayThere);
    }
    EXPECT_EQ(ReadFile(tray), kProgram);
}

TEST_F(SnapshotChoicesTest, ChoicesThatFailAreReportedAndTheRestIsCarriedOut)
{
    SetText(CurrentUser(), kRun, L"Locked", L"locked.exe");
    SetText(CurrentUser(), kRun, L"Free", L"free.exe");
    SetText(Platform::LocalMachine(), L"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Winlogon", L"Shell",
            L"explorer.exe");
    Portable().Faults().FailWhen(
        Operation::DeleteValue, [](const auto& s) { return s.name == L"Locked"; }, Err::AccessDenied);
    StartUp::Snapshot snapshot(Place());
    const StartUp::CategoryList roots = Merged(snapshot);
    const std::wstring winlogon = L"HKLM\\SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Winlogon, Shell";
    const std::wstring locked = L"HKCU\\" + kRun + L", Locked";
    for (const std::wstring& location : {locked, L"HKCU\\" + kRun + L", Free", winlogon}) {
        Check(roots, location, false);
    }
    std::vector<StartUp::ChoiceFailure> failures;
    EXPECT_NE(StartUp::SaveChoices(roots, snapshot, &failures), Err::Success);
    ASSERT_EQ(failures.size(), 2u);
    EXPECT_EQ(failures[0].location, locked);
    EXPECT_EQ(failures[0].status, Err::AccessDenied);
    EXPECT_EQ(failures[1].location, winlogon);
    EXPECT_TRUE(HasRunValue(L"Locked"));
    EXPECT_FALSE(HasRunValue(L"Free"));
    EXPECT_EQ(SavedCount(), 1u);
}

TEST_F(SnapshotChoicesTest, DocumentsOfTheFlatFormAreReadAndWrittenBackNested)
{
    // Written before categories were nested in their groups: one element per
    // category, named by its whole path.
    const std::string flat =
        "<StartupSnapshot>\n"
        "<Category name=\"Registry 'Run' keys / User 'Run' key\"><Registry parent=\"HKCU\" "
        "key=\"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run\" value=\"Old\" view=\"64\">"
        "<V name=\"Old\" t=\"4\" v=\"AQAAAA==\"/></Registry></Category>\n"
        "<Category name=\"Registry 'Run' keys / User 'Run' key\"><Unknown a=\"1\"/></Category>\n"
        "</StartupSnapshot>\n";
    struct Case {
        const char* what;
        std::string document;
    };
    const std::string nested =
        "<StartupSnapshot>\n<Category class=\"Group\" name=\"Registry 'Run' keys\">\n"
        "<Category class=\"Run\" name=\"User 'Run' key\"><Registry parent=\"HKCU\" "
        "key=\"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run\" value=\"Old\" view=\"64\">"
        "<V name=\"Old\" t=\"4\" v=\"AQAAAA==\"/></Registry><Unknown a=\"1\"/></Category>\n"
        "</Category>\n</StartupSnapshot>\n";
    const Case cases[] = {{"flat", flat}, {"nested", nested}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        {
            Platform::UniqueKey run;
            (void)Reg().OpenKey(CurrentUser(), kRun, Platform::KeyAccess::Change, run.put());
            if (run) {
                (void)Reg().DeleteValue(run.get(), L"Old");
                (void)Reg().DeleteValue(run.get(), L"New");
            }
        }
        WriteFile(Document(), c.document);
        StartUp::Snapshot snapshot(Place());
        ASSERT_EQ(snapshot.Load(), Err::Success);
        ASSERT_EQ(snapshot.Records().size(), 2u);
        EXPECT_EQ(snapshot.Records()[0].category, kRunCategory);
        EXPECT_EQ(snapshot.Records()[1].category, kRunCategory);
        EXPECT_FALSE(snapshot.Records()[1].entry) << "unusable, but kept";

        // A change writes the nested form; the unusable element stays.
        SetText(CurrentUser(), kRun, L"New", L"new.exe");
        ASSERT_EQ(Disable(L"HKCU\\" + kRun + L", New"), Err::Success);
        const std::string nested = ReadFile(Document());
        EXPECT_NE(nested.find("<Category class=\"Group\" name=\"Registry &apos;Run&apos; keys\">\n"
                              "<Category class=\"Run\" name=\"User &apos;Run&apos; key\"><Registry"),
                  std::string::npos)
            << nested;
        EXPECT_NE(nested.find("<Unknown a=\"1\"/>"), std::string::npos);
        EXPECT_EQ(SavedCount(), 3u);

        ASSERT_EQ(Restore(L"HKCU\\" + kRun + L", Old"), Err::Success);
        uint32_t type = 0;
        std::vector<uint8_t> data;
        ASSERT_EQ(Get(CurrentUser(), kRun, L"Old", &type, &data), Err::Success);
        EXPECT_EQ(type, Platform::RegType::Dword);
        EXPECT_EQ(data, (std::vector<uint8_t>{1, 0, 0, 0}));
        ASSERT_EQ(Restore(L"HKCU\\" + kRun + L", New"), Err::Success);
        EXPECT_EQ(SavedCount(), 1u);
    }
}

// The shell may name the Startup folder by its 8.3 short form on one day and
// by its long form on another: the same folder, so the restore goes ahead.
TEST_F(SnapshotChoicesTest, AFolderNamedByItsShortFormIsTheSameFolder)
{
    const std::wstring menu = L"C:\\Users\\me\\AppData\\Roaming\\Microsoft\\Windows\\Start Menu";
    ASSERT_EQ(Portable().Files().SetShortName(menu, L"STARTM~1"), Err::Success);
    const std::wstring shortStartup =
        L"C:\\Users\\me\\AppData\\Roaming\\Microsoft\\Windows\\STARTM~1\\Programs\\Startup";
    const std::wstring other = L"C:\\Other\\Startup";
    MakeFolder(other);
    struct Case {
        const char* what;
        std::wstring whenDisabled;
        std::wstring whenRestored;
        Platform::Status status;
    };
    const Case cases[] = {
        {"long, then short", kUserStartup, shortStartup, Err::Success},
        {"short, then long", shortStartup, kUserStartup, Err::Success},
        {"another folder", kUserStartup, other, StartUp::Snapshot::kNotWatched},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        WriteFile(kUserStartup + L"\\app.exe", kProgram);
        Portable().System().SetSpecialFolder(7, c.whenDisabled);
        ASSERT_EQ(Disable(c.whenDisabled + L"\\app.exe"), Err::Success);
        EXPECT_FALSE(Exists(kUserStartup + L"\\app.exe"));
        Portable().System().SetSpecialFolder(7, c.whenRestored);
        std::wstring message;
        EXPECT_EQ(Restore(c.whenDisabled + L"\\app.exe", &message), c.status);
        EXPECT_EQ(Exists(kUserStartup + L"\\app.exe"), c.status == Err::Success);
        if (c.status != Err::Success) {
            EXPECT_NE(message.find(other), std::wstring::npos);
            (void)Portable().Files().DeleteFile(Place().folder + L"\\snapshot.xml");
        }
    }
    std::wstring longPath;
    WriteFile(kUserStartup + L"\\app.exe", kProgram);
    EXPECT_EQ(Fs().GetLongPathName(shortStartup + L"\\app.exe", &longPath), Err::Success);
    EXPECT_EQ(longPath, kUserStartup + L"\\app.exe");
    EXPECT_EQ(Fs().GetLongPathName(shortStartup + L"\\missing.exe", &longPath), Err::FileNotFound);
    EXPECT_EQ(Fs().GetLongPathName(L"C:\\Users\\me\\NOPE~1\\x", &longPath), Err::FileNotFound);
}

}  // namespace
#endif
