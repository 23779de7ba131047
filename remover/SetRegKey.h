#pragma once
// "SetRegKey": journalled before a registry key is created. Creating a key
// creates every missing level above it too, so the block (tag 4) names the
// outermost level that does not exist yet; the restore deletes that key with
// everything below it. Nothing is journalled for a key that already exists:
// its creation changes nothing, and undoing it must not delete what was there.
#include <string_view>

#include "core/platform/Platform.h"
#include "remover/CommandParameters.h"
#include "remover/ICommand.h"

namespace Remover {

class SetRegKey final : public ICommand {
public:
    using Parameters = KeyParameters;
    static constexpr std::wstring_view kName = L"SetRegKey";
    static constexpr uint8_t kTag = 4;

    [[nodiscard]] uint32_t Journal(const RTI::Reference<IArguments>& arguments, RTI::IWriter& writer, RTI::ITracer* tracer,
                     Platform::EventHandle cancel) override;
    // A key that is already gone counts as restored.
    [[nodiscard]] uint32_t Restore(RTI::IReader& reader, RTI::ITracer* tracer, Platform::EventHandle cancel) override;
};

// Writes the block for creating root\keyPath (a normalized path), naming its
// outermost missing level; writes nothing when the key exists.
[[nodiscard]] uint32_t JournalKeyCreation(RTI::IWriter& writer, Platform::KeyHandle root, std::wstring_view rootName,
                                          std::wstring_view keyPath);

}  // namespace Remover
