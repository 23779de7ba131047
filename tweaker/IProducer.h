#pragma once
// Producers create the model's objects by element name while a tweak file
// loads, and carry what loading needs besides: the running system's code, the
// stored configuration and the snapshot of the file's own values.
#include <string>
#include <string_view>

#include "core/rti/Factory.h"
#include "core/rti/Reference.h"
#include "tweaker/IItem.h"
#include "tweaker/ITweak.h"
#include "tweaker/TweakValues.h"

namespace Tweaker {

class IItemProducer {
public:
    // Null for a name nothing is registered for.
    virtual RTI::Reference<IItem> Create(std::wstring_view elementName) = 0;

protected:
    ~IItemProducer() = default;
};

// Items by element name, looked up without regard to case.
class ItemProducer final : public IItemProducer {
public:
    // "Key", "File", "Shortcut".
    void RegisterDefaults();
    RTI::Reference<IItem> Create(std::wstring_view elementName) override;
    RTI::FactoryRegistry<IItem>& Factories() { return factories_; }

private:
    RTI::FactoryRegistry<IItem> factories_;
};

class IProducer {
public:
    // Null for a name nothing is registered for.
    virtual RTI::Reference<ITweak> Create(std::wstring_view elementName) = 0;
    virtual IItemProducer& Items() = 0;
    // The running system's code; objects above it are dropped.
    virtual int RunningSystem() = 0;
    // The stored selections and values (may be null).
    virtual const TweakValuesMap* ConfigValues() = 0;
    // Where tweaks record their values as the file gives them (may be null).
    virtual TweakValuesMap* DefaultValues() = 0;
    // Groups call these around their own loading; false when the nesting is
    // too deep, and the group is then dropped.
    virtual bool EnterGroup() = 0;
    virtual void LeaveGroup() = 0;

protected:
    ~IProducer() = default;
};

}  // namespace Tweaker
