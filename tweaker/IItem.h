#pragma once
// Tweaker::IItem: one thing a tweak changes (a registry key or value, a file,
// a shortcut). Items load from their element of the tweak file, say whether
// the machine already matches them, and make it match, journalling first.
#include <string>

#include "core/platform/Platform.h"
#include "core/rti/Dynamic.h"
#include "core/rti/Factory.h"
#include "core/xml/XmlDocument.h"

namespace Remover {
class Processor;
}

namespace Tweaker {

namespace EditKind {
constexpr int None = 0;
constexpr int Choices = 1;  // editable "set": a list of choices
constexpr int Range = 2;    // editable "range": a typed value
}  // namespace EditKind

class IItem : public RTI::Dynamic {
public:
    using IFactory = RTI::FactoryInterface<IItem>;
    template <class T>
    using FactoryOf = RTI::FactoryFor<IItem, T>;

    // "Key", "File" or "Shortcut".
    virtual std::wstring GetTypeName() const = 0;
    // File or shortcut name; empty for registry items.
    virtual std::wstring GetName() const = 0;
    // Folder or shortcut sub-folder; empty for registry items.
    virtual std::wstring GetPath() const = 0;
    virtual double GetWeight() const { return 0.0; }
    virtual int GetEditKind() const { return EditKind::None; }
    virtual int Reserved1() { return 0; }
    virtual int Reserved2() { return 0; }
    virtual int Reserved3() { return 0; }
    // Reads the item's element (the reader's current element); 0 = success.
    // An item that fails to load is dropped by its tweak.
    [[nodiscard]] virtual int Load(XmlDocument& reader) = 0;
    virtual int Reserved4() { return 0; }
    // True when the machine already matches the item.
    virtual bool Analyse() = 0;
    // Makes the change, recording each step in the journal (when one is
    // given and open) before making it; a step whose record fails is not
    // made and the result is false. An item in effect changes and records
    // nothing. The cancel event (optional) reaches the long steps. Returns,
    // as a rule, Analyse() after the change.
    virtual bool Apply(Remover::Processor* journal, Platform::EventHandle cancel) = 0;
};

}  // namespace Tweaker
