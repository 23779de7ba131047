#pragma once
// The command line run in-process over the scratch area. Natively the
// application-data folder is a scratch folder of the test's own portable
// platform; on Windows builds (under Wine) it is the real one, and the
// program's folder there is CorvaneTests\<scratch name>, removed afterwards.
// The test catalogue (tests/data/cli/every_action.xml, embedded) names its
// keys, files and shortcut folder by placeholders that the fixture fills in:
// @KEY@ (below HKCU), @FOLDER@ and @LINKS@ (below the application-data folder).
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "app/cli/Cli.h"
#include "tests/remover/JournalFixture.h"
#include "tests/support/Scratch.h"
#include "tweaker/ITweakSetSource.h"

namespace CliTesting {

// Captures what the command line writes.
class TestConsole final : public Cli::IConsole {
public:
    void Write(Cli::Stream stream, std::wstring_view text) override
    {
        (stream == Cli::Stream::Out ? out : err) += text;
    }
    bool IsTerminal(Cli::Stream stream) const override
    {
        return stream == Cli::Stream::Out ? outTerminal : errTerminal;
    }

    std::wstring out;
    std::wstring err;
    bool outTerminal = false;
    bool errTerminal = false;
};

// Tweak sets by name; a set that is not there reads as missing (2).
class TestSets final : public Tweaker::ITweakSetSource {
public:
    uint32_t ReadSet(std::wstring_view setName, std::string* utf8, std::wstring* where) override;
    std::map<std::wstring, std::string, std::less<>> sets;
};

struct Result {
    int code = -1;
    std::wstring out;
    std::wstring err;
};

// The machine as the test catalogue expects it before a tune-up.
struct MachineState {
    JournalTesting::TreeState keys;
    JournalTesting::FolderState files;
    JournalTesting::FolderState links;
    bool operator==(const MachineState&) const = default;
};

class CliTest : public Testing::ScratchTest {
protected:
    void SetUp() override;
    void TearDown() override;

    // Runs the command line as it is; the console's terminal flags apply.
    Result Run(std::vector<std::wstring> args);
    // The same with "--catalogue <the filled test catalogue>" in front.
    Result RunOnCatalogue(std::vector<std::wstring> args);

    // An embedded test file with its placeholders filled in.
    std::string Resource(std::wstring_view name);
    std::string Fill(std::string text) const;

    // Keys, files and a shortcut target as the catalogue's tweaks expect them.
    void PrepareMachine();
    MachineState Machine();

    // Below HKCU and on the disk.
    std::wstring MachineKeyPath() const { return ScratchKeyPath() + L"\\Machine"; }
    std::wstring MachineFolder() const { return PathOf(L"Machine"); }
    std::wstring AppData() const;
    std::wstring ProgramFolder() const { return AppData() + L"\\" + settings_.folderName; }
    std::wstring ConfigPath() const { return ProgramFolder() + L"\\Config.xml"; }
    std::wstring BackupFolder() const { return ProgramFolder() + L"\\backup\\"; }
    std::wstring LinksFolder() const { return ProgramFolder() + L"\\Links"; }
    std::wstring CataloguePath() const { return PathOf(L"catalogue.xml"); }
    // The journals in the backup folder, by name.
    std::vector<std::wstring> Journals();
    // EnableBackup under the settings key; a negative value removes it.
    void SetEnableBackup(int64_t value);
    // The selection of every tweak of that name, as "list --json" reports it.
    std::vector<bool> SelectionsOf(std::wstring_view name);

    Cli::Settings settings_;
    TestSets sets_;
    TestConsole console_;

private:
    std::wstring name_;  // the scratch name, unique per test
};

// `text` with every occurrence of `from` replaced.
std::wstring ReplaceAll(std::wstring text, std::wstring_view from, std::wstring_view to);

}  // namespace CliTesting
