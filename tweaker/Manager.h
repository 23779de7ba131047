#pragma once
// Tweaker::Manager: the catalogue. It produces the model's objects by element
// name while tweak files load, and holds the top-level categories in load
// order together with the stored configuration and the default snapshot.
#include <string>
#include <string_view>
#include <vector>

#include "core/rti/Factory.h"
#include "core/rti/Reference.h"
#include "tweaker/Group.h"
#include "tweaker/IProducer.h"
#include "tweaker/TweakValues.h"

namespace Tweaker {

class Manager final : public IProducer {
public:
    // Groups nested deeper than this are dropped while loading, so that no
    // file can exhaust the stack.
    static constexpr int kMaxGroupDepth = 64;

    Manager();

    // Tweak names "Tweak", "Category", "Group", "Application"; item names
    // "Key", "File", "Shortcut".
    void RegisterFactories();

    RTI::Reference<ITweak> Create(std::wstring_view elementName) override;
    IItemProducer& Items() override { return items_; }
    int RunningSystem() override;
    const TweakValuesMap* ConfigValues() override { return &config_; }
    TweakValuesMap* DefaultValues() override { return &defaults_; }
    bool EnterGroup() override;
    void LeaveGroup() override;

    // Loads the Category children of a tweak file's root Tweaks into
    // `categories` (not into the catalogue). False when the root is not Tweaks.
    bool LoadCategories(XmlDocument& document, std::vector<RTI::Reference<Group>>* categories);

    // Fixes the system code objects are compared with (tests; -1 = the
    // running system's).
    void SetSystemCodeOverride(int code) { systemOverride_ = code; }

    std::vector<RTI::Reference<Group>>& Categories() { return categories_; }
    TweakValuesMap& ConfigTweakValues() { return config_; }
    TweakValuesMap& DefaultTweakValues() { return defaults_; }
    RTI::FactoryRegistry<ITweak>& TweakFactories() { return factories_; }
    ItemProducer& ItemFactories() { return items_; }
    const std::wstring& FolderName() const { return folderName_; }
    void SetFolderName(std::wstring name) { folderName_ = std::move(name); }

    // Every category's tweaks into the map (existing entries kept).
    void CollectTweakValues(TweakValuesMap& map) const;

private:
    RTI::FactoryRegistry<ITweak> factories_;
    ItemProducer items_;
    std::vector<RTI::Reference<Group>> categories_;
    TweakValuesMap config_;
    TweakValuesMap defaults_;
    std::wstring folderName_;
    int depth_ = 0;
    int systemOverride_ = -1;
};

}  // namespace Tweaker
