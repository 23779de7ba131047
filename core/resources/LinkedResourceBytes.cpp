// Native builds: resources come from the table the build links in.
#ifndef _WIN32
#include "core/platform/Errors.h"
#include "core/resources/LinkedResources.h"
#include "core/resources/ResourceBytes.h"
#include "core/rti/IgnoreCaseStringComparator.h"

namespace Resources {

// Programs that embed resources define the table themselves; this weak one
// lets every other program link.
__attribute__((weak)) extern const LinkedResource kLinkedResources[] = {{nullptr, nullptr, nullptr, nullptr}};

uint32_t FindResourceBytes(std::wstring_view name, std::wstring_view type, std::span<const uint8_t>& bytes)
{
    for (const LinkedResource* r = kLinkedResources; r->name != nullptr; ++r) {
        if (RTI::EqualsIgnoreCase(type, r->type) && RTI::EqualsIgnoreCase(name, r->name)) {
            bytes = std::span<const uint8_t>(r->begin, static_cast<size_t>(r->end - r->begin));
            return Err::Success;
        }
    }
    return Err::ResourceNameNotFound;
}

}  // namespace Resources
#endif
