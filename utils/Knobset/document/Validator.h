#pragma once
// The Knobset validator: checks a document for mistakes that would make the
// tweak file misbehave in the main program. It never fails and never blocks
// anything; its one repair is renaming a category whose name a later
// category has too.
//
// The checks run in this order: duplicate category names (each renamed to
// its name, "!" and the time in seconds, then a 2-second wait), duplicate
// tweak names across the whole document, tweaks without items, tweaks whose
// maxver is older than their ver, then the Key items. Tweaks inside nested
// Group and Application elements (up to 32 levels deep) take part, with
// locations that name every group on the way.
#include "utils/Knobset/document/Document.h"
#include "utils/Knobset/document/RenameClock.h"
#include "utils/Knobset/document/ValidationReport.h"

namespace Knobset {

ValidationReport Validate(Document* document, IRenameClock& clock);
// With the platform's clock: each rename waits two seconds.
ValidationReport Validate(Document* document);

}  // namespace Knobset
