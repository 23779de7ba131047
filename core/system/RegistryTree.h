#pragma once
// Whole-tree registry operations and value removal. Removals report to the
// tracer, when one is given, with second = 1 and first = 0: 'rm.k' per
// deleted key, 'rm.v' per deleted value, 'cl.v' per emptied value.
#include <cstdint>
#include <string_view>

#include "core/platform/Handles.h"
#include "core/rti/ITracer.h"
#include "core/system/NamePattern.h"
#include "core/system/Options.h"

namespace Sys {

// Deletes parent\subKey with everything below it: subkeys deepest first (their
// failures are ignored), then the key's values, then the key itself. Returns
// the error of opening the key or of deleting it (so a subkey that could not be
// removed shows as the parent's failure); 87 for an empty subKey, which would
// name the parent itself. The cancel event (optional) is tested before each
// subkey and value: 1223 when it is set, leaving deleted what was deleted.
[[nodiscard]] Platform::Status DeleteKeyTree(Platform::KeyHandle parent, std::wstring_view subKey, RTI::ITracer* tracer,
                                             Platform::EventHandle cancel = nullptr);

// Rewrites a value with its own type and zero bytes of data; the query's error
// when the value does not exist.
[[nodiscard]] Platform::Status ClearValue(Platform::KeyHandle key, std::wstring_view valueName, RTI::ITracer* tracer);

[[nodiscard]] Platform::Status DeleteValue(Platform::KeyHandle key, std::wstring_view valueName, RTI::ITracer* tracer);

// The number of values held by the key's direct subkeys and, when recursive,
// by every key below them; the key's own values are not counted. Takes over
// the key and closes it. A signalled cancel event yields 0.
uint32_t CountValues(Platform::UniqueKey key, Recursive recursive, Platform::EventHandle cancel);

// Deletes every value of root\keyPath whose name matches (in all subkeys too,
// deepest first, when recursive). Returns the error of opening the key, else
// the first failed deletion (the others are still tried), else 0.
[[nodiscard]] Platform::Status DeleteValues(Platform::KeyHandle root, std::wstring_view keyPath,
                                            const NamePattern& pattern, Recursive recursive, RTI::ITracer* tracer);

}  // namespace Sys
