#include <gtest/gtest.h>

#include "remover/DeleteRegValue.h"
#include "tests/remover/JournalFixture.h"

namespace {

using namespace JournalTesting;
using Platform::RegType::Binary;
using Platform::RegType::Dword;

class DelRegValueCommand : public JournalTest {
protected:
    // Journals "DelRegValue" for subKey\name, then deletes the value.
    std::wstring JournalAndDelete(std::wstring_view subKey, std::wstring_view name)
    {
        return RunJournal([&](Remover::Processor& p) {
            ASSERT_EQ(p.Execute(L"DelRegValue", Value(subKey, name), nullptr, nullptr), 0u);
            Platform::UniqueKey key;
            if (Reg().OpenKey(ScratchKey(), subKey, Platform::KeyAccess::Change, key.put()) == 0) {
                (void)Reg().DeleteValue(key.get(), name);
            }
        });
    }
};

TEST_F(DelRegValueCommand, RestoresTypeAndBytesOfADeletedValue)
{
    WriteValue(L"k", L"bin", Binary, {0, 1, 0, 255});
    const TreeState before = Tree();
    const std::wstring journal = JournalAndDelete(L"k", L"bin");
    ASSERT_FALSE(journal.empty());
    EXPECT_NE(Tree(), before);
    ASSERT_EQ(Replay(journal), 0u);
    EXPECT_EQ(Tree(), before);
}

TEST_F(DelRegValueCommand, RestoresAnEmptyValueAndTheDefaultValue)
{
    WriteValue(L"k", L"", Platform::RegType::Sz, Testing::StringBytes(L"default"));
    WriteValue(L"k", L"empty", Binary, {});
    const TreeState before = Tree();
    const std::wstring journal = RunJournal([&](Remover::Processor& p) {
        ASSERT_EQ(p.Execute(L"DelRegValue", Value(L"k", L""), nullptr, nullptr), 0u);
        ASSERT_EQ(p.Execute(L"DelRegValue", Value(L"k", L"empty"), nullptr, nullptr), 0u);
    });
    DeleteKey(L"k");
    ASSERT_EQ(Replay(journal), 0u);
    EXPECT_EQ(Tree(), before) << "the key is created again for the values";
}

TEST_F(DelRegValueCommand, RestoresTheOldTypeOfAnOverwrittenValue)
{
    WriteDword(L"k", L"v", 7);
    const TreeState before = Tree();
    const std::wstring journal = RunJournal([&](Remover::Processor& p) {
        ASSERT_EQ(p.Execute(L"DelRegValue", Value(L"k", L"v"), nullptr, nullptr), 0u);
        WriteString(L"k", L"v", L"now a string");
    });
    ASSERT_EQ(Replay(journal), 0u);
    EXPECT_EQ(Tree(), before);
}

TEST_F(DelRegValueCommand, AMissingValueOrKeyWritesNothingAndLeavesNoBackupPoint)
{
    WriteDword(L"k", L"present", 1);
    const std::wstring journal = RunJournal([&](Remover::Processor& p) {
        EXPECT_EQ(p.Execute(L"DelRegValue", Value(L"k", L"absent"), nullptr, nullptr), 0u);
        EXPECT_EQ(p.Execute(L"DelRegValue", Value(L"nokey", L"v"), nullptr, nullptr), 0u);
    });
    EXPECT_TRUE(journal.empty());
    EXPECT_TRUE(Journals().empty());
}

TEST_F(DelRegValueCommand, TheNameIsRecordedAsStoredLetterCaseIncluded)
{
    WriteDword(L"k", L"MixedCase", 3);
    const TreeState before = Tree();
    const std::wstring journal = JournalAndDelete(L"k", L"mixedcase");
    ASSERT_EQ(Replay(journal), 0u);
    EXPECT_EQ(Tree(), before);
}

TEST_F(DelRegValueCommand, LongNamesAndLargeValuesComeBackWhole)
{
    const std::wstring longName(10000, L'n');
    std::vector<uint8_t> big(3 * 1024 * 1024);
    for (size_t i = 0; i < big.size(); ++i) {
        big[i] = static_cast<uint8_t>(i * 7 + (i >> 9));
    }
    WriteValue(L"k", longName, Binary, big);
    const TreeState before = Tree();
    const std::wstring journal = JournalAndDelete(L"k", longName);
    ASSERT_EQ(Replay(journal), 0u);
    EXPECT_EQ(Tree(), before);
}

TEST_F(DelRegValueCommand, ArgumentsOfAnotherLayoutAreRefused)
{
    WriteDword(L"k", L"v", 1);
    RunJournal([&](Remover::Processor& p) {
        EXPECT_EQ(p.Execute(L"DelRegValue", Key(L"k"), nullptr, nullptr), Err::InvalidParameter);
        EXPECT_EQ(p.Execute(L"DelRegValue", nullptr, nullptr, nullptr), Err::InvalidParameter);
        RTI::Reference<Remover::IArguments> unknownRoot(
            new Remover::ValueParameters(Platform::PredefinedKey(0x12345), L"k", L"v"));
        EXPECT_EQ(p.Execute(L"DelRegValue", unknownRoot, nullptr, nullptr), Err::InvalidParameter);
    });
    EXPECT_TRUE(Journals().empty());
}

TEST_F(DelRegValueCommand, ABlockWithAnUnknownRootIsRefusedAndChangesNothing)
{
    JournalBuilder b;
    b.Header().Start().Begin(Remover::DeleteRegValue::kTag).Wide(L"HKXX").Wide(KeyPath(L"k")).Wide(L"v").Int(Dword);
    b.Data({1, 0, 0, 0}).Finish().End();
    const std::wstring journal = PutJournal(L"1.arch", b.Get());
    Remover::ReplayReport report;
    EXPECT_EQ(Replay(journal, &report), Remover::Format::kReplayIncomplete);
    ASSERT_EQ(report.failed.size(), 1u);
    EXPECT_EQ(report.failed[0].error, Err::BadFormat);
    EXPECT_FALSE(KeyExists(L"k"));
}

}  // namespace
