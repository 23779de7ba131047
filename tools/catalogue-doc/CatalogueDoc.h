#pragma once
// The tweak catalogue as a Markdown document (docs/catalogue.md): counts per
// tweak set and category, then every tweak with its set, the Windows versions
// it is offered on, what it changes and whether it is selected by default.
// The document is generated from the shipped tweak files and never edited by
// hand; a test renders it again and compares it with the checked-in copy.
#include <span>
#include <string>
#include <string_view>

namespace CatalogueDoc {

// One tweak set: its display name ("Free", "Silver", "Gold") and the bytes of
// its tweak file.
struct SetText {
    std::wstring name;
    std::string utf8;
};

// How the document is regenerated; its header names this script.
inline constexpr std::string_view kUpdateScript = "tools/update-catalogue-doc.sh";

// Renders the document from the sets, the built-in set first (its categories
// are the catalogue's; the program merges a later set's tweaks only into
// categories of the same name). The same input always gives the same bytes:
// UTF-8, lines ending in "\n". Returns an empty string when a set is not
// UTF-8, not well-formed XML or has no "Tweaks" root; *error (when given)
// then names the set and says why, and is cleared on success.
std::string RenderCatalogueDoc(std::span<const SetText> sets, std::wstring* error = nullptr);

}  // namespace CatalogueDoc
