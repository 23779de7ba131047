#pragma once
// "DelRegKey": journalled before a registry key is deleted. Its block (tag 2)
// holds the root name and one key block ('K'): the key's name (for the
// outermost one the key path, its last level spelled as stored), the key
// blocks of its subkeys from the highest index down to 0, then a value block
// ('V': name, type, bytes) for each value from the highest index down to 0.
// The restore recreates the tree with the same names, types and bytes.
#include <string_view>

#include "core/platform/Platform.h"
#include "remover/CommandParameters.h"
#include "remover/ICommand.h"

namespace Remover {

class DeleteRegKey final : public ICommand {
public:
    using Parameters = KeyParameters;
    static constexpr std::wstring_view kName = L"DelRegKey";
    static constexpr uint8_t kTag = 2;

    // Nothing is written when the key does not exist. A key tree deeper than
    // the registry allows is refused (-1); a signalled cancel event gives 1223.
    [[nodiscard]] uint32_t Journal(const RTI::Reference<IArguments>& arguments, RTI::IWriter& writer, RTI::ITracer* tracer,
                     Platform::EventHandle cancel) override;
    // The whole tree is read and checked before the first key is created.
    [[nodiscard]] uint32_t Restore(RTI::IReader& reader, RTI::ITracer* tracer, Platform::EventHandle cancel) override;
};

}  // namespace Remover
