#pragma once
#include <map>
#include <string>
#include <string_view>

#include "core/rti/Dynamic.h"
#include "core/rti/IgnoreCaseStringComparator.h"
#include "core/rti/Reference.h"

namespace RTI {

// Each family X read from XML nests these two in its interface:
//
//   class ITweak : public RTI::Dynamic {
//   public:
//       using IFactory = RTI::FactoryInterface<ITweak>;
//       template <class T> using FactoryOf = RTI::FactoryFor<ITweak, T>;
//       ...
//   };
template <class X>
class FactoryInterface : public Dynamic {
public:
    // A new object held by a Reference (count 1).
    virtual Reference<X> Create() = 0;
};

template <class X, class T>
class FactoryFor : public FactoryInterface<X> {
public:
    Reference<X> Create() override { return Reference<X>(new T()); }
};

// Element name -> factory, looked up without regard to case.
template <class X>
using FactoryRegistry = std::map<std::wstring, Reference<FactoryInterface<X>>, IgnoreCaseStringComparator>;

// Creates the object registered for an element name; empty when there is none
// (the loader then skips the element).
template <class X>
Reference<X> CreateFromRegistry(const FactoryRegistry<X>& registry, std::wstring_view elementName)
{
    auto it = registry.find(elementName);
    if (it == registry.end() || !it->second) {
        return {};
    }
    return it->second->Create();
}

template <class X, class T>
void RegisterFactory(FactoryRegistry<X>& registry, std::wstring name)
{
    registry.emplace(std::move(name), Reference<FactoryInterface<X>>(new FactoryFor<X, T>()));
}

}  // namespace RTI
