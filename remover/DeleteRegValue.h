#pragma once
// "DelRegValue": journalled before a registry value is deleted or
// overwritten. Its block (tag 3) holds the root name, the key path, the value
// name as stored, the value's type and its bytes; the restore sets the value
// back, creating the key when it is missing.
#include <string_view>

#include "core/platform/Platform.h"
#include "remover/CommandParameters.h"
#include "remover/ICommand.h"

namespace Remover {

class DeleteRegValue final : public ICommand {
public:
    using Parameters = ValueParameters;
    static constexpr std::wstring_view kName = L"DelRegValue";
    static constexpr uint8_t kTag = 3;

    // Nothing is written when the key or the value does not exist.
    [[nodiscard]] uint32_t Journal(const RTI::Reference<IArguments>& arguments, RTI::IWriter& writer, RTI::ITracer* tracer,
                     Platform::EventHandle cancel) override;
    [[nodiscard]] uint32_t Restore(RTI::IReader& reader, RTI::ITracer* tracer, Platform::EventHandle cancel) override;
};

// Writes the block of an existing value of the open key: what the value holds
// now. 2 when the value does not exist (nothing is written then).
[[nodiscard]] uint32_t JournalValueContent(RTI::IWriter& writer, std::wstring_view rootName, Platform::KeyHandle key,
                                           std::wstring_view keyPath, std::wstring_view valueName,
                                           NameSpelling spelling = NameSpelling::AsGiven);

}  // namespace Remover
