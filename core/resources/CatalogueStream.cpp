#include "core/resources/CatalogueStream.h"

#include <span>

#include "core/platform/Errors.h"
#include "core/resources/CatalogueFormat.h"
#include "core/resources/ResourceBytes.h"

namespace Resources {

uint32_t ReadCatalogueResource(std::string& text, std::wstring_view name)
{
    std::span<const uint8_t> bytes;
    if (const uint32_t rc = FindResourceBytes(name, kBinaryType, bytes); rc != Err::Success) {
        return rc;
    }
    return DecipherCatalogue(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()), text);
}

}  // namespace Resources
