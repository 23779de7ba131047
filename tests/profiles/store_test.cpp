// The profile store over a small catalogue: saving and setting give back
// exactly the state saved, Default gives back the shipped state, files are
// never replaced, unreadable files and failures are told, and nothing is set
// during a run or without the change lock.
#include <algorithm>
#include <atomic>
#include <cstring>
#include <functional>

#include "core/platform/Errors.h"
#include "core/platform/FileIO.h"
#include "core/platform/Handles.h"
#include "tests/profiles/ProfileFixture.h"

namespace {

using ProfileTesting::ProfileTest;

// Every kind of registry item a profile records: plain, with choices (one
// deletes the value), typed, two items of one value name, a name beyond
// ASCII and with the characters XML escapes; a cleanup the file leaves
// deselected; and a tweak inside a nested group.
constexpr const wchar_t* kCatalogue =
    LR"(<Tweaks><Category n="Windows/System">
  <Tweak n="Plain &amp; &lt;simple&gt; &quot;one&quot;" enabled="1">
    <Key parent="HKCU" path="@KEY@" valuename="Plain" valuetype="REG_DWORD" valueval="1"/></Tweak>
  <Tweak n="Choice" enabled="0">
    <Key parent="HKCU" path="@KEY@" valuename="Mode" valuetype="REG_DWORD" valueval="1" editable="set">
      <values><value val="1" descr="one"/><value val="2" descr="two"/><value action="VALUE_DELETE" descr="none"/></values>
    </Key></Tweak>
  <Tweak n="Typed" enabled="1">
    <Key parent="HKCU" path="@KEY@" valuename="Size" valuetype="REG_DWORD" valueval="16" editable="range"/></Tweak>
  <Tweak n="Twice" enabled="1">
    <Key parent="HKCU" path="@KEY@" keyname="A" valuename="Dup" valuetype="REG_SZ" valueval="a" editable="range"/>
    <Key parent="HKCU" path="@KEY@" keyname="B" valuename="Dup" valuetype="REG_SZ" valueval="b" editable="range"/></Tweak>
  <Tweak n="Grüße ☕" enabled="0">
    <Key parent="HKCU" path="@KEY@" valuename="Text" valuetype="REG_SZ" valueval="x" editable="range"/></Tweak>
  <Tweak n="Cleanup" enabled="0"><File path="C:\CorvaneTests\Nowhere" name="*.tmp" action="FILE_DELETE"/></Tweak>
  <Group n="Nested"><Tweak n="Inner" enabled="1">
    <Key parent="HKCU" path="@KEY@" valuename="Inner" valuetype="REG_DWORD" valueval="1"/></Tweak></Group>
</Category></Tweaks>)";

constexpr const wchar_t* kPlain = L"Plain & <simple> \"one\"";

// Edits a user could make in this run: choices, typed values, selections.
void EditEverything(ProfileTest& test)
{
    Tweaker::Key& mode = test.KeyOf(L"Choice");
    mode.TakeChoice(mode.GetChoices().at(2));  // delete the value
    test.Tweak(L"Choice").SetSelected(true);
    test.Tweak(kPlain).SetSelected(false);
    test.KeyOf(L"Typed").SetConfiguredValue(L"0x00000020");
    test.KeyOf(L"Twice", 1).SetConfiguredValue(L"second & <b>");
    test.Tweak(L"Grüße ☕").SetSelected(true);
    test.KeyOf(L"Grüße ☕").SetConfiguredValue(L"ünï & <\"x\">");
}

