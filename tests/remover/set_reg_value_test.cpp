#include <gtest/gtest.h>

#include "remover/Format.h"
#include "remover/SetRegValue.h"
#include "tests/remover/JournalFixture.h"

namespace {

using namespace JournalTesting;
namespace Record = Remover::Format::Record;

class SetRegValueCommand : public JournalTest {};

TEST_F(SetRegValueCommand, RestoreDeletesTheCreatedValue)
{
    WriteDword(L"k", L"old", 1);
    const TreeState before = Tree();
    const std::wstring journal = RunJournal([&](Remover::Processor& p) {
        ASSERT_EQ(p.Execute(L"SetRegValue", Value(L"k", L"new"), nullptr, nullptr), 0u);
        WriteDword(L"k", L"new", 2);
    });
    ASSERT_EQ(Replay(journal), 0u);
    EXPECT_EQ(Tree(), before);
}

TEST_F(SetRegValueCommand, TheBlockHoldsRootKeyPathAndValueName)
{
    WriteDword(L"k", L"old", 1);
    const std::wstring journal = RunJournal([&](Remover::Processor& p) {
        ASSERT_EQ(p.Execute(L"SetRegValue", Value(L"k", L"new"), nullptr, nullptr), 0u);
    });
    JournalBuilder expected;
    expected.Header().Start().Begin(Remover::SetRegValue::kTag).Wide(L"HKCU").Wide(KeyPath(L"k")).Wide(L"new");
    expected.Finish().End();
    EXPECT_EQ(BytesOf(journal), expected.Get());
}

TEST_F(SetRegValueCommand, AValueAlreadyGoneOrAKeyAlreadyGoneCountsAsRestored)
{
    WriteDword(L"k", L"old", 1);
    WriteDword(L"k2", L"old", 1);
    const std::wstring journal = RunJournal([&](Remover::Processor& p) {
        ASSERT_EQ(p.Execute(L"SetRegValue", Value(L"k", L"new"), nullptr, nullptr), 0u);
        ASSERT_EQ(p.Execute(L"SetRegValue", Value(L"k2", L"new"), nullptr, nullptr), 0u);
    });
    DeleteKey(L"k2");
    Remover::ReplayReport report;
    EXPECT_EQ(Replay(journal, &report), 0u);
    EXPECT_EQ(report.restored, 2u);
}

TEST_F(SetRegValueCommand, AValueSetInAMissingKeyIsUndoneWithTheKeys)
{
    const TreeState before = Tree();
    const std::wstring journal = RunJournal([&](Remover::Processor& p) {
        ASSERT_EQ(p.Execute(L"SetRegValue", Value(L"a\\b\\c", L"v"), nullptr, nullptr), 0u);
        WriteDword(L"a\\b\\c", L"v", 5);
    });
    ASSERT_EQ(Replay(journal), 0u);
    EXPECT_EQ(Tree(), before);
    EXPECT_FALSE(KeyExists(L"a"));
}

TEST_F(SetRegValueCommand, AValueThatAlreadyExistsGetsItsContentBack)
{
    WriteString(L"k", L"v", L"was here");
    const TreeState before = Tree();
    const std::wstring journal = RunJournal([&](Remover::Processor& p) {
        ASSERT_EQ(p.Execute(L"SetRegValue", Value(L"k", L"v"), nullptr, nullptr), 0u);
        WriteDword(L"k", L"v", 5);
    });
    ASSERT_EQ(Replay(journal), 0u);
    EXPECT_EQ(Tree(), before);
}

}  // namespace
