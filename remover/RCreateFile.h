#pragma once
// "CreateFile": journalled before a file (or a folder) is created. Its block
// (tag 6) holds the path and, where the system can tell, a wide string with
// the final path of its folder (FinalParent.h; older readers skip it); the
// restore clears the attributes and removes the file there, or the folder
// there when it is empty, unless the folder now resolves elsewhere. A folder that is no
// longer empty (the user has put files in it since) is kept, and a path that
// is already gone counts as restored.
//
// So that the undo is exact whatever the caller knows: each missing folder
// above the path gets a block of its own first, outermost first, so the
// restore (which runs backwards) removes the file and then the folders; a
// file that already exists is saved as "DelFile" saves it, since creating it
// overwrites it; and nothing is journalled for a folder that exists.
#include <string_view>

#include "core/platform/Platform.h"
#include "remover/CommandParameters.h"
#include "remover/ICommand.h"

namespace Remover {

class RCreateFile final : public ICommand {
public:
    using Parameters = FileParameters;
    static constexpr std::wstring_view kName = L"CreateFile";
    static constexpr uint8_t kTag = 6;

    [[nodiscard]] uint32_t Journal(const RTI::Reference<IArguments>& arguments, RTI::IWriter& writer, RTI::ITracer* tracer,
                     Platform::EventHandle cancel) override;
    [[nodiscard]] uint32_t Restore(RTI::IReader& reader, RTI::ITracer* tracer, Platform::EventHandle cancel) override;
};

}  // namespace Remover
