#include "utils/Knobset/document/DefaultCategories.h"

namespace Knobset {

namespace {

constexpr DefaultCategory kCategories[] = {
    {L"Windows/System", L"AQUA.MENU.WINDOWSSYS"},     {L"Filesystem", L"AQUA.MENU.FILESYS"},
    {L"Network/Internet", L"AQUA.MENU.NETWORK"},      {L"Configuration/Appearance", L"AQUA.MENU.CONFIGAPPEARENCE"},
    {L"Security Leaks", L"AQUA.MENU.SECURITYLEAKS"},  {L"Privacy Leaks", L"AQUA.MENU.PRIVACYLEAKS"},
    {L"Applications Tuning", L"AQUA.MENU.APPTUNING"}, {L"CPU/Memory/Hardware", L"AQUA.MENU.CPUMEMHARD"},
};

}  // namespace

std::span<const DefaultCategory> DefaultCategories()
{
    return kCategories;
}

Document NewDocument()
{
    Document document;
    for (const DefaultCategory& c : kCategories) {
        Category category;
        category.name = c.name;
        category.icon = c.icon;
        document.categories.push_back(std::move(category));
    }
    return document;
}

}  // namespace Knobset
