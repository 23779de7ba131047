#pragma once
// Wide text as UTF-8 bytes for output. Unlike the strict conversion of the
// engine it never fails: what cannot be encoded (an unpaired surrogate read
// from the registry, a value beyond Unicode) becomes U+FFFD, so that one odd
// name never silences the rest of a report.
#include <string>
#include <string_view>

namespace Cli {

std::string ToUtf8ForOutput(std::wstring_view text);

}  // namespace Cli
