#pragma once
// The categories of a new Knobset document: the main program's eight
// categories, with the image names of their icons.
#include <span>
#include <string_view>

#include "utils/Knobset/document/Document.h"

namespace Knobset {

struct DefaultCategory {
    std::wstring_view name;
    std::wstring_view icon;
};

// In the order a new document lists them.
std::span<const DefaultCategory> DefaultCategories();

// A new document: the eight categories, each without tweaks.
Document NewDocument();

}  // namespace Knobset
