#pragma once
// "DelFile": journalled before a file is deleted or overwritten. Its block
// (tag 1) holds one saved-file record: the path and the copy its content was
// saved to (CopyStore.h); then, where the system can tell, a wide string with
// the final path of the file's folder (FinalParent.h), which older readers
// skip. The restore puts the content back, unless the folder now resolves
// elsewhere.
#include <string_view>

#include "core/platform/Platform.h"
#include "remover/CommandParameters.h"
#include "remover/ICommand.h"

namespace Remover {

class DeleteFileW final : public ICommand {
public:
    using Parameters = FileParameters;
    static constexpr std::wstring_view kName = L"DelFile";
    static constexpr uint8_t kTag = 1;

    // Nothing is written when the path is not an existing file. A path a
    // journal may not hold (JournalRules.h) is refused with 123.
    [[nodiscard]] uint32_t Journal(const RTI::Reference<IArguments>& arguments, RTI::IWriter& writer, RTI::ITracer* tracer,
                     Platform::EventHandle cancel) override;
    [[nodiscard]] uint32_t Restore(RTI::IReader& reader, RTI::ITracer* tracer, Platform::EventHandle cancel) override;
};

// Writes the block saving the content of the existing file at path; the copy
// name cache spares hashing a file saved before and unchanged since.
[[nodiscard]] uint32_t JournalFileContent(RTI::IWriter& writer, std::wstring_view path, uint64_t size,
                                          uint64_t lastWriteTime, Platform::EventHandle cancel);

}  // namespace Remover
