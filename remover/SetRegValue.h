#pragma once
// "SetRegValue": journalled before a registry value is created. Its block
// (tag 5) holds the root name, the key path and the value name; the restore
// deletes the value (a value already gone counts as restored).
//
// So that the undo is exact whatever the caller knows: when the key is
// missing, the key's creation is journalled instead ("SetRegKey"'s block),
// since setting the value will create it; and when the value already exists,
// its content is journalled ("DelRegValue"'s block), since setting it
// overwrites it.
#include <string_view>

#include "core/platform/Platform.h"
#include "remover/CommandParameters.h"
#include "remover/ICommand.h"

namespace Remover {

class SetRegValue final : public ICommand {
public:
    using Parameters = ValueParameters;
    static constexpr std::wstring_view kName = L"SetRegValue";
    static constexpr uint8_t kTag = 5;

    [[nodiscard]] uint32_t Journal(const RTI::Reference<IArguments>& arguments, RTI::IWriter& writer, RTI::ITracer* tracer,
                     Platform::EventHandle cancel) override;
    [[nodiscard]] uint32_t Restore(RTI::IReader& reader, RTI::ITracer* tracer, Platform::EventHandle cancel) override;
};

}  // namespace Remover