TEST_F(ProfileTest, SaveReloadAndSetGiveBackExactlyWhatWasCollected)
{
    Load(kCatalogue);
    const Tweaker::TweakValuesMap shipped = Collect();
    EditEverything(*this);
    const Tweaker::TweakValuesMap saved = Collect();
    ASSERT_NE(shipped, saved);
    Store();
    const std::wstring name = L"Mine & <yours> \"quoted\" ☕";
    std::wstring path;
    ASSERT_EQ(0u, Save(name, L"short & <d>", L"long \"dex\"\nsecond line", &path));

    // The file: UTF-8 without a byte-order mark, in the profile folder.
    const std::string bytes = ReadFile(path);
    EXPECT_EQ(0u, path.rfind(store_->UserFolder(), 0));
    EXPECT_NE("\xEF\xBB\xBF", bytes.substr(0, 3));
    EXPECT_NE(std::string::npos, bytes.find("enabled=\"0\""));

    // A new start with the shipped values: the profile reads back whole.
    Load(kCatalogue);
    ASSERT_EQ(shipped, Collect());
    Store();
    Profiles::Profile* profile = Shown(name);
    ASSERT_NE(nullptr, profile);
    EXPECT_TRUE(profile->readable);
    EXPECT_EQ(L"short & <d>", profile->shortDescription);
    EXPECT_EQ(L"long \"dex\"\nsecond line", profile->extendedDescription);
    EXPECT_EQ(saved, profile->values);
    ASSERT_EQ(0u, SetProfile(name));
    EXPECT_EQ(saved, Collect());
    EXPECT_EQ(1, prompts_.completed);
    EXPECT_TRUE(prompts_.failures.empty());

    // Config.xml kept it: the next start comes back the same.
    Load(kCatalogue);
    EXPECT_EQ(saved, Collect());
}

