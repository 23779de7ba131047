#include "remover/Processor.h"

#include "core/platform/Errors.h"
#include "remover/DeleteFileW.h"
#include "remover/DeleteRegKey.h"
#include "remover/DeleteRegValue.h"
#include "remover/RCreateFile.h"
#include "remover/SetRegKey.h"
#include "remover/SetRegValue.h"

namespace Remover {

namespace {

template <class Command>
void Register(std::map<std::wstring, RTI::Reference<ICommand>, RTI::IgnoreCaseStringComparator>& names,
              std::map<uint8_t, RTI::Reference<ICommand>>& tags)
{
    RTI::Reference<ICommand> command(new Command());
    names.insert_or_assign(std::wstring(Command::kName), command);
    tags.insert_or_assign(Command::kTag, command);
}

}  // namespace

Processor::~Processor()
{
    (void)Close();
}

uint32_t Processor::RegisterCommands()
{
    names_.clear();
    Register<DeleteFileW>(names_, tags_);
    Register<RCreateFile>(names_, tags_);
    Register<DeleteRegKey>(names_, tags_);
    Register<DeleteRegValue>(names_, tags_);
    Register<SetRegValue>(names_, tags_);
    Register<SetRegKey>(names_, tags_);
    return Err::Success;
}

uint32_t Processor::Open(std::wstring_view backupFolder, const uint8_t* header, size_t headerLength)
{
    const uint32_t s = writer_.Open(backupFolder, header, headerLength);
    if (s == Err::Success) {
        open_ = true;
        (void)RegisterCommands();
    }
    return s;
}

uint32_t Processor::Close()
{
    names_.clear();
    open_ = false;
    return writer_.Close();
}

Platform::Status Processor::Abandon()
{
    open_ = false;
    return writer_.Abandon();
}

RTI::Reference<ICommand> Processor::GetCommand(uint8_t tag)
{
    const auto it = tags_.find(tag);
    return it == tags_.end() ? RTI::Reference<ICommand>() : it->second;
}

uint32_t Processor::Execute(const wchar_t* name, RTI::Reference<IArguments> arguments, RTI::ITracer* tracer,
                            Platform::EventHandle cancel)
{
    if (name == nullptr) {
        return Err::InvalidParameter;
    }
    const auto it = names_.find(std::wstring_view(name));
    if (it == names_.end()) {
        return Err::InvalidFunction;
    }
    if (!writer_.IsOpen()) {
        return Err::BadFormat;
    }
    if (Platform::Status refused = writer_.Refusal()) {
        return refused;
    }
    const Writer::Mark mark = writer_.GetMark();
    uint32_t s = it->second->Journal(arguments, writer_, tracer, cancel);
    if (s == Err::Success && writer_.OpenBlocks() != 0) {
        s = Err::BadFormat;  // a command that left its block open recorded nothing complete
    }
    if (s != Err::Success) {
        // No partial block stays behind; a failed cut makes the writer refuse
        // every further block.
        (void)writer_.RollBack(mark);
    }
    return s;
}

}  // namespace Remover
