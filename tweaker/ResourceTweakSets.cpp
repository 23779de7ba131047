#include "core/platform/Errors.h"
#include "core/resources/CatalogueStream.h"
#include "core/rti/IgnoreCaseStringComparator.h"
#include "tweaker/ITweakSetSource.h"

namespace Tweaker {
namespace {

class ResourceSets final : public ITweakSetSource {
public:
    uint32_t ReadSet(std::wstring_view setName, std::string* utf8, std::wstring* where) override
    {
        const std::wstring_view resource = ResourceName(setName);
        if (resource.empty()) {
            return Err::FileNotFound;
        }
        *where = std::wstring(L"resource ") + std::wstring(resource);
        const uint32_t status = Resources::ReadCatalogueResource(*utf8, resource);
        return status == Err::ResourceNameNotFound ? Err::FileNotFound : status;
    }

private:
    static std::wstring_view ResourceName(std::wstring_view setName)
    {
        if (RTI::CompareIgnoreCase(setName, kBuiltInSet) == 0) {
            return Resources::kBuiltInCatalogue;
        }
        if (RTI::CompareIgnoreCase(setName, kSilverSet) == 0) {
            return L"SILVER";
        }
        if (RTI::CompareIgnoreCase(setName, kGoldSet) == 0) {
            return L"GOLD";
        }
        return {};
    }
};

}  // namespace

ITweakSetSource& ResourceTweakSets()
{
    static ResourceSets sets;  // stateless
    return sets;
}

}  // namespace Tweaker
