// The shell's wildcard match, shared by both backends so that a pattern means
// the same everywhere: "*" is any run of characters, "?" exactly one, letters
// compare without regard to case, and "*.*" matches every name, a name without
// a dot included, as the shell reads it.
#include "core/platform/Platform.h"
#include "core/rti/IgnoreCaseStringComparator.h"

namespace Platform {

namespace {
bool SameLetter(wchar_t a, wchar_t b)
{
    return a == b || RTI::EqualsIgnoreCase(std::wstring_view(&a, 1), std::wstring_view(&b, 1));
}
}  // namespace

bool WildcardMatch(std::wstring_view name, std::wstring_view pattern)
{
    if (pattern == L"*.*") {
        return true;
    }
    // Greedy walk that remembers the last "*" and retries from one character
    // further on a mismatch: linear in practice, never exponential.
    size_t n = 0;
    size_t p = 0;
    size_t starP = std::wstring_view::npos;
    size_t starN = 0;
    while (n < name.size()) {
        if (p < pattern.size() && pattern[p] == L'*') {
            starP = p++;
            starN = n;
        } else if (p < pattern.size() && (pattern[p] == L'?' || SameLetter(pattern[p], name[n]))) {
            ++p;
            ++n;
        } else if (starP != std::wstring_view::npos) {
            p = starP + 1;
            n = ++starN;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == L'*') {
        ++p;
    }
    return p == pattern.size();
}

}  // namespace Platform
