#pragma once
// Config.xml: per tweak its selection and, for editable tweaks, the value
// chosen for each registry item.
//
//   <Tweaks>
//     <Tweak n="name" enabled="1"><ItmKeyVal n="" curval="" action="" path=""/></Tweak>
//   </Tweaks>
//
// Entries are written in map order; `path` only when not empty.
#include <string>

#include "core/xml/XmlDocument.h"
#include "tweaker/TweakValues.h"

namespace Tweaker {

// Fills `map` from a parsed document (existing names keep their entries).
// False when the root is not Tweaks.
bool ReadConfiguration(XmlDocument& document, TweakValuesMap* map);

// The document text of `map`.
std::wstring WriteConfiguration(const TweakValuesMap& map);

// Shared with the profile files, which keep tweak values in the same elements
// but name a tweak in another attribute.
// The ItmKeyVal children of the current child element (a Tweak), appended.
void ReadItemValues(XmlDocument& document, std::vector<ItemValue>* items);
// One Tweak child element per entry of `map` under the current element, the
// tweak's name in `nameAttribute`.
void WriteTweakElements(XmlDocument& document, const wchar_t* nameAttribute, const TweakValuesMap& map);

}  // namespace Tweaker
