#pragma once
// The validator's checks of one Key item (internal to the validator).
#include <string>
#include <vector>

#include "utils/Knobset/document/Document.h"
#include "utils/Knobset/document/ValidationReport.h"

namespace Knobset {

struct KeyPlace {
    const Tweak& tweak;
    const std::wstring& tweakLocation;
    const std::wstring& itemLocation;
};

// Appends a finding for each check the key fails, in the report's order.
void CheckKey(const Key& key, const KeyPlace& place, std::vector<Finding>* findings);

}  // namespace Knobset
