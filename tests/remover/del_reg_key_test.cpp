#include <gtest/gtest.h>

#include "remover/DeleteRegKey.h"
#include "remover/Format.h"
#include "tests/remover/JournalFixture.h"

namespace {

using namespace JournalTesting;
namespace Record = Remover::Format::Record;
using Platform::RegType::Binary;

class DelRegKeyCommand : public JournalTest {
protected:
    std::wstring JournalAndDelete(std::wstring_view subKey, std::wstring_view deleteAs = {})
    {
        return RunJournal([&](Remover::Processor& p) {
            ASSERT_EQ(p.Execute(L"DelRegKey", Key(subKey), nullptr, nullptr), 0u);
            DeleteKey(deleteAs.empty() ? subKey : deleteAs);
        });
    }
    std::vector<std::wstring> ValueOrder(std::wstring_view subKey)
    {
        Platform::UniqueKey key;
        EXPECT_EQ(Reg().OpenKey(ScratchKey(), subKey, Platform::KeyAccess::Read, key.put()), 0u);
        std::vector<std::wstring> names;
        std::wstring name;
        uint32_t type = 0;
        for (uint32_t i = 0; Reg().EnumValue(key.get(), i, &name, &type) == 0; ++i) {
            names.push_back(name);
        }
        return names;
    }
};

TEST_F(DelRegKeyCommand, SubkeysComeInReverseIndexOrderBeforeTheValuesAndTheTreeComesBack)
{
    WriteDword(L"k\\a", L"in a", 1);
    WriteValue(L"k\\b", L"in b", Binary, {});
    WriteDword(L"k", L"first", 1);
    WriteString(L"k", L"second", L"two");
    WriteValue(L"k", L"third", Binary, {3, 3, 3});
    const TreeState before = Tree();
    const std::wstring journal = JournalAndDelete(L"k");

    Remover::Reader reader;
    ASSERT_EQ(reader.Open(journal, Header(), kHeaderLength), 0u);
    ASSERT_EQ(reader.EnterBlock(), 0u);
    std::wstring text;
    ASSERT_EQ(reader.ReadString(&text), 0u);
    EXPECT_EQ(text, L"HKCU");
    ASSERT_EQ(reader.GetBlockTag(), 'K');
    ASSERT_EQ(reader.EnterBlock(), 0u);
    ASSERT_EQ(reader.ReadString(&text), 0u);
    EXPECT_EQ(text, KeyPath(L"k"));
    std::vector<std::wstring> order;
    while (reader.GetType() == Record::BlockStart) {
        const uint8_t tag = reader.GetBlockTag();
        ASSERT_EQ(reader.EnterBlock(), 0u);
        ASSERT_EQ(reader.ReadString(&text), 0u);
        order.push_back(std::wstring(1, static_cast<wchar_t>(tag)) + L":" + text);
        ASSERT_EQ(reader.LeaveBlock(), 0u);
    }
    EXPECT_EQ(order, (std::vector<std::wstring>{L"K:b", L"K:a", L"V:third", L"V:second", L"V:first"}));
    (void)reader.Close();

    ASSERT_EQ(Replay(journal), 0u);
    EXPECT_EQ(Tree(), before);
    EXPECT_EQ(ValueOrder(L"k"), (std::vector<std::wstring>{L"first", L"second", L"third"}));
}

TEST_F(DelRegKeyCommand, KeyNamesComeBackSpelledAsTheyWere)
{
    WriteDword(L"MixedCase\\Inner KEY", L"v", 1);
    const TreeState before = Tree();
    const std::wstring journal = JournalAndDelete(L"mixedcase", L"MixedCase");
    ASSERT_EQ(Replay(journal), 0u);
    EXPECT_EQ(Tree(), before);
}

TEST_F(DelRegKeyCommand, DeepTreesAndLongNamesComeBack)
{
    std::wstring path = L"deep";
    for (int level = 0; level < 40; ++level) {
        path += L"\\level" + std::to_wstring(level);
        WriteDword(path, std::wstring(300, static_cast<wchar_t>(L'a' + level % 26)), static_cast<uint32_t>(level));
    }
    WriteDword(L"deep\\" + std::wstring(255, L'K'), L"long key name", 1);
    const TreeState before = Tree();
    const std::wstring journal = JournalAndDelete(L"deep");
    ASSERT_EQ(Replay(journal), 0u);
    EXPECT_EQ(Tree(), before);
}

TEST_F(DelRegKeyCommand, AMissingKeyWritesNothing)
{
    EXPECT_TRUE(RunJournal([&](Remover::Processor& p) {
                    EXPECT_EQ(p.Execute(L"DelRegKey", Key(L"absent"), nullptr, nullptr), 0u);
                }).empty());
}

TEST_F(DelRegKeyCommand, ACancelledWalkRecordsNothing)
{
    WriteDword(L"k\\a", L"v", 1);
    Platform::UniqueEvent cancel(Os().Threads().CreateEvent(true, true));
    EXPECT_TRUE(RunJournal([&](Remover::Processor& p) {
                    EXPECT_EQ(p.Execute(L"DelRegKey", Key(L"k"), nullptr, cancel.get()), Err::Cancelled);
                }).empty());
}

TEST_F(DelRegKeyCommand, AKeyBlockHoldingAnotherTagIsRefusedWhole)
{
    JournalBuilder b;
    b.Header().Start().Begin(Remover::DeleteRegKey::kTag).Wide(L"HKCU").Begin('K').Wide(KeyPath(L"made"));
    b.Begin('V').Wide(L"v").Int(4).Data({1, 0, 0, 0}).Finish();
    b.Begin('X').Wide(L"stray").Finish();
    b.Finish().Finish().End();
    Remover::ReplayReport report;
    EXPECT_EQ(Replay(PutJournal(L"1.arch", b.Get()), &report), Remover::Format::kReplayIncomplete);
    ASSERT_EQ(report.failed.size(), 1u);
    EXPECT_FALSE(KeyExists(L"made")) << "nothing of a refused block is restored";
}

TEST_F(DelRegKeyCommand, SubkeyNamesWithABackslashAreRefused)
{
    JournalBuilder b;
    b.Header().Start().Begin(Remover::DeleteRegKey::kTag).Wide(L"HKCU").Begin('K').Wide(KeyPath(L"made"));
    b.Begin('K').Wide(L"..\\..\\elsewhere").Finish();
    b.Finish().Finish().End();
    EXPECT_EQ(Replay(PutJournal(L"1.arch", b.Get())), Remover::Format::kReplayIncomplete);
    EXPECT_FALSE(KeyExists(L"made"));
}

TEST_F(DelRegKeyCommand, KeyBlocksNestedDeeperThanTheRegistryAllowsAreRefused)
{
    // The scratch key is itself a few levels deep, so the accepted tree stays
    // within what a real registry holds.
    for (uint32_t depth : {500u, Remover::Format::kMaxKeyDepth + 1}) {
        JournalBuilder b;
        b.Header().Start().Begin(Remover::DeleteRegKey::kTag).Wide(L"HKCU").Begin('K').Wide(KeyPath(L"deep"));
        for (uint32_t i = 1; i < depth; ++i) {
            b.Begin('K').Wide(L"d");
        }
        for (uint32_t i = 0; i < depth; ++i) {
            b.Finish();
        }
        b.Finish().End();
        Remover::ReplayReport report;
        (void)Replay(PutJournal(L"1.arch", b.Get()), &report);
        if (depth > Remover::Format::kMaxKeyDepth) {
            EXPECT_EQ(report.damaged.size(), 1u);
            EXPECT_FALSE(KeyExists(L"deep"));
        } else {
            EXPECT_EQ(report.restored, 1u) << report.failed.size();
            EXPECT_TRUE(KeyExists(L"deep"));
            DeleteKey(L"deep");
        }
    }
}

#ifndef _WIN32
TEST_F(DelRegKeyCommand, ASubkeyThatCannotBeReadFailsTheJournalAndTheChangeMustNotBeMade)
{
    WriteDword(L"first", L"v", 1);
    WriteDword(L"k\\a\\b", L"v", 1);
    Platform::Status failed = 0;
    const std::wstring journal = RunJournal([&](Remover::Processor& p) {
        ASSERT_EQ(p.Execute(L"DelRegValue", Value(L"first", L"v"), nullptr, nullptr), 0u);
        Portable().Faults().FailWhen(
            Platform::Portable::Operation::OpenKey,
            [](const Platform::Portable::FaultSubject& s) {
                return s.path.size() >= 2 && s.path.substr(s.path.size() - 2) == L"\\b";
            },
            Err::AccessDenied);
        failed = p.Execute(L"DelRegKey", Key(L"k"), nullptr, nullptr);
        Portable().Faults().Clear();
    });
    EXPECT_EQ(failed, Err::AccessDenied);
    ASSERT_FALSE(journal.empty());
    Remover::ReplayReport report;
    ASSERT_EQ(Replay(journal, &report), 0u);
    EXPECT_EQ(report.blocks, 1u) << "no partial block was left";
    EXPECT_FALSE(report.tornTail);
}
#endif

}  // namespace