TEST_F(ProfileTest, DefaultGivesBackTheShippedSelectionsAndValues)
{
    struct Case {
        const char* what;
        bool savedAndRestarted;  // the edits were stored in Config.xml and the program restarted
    };
    const Case cases[] = {{"edits of this run", false}, {"edits stored in Config.xml", true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Load(kCatalogue);
        const Tweaker::TweakValuesMap shipped = Collect();
        EditEverything(*this);
        if (c.savedAndRestarted) {
            for (const auto& category : manager_->Categories()) {
                for (const auto& child : category->GetChildren()) {
                    manager_->UpdateConfigRecord(*child);
                }
            }
            ASSERT_EQ(0u, manager_->SaveConfiguration());
            Load(kCatalogue);
            ASSERT_NE(shipped, Collect());
        }
        Store();
        ASSERT_EQ(0u, SetProfile(L"Default"));
        EXPECT_EQ(shipped, Collect());
        EXPECT_FALSE(Tweak(L"Cleanup").IsSelected());  // a cleanup the file leaves off stays off
        Load(kCatalogue);                              // and Config.xml says so too
        EXPECT_EQ(shipped, Collect());
        ASSERT_EQ(0u, Platform::WriteWholeFile(manager_->ConfigurationPath(), "<Tweaks></Tweaks>"));
    }
}

TEST_F(ProfileTest, NoProfileFileReplacesAnother)
{
    Load(kCatalogue);
    Store();
#ifndef _WIN32
    Portable().Time().Set(1700000000);
#endif
    std::vector<std::wstring> paths(3);
    ASSERT_EQ(0u, Save(L"first", L"", L"", &paths[0]));
    ASSERT_EQ(0u, Save(L"second", L"", L"", &paths[1]));  // the same second
#ifndef _WIN32
    Portable().Time().Set(1600000000);  // the clock set back
#endif
    ASSERT_EQ(0u, Save(L"third", L"", L"", &paths[2]));
    EXPECT_LT(paths[0], paths[1]);
    EXPECT_LT(paths[1], paths[2]);
    std::vector<std::wstring> names;
    for (Profiles::Profile* profile : UserProfiles()) {
        names.push_back(profile->name);
    }
    std::sort(names.begin(), names.end());
    EXPECT_EQ((std::vector<std::wstring>{L"first", L"second", L"third"}), names);
#ifndef _WIN32
    EXPECT_EQ(PathOf(L"AppData\\") + L"CorvaneTests-" + ScratchFolder().substr(ScratchFolder().rfind(L'\\') + 1) +
                  L"\\profiles\\1700000001.pfs",
              paths[1]);
#endif
}

TEST_F(ProfileTest, TakenNamesAreAskedAgainAndACancelWritesNothing)
{
    Load(kCatalogue);
    Store(R"(<Profiles><Profile n="Built in"><d>b</d></Profile></Profiles>)");
    ASSERT_EQ(0u, Save(L"Mine"));
    struct Case {
        std::vector<std::wstring> answers;  // the dialog's names, then a cancel
        uint32_t result;
        std::vector<std::wstring> occupied;
    };
    const Case cases[] = {
        {{L"Default"}, Err::Cancelled, {L"Default"}},
        {{L"Built in", L"Mine"}, Err::Cancelled, {L"Built in", L"Mine"}},
        {{L"", L"default"}, Err::Success, {}},  // an empty name asks again; names differ by case
        {{}, Err::Cancelled, {}},
    };
    for (const Case& c : cases) {
        prompts_.occupied.clear();
        const size_t before = UserProfiles().size();
        for (const std::wstring& name : c.answers) {
            prompts_.answers.push_back({name, L"", L""});
        }
        EXPECT_EQ(c.result, store_->SaveCurrentAsProfile());
        EXPECT_EQ(c.occupied, prompts_.occupied);
        EXPECT_EQ(before + (c.result == Err::Success ? 1 : 0), UserProfiles().size());
        prompts_.answers.clear();
    }
}

TEST_F(ProfileTest, AnUnreadableFileIsListedCannotBeSetAndCanBeDeleted)
{
    Load(kCatalogue);
    Store();
    const std::wstring folder = store_->UserFolder();
    struct Case {
        const char* file;
        std::string bytes;
        const wchar_t* problem;  // part of the text
    };
    const Case cases[] = {
        {"cut.pfs", "<Profile name=\"x\"><Tweak name=\"y\">", L""},
        {"latin.pfs", "<Profile name=\"\xe9t\xe9\"/>", L"UTF-8"},
        {"other.pfs", "<Tweaks/>", L"Profile"},
        {"empty.pfs", "", L""},
    };
    for (const Case& c : cases) {
        const std::wstring path = folder + std::wstring(c.file, c.file + std::strlen(c.file));
        WriteFile(path, c.bytes);
        store_->ReloadUserProfiles();
        std::vector<Profiles::Profile*> users = UserProfiles();
        ASSERT_EQ(1u, users.size()) << c.file;
        Profiles::Profile& profile = *users[0];
        EXPECT_FALSE(profile.readable) << c.file;
        EXPECT_TRUE(profile.name.empty());
        EXPECT_NE(std::wstring::npos, profile.problem.find(c.problem)) << Narrow(profile.problem);
        EXPECT_FALSE(profile.dateText.empty());

        const std::string config = ConfigText();
        profile.checked = true;
        prompts_.failures.clear();
        EXPECT_EQ(Err::BadFormat, store_->SetCheckedProfiles()) << c.file;
        EXPECT_EQ(1u, prompts_.failures.size());
        EXPECT_EQ(0, prompts_.completed);
        EXPECT_EQ(config, ConfigText());

        EXPECT_EQ(0u, store_->DeleteCheckedProfiles());
        EXPECT_FALSE(Exists(path));
        EXPECT_TRUE(UserProfiles().empty());
    }
}

TEST_F(ProfileTest, DeletingTouchesOnlyConfirmedUserFilesReadOnlyOnesIncluded)
{
    Load(kCatalogue);
    Store(R"(<Profiles><Profile n="Built in"/></Profiles>)");
    std::wstring path;
    ASSERT_EQ(0u, Save(L"Mine", L"", L"", &path));
    ASSERT_EQ(0u, Fs().SetFileAttributes(path, Platform::FileAttr::ReadOnly));
    struct Case {
        std::vector<std::wstring> checked;
        bool confirm;
        uint32_t result;
        bool fileLeft;
    };
    const Case cases[] = {
        {{L"Mine"}, false, Err::Cancelled, true},
        {{L"Default", L"Built in"}, true, Err::Success, true},
        {{L"Default", L"Mine"}, true, Err::Success, false},
    };
    for (const Case& c : cases) {
        for (const std::wstring& name : c.checked) {
            Shown(name)->checked = true;
        }
        prompts_.confirm = c.confirm;
        EXPECT_EQ(c.result, store_->DeleteCheckedProfiles());
        EXPECT_EQ(c.fileLeft, Exists(path));
        for (const auto& profile : store_->ShownProfiles()) {
            EXPECT_FALSE(profile->checked);  // the list is reloaded every time
        }
        EXPECT_EQ(c.fileLeft ? 3u : 2u, store_->ShownProfiles().size());
    }
}

// Holds the analysis inside its first tweak until released.
class HoldingTracer final : public RTI::ITracer {
public:
    void Begin(const void*, unsigned) override
    {
        while (!released) {
            Platform::Current().Threads().Sleep(1);
        }
    }
    void End(const void*, unsigned) override {}
    void Trace(uint32_t, int32_t, int32_t) override {}
    std::atomic<bool> released{false};
};

TEST_F(ProfileTest, NothingIsSetDuringARunOrWithoutTheChangeLock)
{
    Load(kCatalogue);
    Store();
    EditEverything(*this);
    ASSERT_EQ(0u, manager_->SaveConfiguration());
    const Tweaker::TweakValuesMap before = Collect();
    const std::string config = ConfigText();

    HoldingTracer tracer;
    manager_->StartAnalysis(&tracer);
    ASSERT_TRUE(manager_->IsRunning());
    EXPECT_EQ(Profiles::kRunActive, SetProfile(L"Default"));
    tracer.released = true;
    ASSERT_EQ(0u, manager_->WaitForRun(10000));

    Platform::UniqueNamedLock other;
    ASSERT_EQ(0u, Tweaker::TakeChangeLock(&other, lockName_));
    EXPECT_EQ(Err::AlreadyExists, SetProfile(L"Default"));
    EXPECT_EQ(Err::AlreadyExists, Save(L"Mine"));

    EXPECT_EQ(before, Collect());
    EXPECT_EQ(config, ConfigText());
    EXPECT_EQ(0, prompts_.completed);
    EXPECT_EQ(3u, prompts_.failures.size());
    EXPECT_TRUE(UserProfiles().empty());
    other.reset();
    EXPECT_EQ(0u, SetProfile(L"Default"));
}

#ifndef _WIN32
using Platform::Portable::Operation;

TEST_F(ProfileTest, WriteFaultsAreToldAndLeaveNoFileBehind)
{
    Load(kCatalogue);
    Store();
    const std::wstring folder = store_->UserFolder();
    const auto inFolder = [folder](const Platform::Portable::FaultSubject& subject) {
        return subject.path.rfind(folder, 0) == 0;
    };
    const auto folderItself = [folder](const Platform::Portable::FaultSubject& subject) {
        return subject.path == folder || std::wstring(subject.path) + L"\\" == folder;
    };
    struct Case {
        Operation op;
        std::function<bool(const Platform::Portable::FaultSubject&)> when;
        uint32_t error;
    };
    const Case cases[] = {
        {Operation::CreateDirectory, folderItself, Err::AccessDenied},
        {Operation::CreateFile, inFolder, Err::AccessDenied},
        {Operation::WriteFile, inFolder, Err::DiskFull},
        {Operation::FlushFile, inFolder, Err::WriteFault},
    };
    for (const Case& c : cases) {
        Portable().Faults().Clear();
        Portable().Faults().FailWhen(c.op, c.when, c.error);
        prompts_.failures.clear();
        EXPECT_EQ(c.error, Save(L"Mine")) << static_cast<int>(c.op);
        ASSERT_EQ(1u, prompts_.failures.size());
        EXPECT_NE(std::wstring::npos, prompts_.failures[0].find(L"\"Mine\" could not be saved"));
        Portable().Faults().Clear();
        store_->ReloadUserProfiles();
        EXPECT_TRUE(UserProfiles().empty()) << static_cast<int>(c.op);
    }

    // Config.xml cannot be written after setting: told, and no "completed".
    ASSERT_EQ(0u, Save(L"Mine"));
    Portable().Faults().FailWhen(Operation::MoveFile, manager_->ConfigurationPath() + L".tmp", Err::WriteFault);
    prompts_.failures.clear();
    EXPECT_EQ(Err::WriteFault, SetProfile(L"Mine"));
    EXPECT_EQ(0, prompts_.completed);
    ASSERT_EQ(1u, prompts_.failures.size());
    EXPECT_NE(std::wstring::npos, prompts_.failures[0].find(L"Config.xml"));

    // A file that cannot be deleted stays listed, and that is told.
    Portable().Faults().Clear();
    Portable().Faults().FailWhen(Operation::DeleteFile, inFolder, Err::SharingViolation);
    Shown(L"Mine")->checked = true;
    prompts_.failures.clear();
    EXPECT_EQ(Err::SharingViolation, store_->DeleteCheckedProfiles());
    EXPECT_EQ(1u, prompts_.failures.size());
    EXPECT_NE(nullptr, Shown(L"Mine"));
}
#endif

}  // namespace
