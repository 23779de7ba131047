#include "tweaker/Manager.h"

#include "core/system/OsVersion.h"
#include "tweaker/File.h"
#include "tweaker/Key.h"
#include "tweaker/Shortcut.h"
#include "tweaker/SimpleTweak.h"

namespace Tweaker {

void Manager::RegisterFactories()
{
    RTI::RegisterFactory<ITweak, SimpleTweak>(factories_, L"Tweak");
    RTI::RegisterFactory<ITweak, Group>(factories_, L"Category");
    RTI::RegisterFactory<ITweak, Group>(factories_, L"Group");
    RTI::RegisterFactory<ITweak, Application>(factories_, L"Application");
    items_.RegisterDefaults();
}

RTI::Reference<ITweak> Manager::Create(std::wstring_view elementName)
{
    return RTI::CreateFromRegistry(factories_, elementName);
}

int Manager::RunningSystem()
{
    return systemOverride_ >= 0 ? systemOverride_ : Sys::GetOsVersionCode();
}

bool Manager::EnterGroup()
{
    if (depth_ >= kMaxGroupDepth) {
        return false;
    }
    ++depth_;
    return true;
}

void Manager::LeaveGroup()
{
    if (depth_ > 0) {
        --depth_;
    }
}

bool Manager::LoadCategories(XmlDocument& document, std::vector<RTI::Reference<Group>>* categories)
{
    document.ResetPos();
    if (!document.FindElem() || document.GetTagName() != L"Tweaks") {
        return false;
    }
    while (document.FindChildElem()) {
        if (document.GetChildTagName() != L"Category" || !document.IntoElem()) {
            continue;
        }
        RTI::Reference<Group> category(new Group());
        const int loaded = category->Load(document, *this);
        (void)document.OutOfElem();
        if (loaded == 0) {
            categories->push_back(std::move(category));
        }
    }
    return true;
}

void Manager::CollectTweakValues(TweakValuesMap& map) const
{
    for (const auto& category : categories_) {
        category->CollectTweakValues(map);
    }
}

void ItemProducer::RegisterDefaults()
{
    RTI::RegisterFactory<IItem, Key>(factories_, L"Key");
    RTI::RegisterFactory<IItem, File>(factories_, L"File");
    RTI::RegisterFactory<IItem, Shortcut>(factories_, L"Shortcut");
}

RTI::Reference<IItem> ItemProducer::Create(std::wstring_view elementName)
{
    return RTI::CreateFromRegistry(factories_, elementName);
}

}  // namespace Tweaker
