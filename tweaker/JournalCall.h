#pragma once
// How items record a change before making it. Each returns true when the
// change may be made: there is no open journal (nothing to record into), or
// the command wrote its record. False means the record failed and the change
// must not be made.
#include <string>
#include <string_view>

#include "core/platform/Platform.h"

namespace Remover {
class Processor;
}

namespace Tweaker {

bool RecordKey(Remover::Processor* journal, const wchar_t* command, Platform::KeyHandle root, std::wstring_view keyPath,
               Platform::EventHandle cancel);
// nameAsStored: the name came from enumerating the key, so its stored
// spelling need not be looked up.
bool RecordValue(Remover::Processor* journal, const wchar_t* command, Platform::KeyHandle root,
                 std::wstring_view keyPath, std::wstring_view valueName, Platform::EventHandle cancel,
                 bool nameAsStored = false);
bool RecordFile(Remover::Processor* journal, const wchar_t* command, std::wstring_view path,
                Platform::EventHandle cancel);

}  // namespace Tweaker
