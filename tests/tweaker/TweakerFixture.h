#pragma once
#include <cstdint>
// Shared pieces of the tweak engine tests: items and tweak files built from
// XML text over the scratch key and folder, the journal a tune-up writes, as
// a list of readable blocks, and apply-then-restore round trips.
#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <vector>

#include "core/rti/Reference.h"
#include "core/xml/XmlDocument.h"
#include "remover/ICommand.h"
#include "remover/Processor.h"
#include "tests/remover/JournalFixture.h"
#include "tweaker/File.h"
#include "tweaker/Key.h"
#include "tweaker/Manager.h"
#include "tweaker/RunControl.h"
#include "tweaker/Shortcut.h"
#include "tweaker/SimpleTweak.h"

namespace TweakerTesting {

// Reads one block of any command and describes it as text: the command's
// name, then every string it holds at its top level and the first string of
// each nested block ("DelRegValue HKCU ~\K Name").
class BlockRecorder final : public Remover::ICommand {
public:
    explicit BlockRecorder(std::vector<std::wstring> prefixes) : prefixes_(std::move(prefixes)) {}

    uint32_t Journal(const RTI::Reference<Remover::IArguments>&, RTI::IWriter&, RTI::ITracer*,
                     Platform::EventHandle) override
    {
        return Err::InvalidFunction;
    }
    uint32_t Restore(RTI::IReader& reader, RTI::ITracer*, Platform::EventHandle) override
    {
        static const wchar_t* const kNames[] = {L"?",         L"DelFile",     L"DelRegKey", L"DelRegValue",
                                                L"SetRegKey", L"SetRegValue", L"CreateFile"};
        const uint8_t tag = reader.GetBlockTag();
        std::wstring text = tag < 7 ? kNames[tag] : L"?";
        if (uint32_t s = reader.EnterBlock()) {
            return s;
        }
        // File blocks end with the final path of their folder, which depends
        // on the machine; it is left out of the description.
        size_t strings = tag == 1 ? 0 : tag == 6 ? 1 : SIZE_MAX;
        while (reader.GetType() != Remover::Format::Record::None &&
               reader.GetType() != Remover::Format::Record::BlockEnd) {
            std::wstring s;
            if (reader.GetType() == Remover::Format::Record::StringW) {
                (void)reader.ReadString(&s);
                if (strings > 0) {
                    --strings;
                    text += L" " + Shorten(s);
                }
            } else if (reader.GetType() == Remover::Format::Record::BlockStart) {
                (void)reader.EnterBlock();
                if (reader.GetType() == Remover::Format::Record::StringW && reader.ReadString(&s) == 0) {
                    text += L" " + Shorten(s);
                }
                (void)reader.LeaveBlock();
            } else if (reader.Skip() != 0) {
                break;
            }
        }
        (void)reader.LeaveBlock();
        blocks_.insert(blocks_.begin(), text);  // the replay walks newest first
        return 0;
    }
    const std::vector<std::wstring>& Blocks() const { return blocks_; }

private:
    std::wstring Shorten(std::wstring s) const
    {
        for (const std::wstring& prefix : prefixes_) {
            if (!prefix.empty() && s.rfind(prefix, 0) == 0) {
                return L"~" + s.substr(prefix.size());
            }
        }
        return s;
    }
    std::vector<std::wstring> prefixes_;
    std::vector<std::wstring> blocks_;
};

// Hands the one recorder out for every tag.
struct RecorderSource final : Remover::ICommandSource {
    RTI::Reference<BlockRecorder> recorder;
    RTI::Reference<Remover::ICommand> GetCommand(uint8_t /*tag*/) override { return recorder; }
};

class TweakerTest : public JournalTesting::JournalTest {
protected:
    void SetUp() override
    {
        JournalTest::SetUp();
        Tweaker::SetPacing(Tweaker::Pacing::Off);
    }
    void TearDown() override
    {
        Tweaker::SetPacing(Tweaker::Pacing::On);
        JournalTest::TearDown();
    }

    // An item read from its element's text.
    template <class T>
    RTI::Reference<T> LoadItem(const std::wstring& xml, int* result = nullptr)
    {
        XmlDocument doc;
        EXPECT_TRUE(doc.SetDoc(xml)) << doc.GetError();
        EXPECT_TRUE(doc.FindElem());
        RTI::Reference<T> item(new T());
        const int loaded = item->Load(doc);
        if (result) {
            *result = loaded;
        } else {
            EXPECT_EQ(loaded, 0);
        }
        return item;
    }

    // A Key on HKCU below the scratch key: attributes after parent and path.
    RTI::Reference<Tweaker::Key> KeyItem(const std::wstring& attributes, const std::wstring& inner = L"")
    {
        return LoadItem<Tweaker::Key>(L"<Key parent=\"HKCU\" path=\"" + ScratchKeyPath() + L"\" " + attributes + L">" +
                                      inner + L"</Key>");
    }

    // A tweak file's categories, loaded through a manager with the default
    // factories at the given system code.
    std::vector<RTI::Reference<Tweaker::Group>> LoadTweaks(Tweaker::Manager& manager, const std::wstring& xml,
                                                           int systemCode = 10)
    {
        manager.RegisterFactories();
        manager.SetSystemCodeOverride(systemCode);
        XmlDocument doc;
        EXPECT_TRUE(doc.SetDoc(xml)) << doc.GetError();
        std::vector<RTI::Reference<Tweaker::Group>> categories;
        EXPECT_TRUE(manager.LoadCategories(doc, &categories));
        return categories;
    }

    // Applies the item with a journal open; returns the journal (empty when
    // nothing was recorded) and the item's result.
    std::wstring ApplyJournalled(Tweaker::IItem& item, bool* result = nullptr)
    {
        bool applied = false;
        const std::wstring journal =
            RunJournal([&](Remover::Processor& processor) { applied = item.Apply(&processor, nullptr); });
        if (result) {
            *result = applied;
        }
        return journal;
    }

    // Paths starting with a prefix are shown as "~" and the rest; the
    // scratch key and folder are always prefixes.
    std::vector<std::wstring> BlocksOf(const std::wstring& journal, std::vector<std::wstring> prefixes = {})
    {
        if (journal.empty()) {
            return {};
        }
        prefixes.push_back(ScratchKeyPath());
        prefixes.push_back(ScratchFolder());
        RecorderSource source;
        source.recorder = new BlockRecorder(std::move(prefixes));
        Remover::Reader reader;
        const uint32_t s =
            reader.Replay(journal, JournalTesting::Header(), JournalTesting::kHeaderLength, source, nullptr, nullptr);
        EXPECT_EQ(s, 0u);
        return source.recorder->Blocks();
    }

    // Applies the item, checks the journal's blocks, restores the journal and
    // checks that the scratch key and folder are as they were.
    void ExpectRoundTrip(Tweaker::IItem& item, const std::vector<std::wstring>& blocks, bool expectApplied = true)
    {
        const JournalTesting::TreeState treeBefore = Tree();
        const JournalTesting::FolderState folderBefore = Folder();
        bool applied = false;
        const std::wstring journal = ApplyJournalled(item, &applied);
        EXPECT_EQ(applied, expectApplied);
        EXPECT_EQ(BlocksOf(journal), blocks);
        if (!journal.empty()) {
            Remover::ReplayReport report;
            EXPECT_EQ(Replay(journal, &report), 0u);
        }
        EXPECT_EQ(Tree(), treeBefore);
        EXPECT_EQ(Folder(), folderBefore);
    }
};

}  // namespace TweakerTesting
