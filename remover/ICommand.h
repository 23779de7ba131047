#pragma once
// A journal command: one kind of change the tune-up makes. Journal records,
// just before the change, the state the change will destroy, as one top-level
// block tagged with the command's tag; Restore undoes the change from that
// block.
#include <cstdint>

#include "core/platform/Platform.h"
#include "core/rti/Dynamic.h"
#include "core/rti/IReader.h"
#include "core/rti/ITracer.h"
#include "core/rti/IWriter.h"
#include "core/rti/Reference.h"
#include "remover/IArguments.h"

namespace Remover {

class ICommand : public RTI::Dynamic {
public:
    // 87 when the arguments are not this command's Parameters. Nothing is
    // written when there is nothing to undo (the value, key or file does not
    // exist). On an error, what the command wrote is left for the caller to
    // cut back (Processor::Execute does).
    [[nodiscard]] virtual uint32_t Journal(const RTI::Reference<IArguments>& arguments, RTI::IWriter& writer, RTI::ITracer* tracer,
                             Platform::EventHandle cancel) = 0;
    // Called with the reader on the start of this command's block; reads the
    // whole block and checks it before it changes anything, so a block it
    // refuses is not restored at all. Leaves the reader after the block.
    [[nodiscard]] virtual uint32_t Restore(RTI::IReader& reader, RTI::ITracer* tracer, Platform::EventHandle cancel) = 0;
};

// Where a replay finds the command for a block tag (the restore processor).
class ICommandSource {
public:
    // Null when no command has that tag.
    virtual RTI::Reference<ICommand> GetCommand(uint8_t tag) = 0;

protected:
    ~ICommandSource() = default;
};

}  // namespace Remover
