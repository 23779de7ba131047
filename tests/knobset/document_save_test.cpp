// Saving a tweak file never destroys the one already there: the new text goes
// to a temporary file beside it, is flushed, and replaces the old file in one
// step. Whatever step fails, the old file is whole and the error comes back.
#include <gtest/gtest.h>

#include "core/platform/Errors.h"
#include "core/platform/Handles.h"
#include "tests/knobset/KnobsetTesting.h"
#include "tests/support/Scratch.h"
#include "utils/Knobset/document/DocumentWriter.h"

namespace {

using namespace Knobset;
using KnobsetTesting::Read;

constexpr char kOldFile[] = "<Tweaks>\r\n  <Category n=\"Old\" i=\"\"/>\r\n</Tweaks>\r\n";

class DocumentSave : public Testing::ScratchTest {
protected:
    void SetUp() override
    {
        ScratchTest::SetUp();
        path_ = PathOf(L"user tweaks.xml");
        WriteFile(path_, kOldFile);
    }

    static Document NewText() { return Read(L"<Tweaks><Category n=\"New\" i=\"x\"/></Tweaks>"); }

    std::wstring path_;
};

TEST_F(DocumentSave, ReplacesTheFileAndLeavesNoTemporaryFile)
{
    ASSERT_EQ(WriteDocument(path_, NewText()), 0u);
    EXPECT_EQ(ReadFile(path_), "<Tweaks>\r\n  <Category n=\"New\" i=\"x\"/>\r\n</Tweaks>\r\n");
    EXPECT_FALSE(Exists(path_ + L".tmp"));
}

TEST_F(DocumentSave, AFileHeldOpenByAnotherHandleStaysWhole)
{
    Platform::UniqueFile holder;
    ASSERT_EQ(Fs().CreateFile(path_, Platform::FileAccess::Read, Platform::Disposition::OpenExisting, holder.put()),
              0u);

    const Platform::Status status = WriteDocument(path_, NewText());
    EXPECT_TRUE(status == Err::SharingViolation || status == Err::AccessDenied) << status;
    holder.reset();
    EXPECT_EQ(ReadFile(path_), kOldFile);
    EXPECT_FALSE(Exists(path_ + L".tmp"));
}

#ifndef _WIN32
// Every step of the save failing in turn: the error comes back, the old file
// is unchanged and the temporary file is gone.
TEST_F(DocumentSave, AFailureAtAnyStepLeavesTheOldFileWhole)
{
    using Platform::Portable::Operation;
    const struct {
        Operation op;
        Platform::Status error;
    } cases[] = {
        {Operation::CreateFile, Err::AccessDenied},  // the temporary file cannot be made
        {Operation::WriteFile, Err::DiskFull},
        {Operation::FlushFile, Err::WriteFault},
        {Operation::MoveFile, Err::SharingViolation},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.op));
        Portable().Faults().FailWhen(
            c.op, [](const auto&) { return true; }, c.error, 1);
        EXPECT_EQ(WriteDocument(path_, NewText()), c.error);
        Portable().Faults().Clear();
        EXPECT_EQ(ReadFile(path_), kOldFile);
        EXPECT_FALSE(Exists(path_ + L".tmp"));
    }
}
#endif

}  // namespace
