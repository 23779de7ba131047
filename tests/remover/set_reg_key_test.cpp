#include <gtest/gtest.h>

#include "remover/SetRegKey.h"
#include "tests/remover/JournalFixture.h"

namespace {

using namespace JournalTesting;

class SetRegKeyCommand : public JournalTest {
protected:
    void CreateKey(std::wstring_view subKey)
    {
        Platform::UniqueKey key;
        bool created = false;
        ASSERT_EQ(Reg().CreateKey(ScratchKey(), subKey, key.put(), &created), 0u);
    }
};

TEST_F(SetRegKeyCommand, RestoreDeletesEveryLevelTheCreationAdded)
{
    CreateKey(L"exists");
    const TreeState before = Tree();
    const std::wstring journal = RunJournal([&](Remover::Processor& p) {
        ASSERT_EQ(p.Execute(L"SetRegKey", Key(L"exists\\new\\deeper\\deepest"), nullptr, nullptr), 0u);
        CreateKey(L"exists\\new\\deeper\\deepest");
    });
    JournalBuilder expected;
    expected.Header()
        .Start()
        .Begin(Remover::SetRegKey::kTag)
        .Wide(L"HKCU")
        .Wide(KeyPath(L"exists\\new"))
        .Finish()
        .End();
    EXPECT_EQ(BytesOf(journal), expected.Get()) << "the outermost missing level is recorded";
    WriteDword(L"exists\\new\\deeper", L"added since", 1);
    ASSERT_EQ(Replay(journal), 0u);
    EXPECT_EQ(Tree(), before);
}

TEST_F(SetRegKeyCommand, AKeyThatExistsIsNotJournalled)
{
    CreateKey(L"exists");
    WriteDword(L"exists", L"keep me", 1);
    const std::wstring journal = RunJournal(
        [&](Remover::Processor& p) { ASSERT_EQ(p.Execute(L"SetRegKey", Key(L"EXISTS"), nullptr, nullptr), 0u); });
    EXPECT_TRUE(journal.empty());
}

TEST_F(SetRegKeyCommand, AKeyTheUserAlreadyDeletedCountsAsRestored)
{
    const std::wstring journal = RunJournal([&](Remover::Processor& p) {
        ASSERT_EQ(p.Execute(L"SetRegKey", Key(L"new"), nullptr, nullptr), 0u);
        CreateKey(L"new");
    });
    DeleteKey(L"new");
    Remover::ReplayReport report;
    EXPECT_EQ(Replay(journal, &report), 0u);
    EXPECT_EQ(report.restored, 1u);
}

TEST_F(SetRegKeyCommand, BadKeyPathsAreRefused)
{
    RunJournal([&](Remover::Processor& p) {
        RTI::Reference<Remover::IArguments> empty(new Remover::KeyParameters(ScratchRoot(), L"\\\\"));
        EXPECT_EQ(p.Execute(L"SetRegKey", empty, nullptr, nullptr), Err::InvalidParameter);
        EXPECT_EQ(p.Execute(L"SetRegKey", File(L"x"), nullptr, nullptr), Err::InvalidParameter);
    });
    EXPECT_TRUE(Journals().empty());
}

}  // namespace
