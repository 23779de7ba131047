#include "tweaker/JournalCall.h"

#include "remover/CommandParameters.h"
#include "remover/Processor.h"

namespace Tweaker {
namespace {

bool Record(Remover::Processor* journal, const wchar_t* command, RTI::Reference<Remover::IArguments> arguments,
            Platform::EventHandle cancel)
{
    if (journal == nullptr || !journal->IsOpen()) {
        return true;
    }
    return journal->Execute(command, std::move(arguments), nullptr, cancel) == 0;
}

}  // namespace

bool RecordKey(Remover::Processor* journal, const wchar_t* command, Platform::KeyHandle root, std::wstring_view keyPath,
               Platform::EventHandle cancel)
{
    return Record(journal, command, new Remover::KeyParameters(root, std::wstring(keyPath)), cancel);
}

bool RecordValue(Remover::Processor* journal, const wchar_t* command, Platform::KeyHandle root,
                 std::wstring_view keyPath, std::wstring_view valueName, Platform::EventHandle cancel,
                 bool nameAsStored)
{
    const auto spelling = nameAsStored ? Remover::NameSpelling::AsStored : Remover::NameSpelling::AsGiven;
    return Record(journal, command,
                  new Remover::ValueParameters(root, std::wstring(keyPath), std::wstring(valueName), spelling), cancel);
}

bool RecordFile(Remover::Processor* journal, const wchar_t* command, std::wstring_view path,
                Platform::EventHandle cancel)
{
    return Record(journal, command, new Remover::FileParameters(std::wstring(path)), cancel);
}

}  // namespace Tweaker
