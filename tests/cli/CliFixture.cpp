#include "tests/cli/CliFixture.h"

#include <span>

#include "core/platform/Errors.h"
#include "core/platform/FileIO.h"
#include "core/platform/Handles.h"
#include "core/resources/ResourceBytes.h"
#include "core/system/ShellFolders.h"
#include "core/text/JsonWriter.h"
#include "core/text/Utf.h"
#include "tweaker/RunControl.h"

namespace CliTesting {

uint32_t TestSets::ReadSet(std::wstring_view setName, std::string* utf8, std::wstring* where)
{
    const auto found = sets.find(setName);
    if (found == sets.end()) {
        return Err::FileNotFound;
    }
    *utf8 = found->second;
    *where = L"test set " + std::wstring(setName);
    return Err::Success;
}

std::wstring ReplaceAll(std::wstring text, std::wstring_view from, std::wstring_view to)
{
    for (size_t at = text.find(from); at != std::wstring::npos; at = text.find(from, at + to.size())) {
        text.replace(at, from.size(), to);
    }
    return text;
}

void CliTest::SetUp()
{
    ScratchTest::SetUp();
    if (HasFatalFailure()) {
        return;
    }
    Tweaker::SetPacing(Tweaker::Pacing::Off);
    name_ = ScratchFolder().substr(ScratchFolder().rfind(L'\\') + 1);
#ifndef _WIN32
    Portable().System().SetSpecialFolder(Sys::Csidl::AppData, PathOf(L"AppData"));
    settings_.folderName = L"Corvane";
#else
    settings_.folderName = L"CorvaneTests\\" + name_;
#endif
    settings_.settingsKey = ScratchKeyPath() + L"\\Settings";
    settings_.lockName = L"Local\\CorvaneTests.Cli." + name_;
    settings_.sets = &sets_;
    sets_.sets[L"Silver"] = Resource(L"CLISILVER");
    WriteFile(CataloguePath(), Resource(L"CLIEVERY"));
}

void CliTest::TearDown()
{
#ifdef _WIN32
    if (!name_.empty()) {
        (void)Testing::DeleteFolderTree(ProgramFolder());
        (void)Fs().RemoveDirectory(AppData() + L"\\CorvaneTests");
    }
#endif
    Tweaker::SetPacing(Tweaker::Pacing::On);
    ScratchTest::TearDown();
}

std::wstring CliTest::AppData() const
{
    return Sys::GetShellFolder(Sys::Csidl::AppData);
}

Result CliTest::Run(std::vector<std::wstring> args)
{
    console_.out.clear();
    console_.err.clear();
    Result result;
    result.code = Cli::Run(args, settings_, console_);
    result.out = console_.out;
    result.err = console_.err;
    return result;
}

Result CliTest::RunOnCatalogue(std::vector<std::wstring> args)
{
    args.insert(args.begin(), {L"--catalogue", CataloguePath()});
    return Run(std::move(args));
}

std::string CliTest::Resource(std::wstring_view name)
{
    std::span<const uint8_t> bytes;
    EXPECT_EQ(Resources::FindResourceBytes(name, Resources::kBinaryType, bytes), Err::Success) << "test resource";
    return Fill(std::string(bytes.begin(), bytes.end()));
}

std::string CliTest::Fill(std::string text) const
{
    std::wstring wide;
    EXPECT_EQ(Text::Utf8ToWide(text, &wide), Err::Success);
    wide = ReplaceAll(wide, L"@KEY@", MachineKeyPath());
    wide = ReplaceAll(wide, L"@FOLDER@", MachineFolder());
    wide = ReplaceAll(wide, L"@LINKS@", settings_.folderName + L"\\Links");
    std::string utf8;
    EXPECT_EQ(Text::WideToUtf8(wide, &utf8), Err::Success);
    return utf8;
}

void CliTest::PrepareMachine()
{
    const std::wstring machine = L"Machine";
    WriteDword(machine + L"\\Old", L"Mode", 1);
    WriteString(machine + L"\\Old", L"Obsolete", L"still here");
    WriteString(machine + L"\\Gone\\Deeper", L"Kept", L"until the tune-up");
    WriteString(machine + L"\\Emptied", L"First", L"one");
    WriteDword(machine + L"\\Emptied", L"Second", 2);
    WriteFile(MachineFolder() + L"\\Temp\\a.tmp", "scratch");
    WriteFile(MachineFolder() + L"\\Temp\\b.tmp", "more scratch");
    WriteFile(MachineFolder() + L"\\Temp\\keep.txt", "kept");
    WriteFile(MachineFolder() + L"\\old.log", "log lines\r\n");
    WriteFile(MachineFolder() + L"\\notes.txt", "notes");
}

MachineState CliTest::Machine()
{
    MachineState state;
    state.keys = JournalTesting::SnapshotTree(ScratchRoot(), MachineKeyPath());
    state.files = JournalTesting::SnapshotFolder(MachineFolder());
    state.links = JournalTesting::SnapshotFolder(LinksFolder());
    return state;
}

std::vector<std::wstring> CliTest::Journals()
{
    std::vector<std::wstring> names;
    Platform::FindData entry;
    Platform::UniqueFind find;
    if (Fs().FindFirst(BackupFolder() + L"*.arch", &entry, find.put()) != Err::Success) {
        return names;
    }
    do {
        names.push_back(entry.name);
    } while (Fs().FindNext(find.get(), &entry) == Err::Success);
    return names;
}

void CliTest::SetEnableBackup(int64_t value)
{
    if (value >= 0) {
        WriteDword(L"Settings", L"EnableBackup", static_cast<uint32_t>(value));
        return;
    }
    Platform::UniqueKey key;
    if (Reg().OpenKey(ScratchKey(), L"Settings", Platform::KeyAccess::Change, key.put()) == Err::Success) {
        (void)Reg().DeleteValue(key.get(), L"EnableBackup");
    }
}

std::vector<bool> CliTest::SelectionsOf(std::wstring_view name)
{
    const Result listed = RunOnCatalogue({L"list", L"--json"});
    EXPECT_EQ(listed.code, 0) << listed.err;
    std::vector<bool> selections;
    const std::wstring marker = L"\"name\": " + Text::JsonWriter::Quote(name) + L",";
    for (size_t at = listed.out.find(marker); at != std::wstring::npos; at = listed.out.find(marker, at + 1)) {
        const size_t selected = listed.out.find(L"\"selected\": ", at);
        selections.push_back(listed.out.compare(selected + 12, 4, L"true") == 0);
    }
    return selections;
}

}  // namespace CliTesting
