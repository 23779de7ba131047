#pragma once
// Remover::Processor owns the journal writer of a tune-up run and the table
// of journal commands. The tweak items call Execute by command name just
// before each change; the restore hands the processor to Reader::Replay as
// its source of commands by block tag.
#include <cstdint>
#include <map>
#include <string>
#include <string_view>

#include "core/rti/Dynamic.h"
#include "core/rti/IgnoreCaseStringComparator.h"
#include "core/rti/Reference.h"
#include "remover/ICommand.h"
#include "remover/Writer.h"

namespace Remover {

class Processor : public RTI::Dynamic, public ICommandSource {
public:
    Processor() = default;
    ~Processor() override;

    // Empties the name table and fills both tables with one new object of
    // each command. Returns 0.
    virtual uint32_t RegisterCommands();
    // Opens the writer on a new journal in backupFolder; on success the
    // processor is open and the commands are registered.
    [[nodiscard]] virtual uint32_t Open(std::wstring_view backupFolder, const uint8_t* header, size_t headerLength);
    // Empties the name table and closes the writer, returning its result.
    [[nodiscard]] virtual uint32_t Close();
    // For a run whose thread was terminated: the journal is cut back to its
    // last complete block and closed (Writer::Abandon); nothing is allocated
    // or freed. The command tables stay until the next Open.
    Platform::Status Abandon();
    RTI::Reference<ICommand> GetCommand(uint8_t tag) override;
    // Journals the change about to be made: the named command (matched
    // ignoring case) writes its block, which is on the disk when Execute
    // returns 0. On an error the journal is cut back to where it was, and the
    // caller must not make the change. 87 for a null name, 1 for an unknown
    // one, -1 when no journal is open, the writer's refusal after a failed cut.
    [[nodiscard]] virtual uint32_t Execute(const wchar_t* name, RTI::Reference<IArguments> arguments,
                                           RTI::ITracer* tracer, Platform::EventHandle cancel);

    bool IsOpen() const { return open_; }
    Writer& GetWriter() { return writer_; }

private:
    Writer writer_;
    std::map<std::wstring, RTI::Reference<ICommand>, RTI::IgnoreCaseStringComparator> names_;
    std::map<uint8_t, RTI::Reference<ICommand>> tags_;
    bool open_ = false;
};

}  // namespace Remover
