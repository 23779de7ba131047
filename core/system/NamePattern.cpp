#include "core/system/NamePattern.h"

#include "core/rti/IgnoreCaseStringComparator.h"

namespace Sys {
namespace {

std::wstring_view StripAnchors(std::wstring_view text)
{
    if (!text.empty() && text.front() == L'^') {
        text.remove_prefix(1);
    }
    if (!text.empty() && text.back() == L'$') {
        text.remove_suffix(1);
    }
    return text;
}

std::regex_constants::syntax_option_type ExpressionFlags(MatchCase matchCase)
{
    auto flags = std::regex_constants::ECMAScript;
#if defined(__GLIBCXX__)
    // The breadth-first engine of libstdc++ needs stack in proportion to the
    // expression, not to the name, so long value names (up to 16383
    // characters) cannot overflow it. It refuses back-references, which then
    // fall back to the literal comparison.
    flags |= std::regex_constants::__polynomial;
#endif
    if (matchCase == MatchCase::Ignore) {
        flags |= std::regex_constants::icase;
    }
    return flags;
}

}  // namespace

NamePattern::NamePattern(std::wstring_view text, MatchCase matchCase)
    : text_(text), literal_(StripAnchors(text)), matchCase_(matchCase)
{
    if (text.size() > kMaxExpressionLength) {
        return;
    }
    try {
        expression_ = std::make_shared<const std::wregex>(text_, ExpressionFlags(matchCase));
    } catch (const std::regex_error&) {
        expression_.reset();
    }
}

NamePattern NamePattern::MatchAll()
{
    NamePattern pattern;
    pattern.text_ = L".*";
    pattern.matchAll_ = true;
    return pattern;
}

bool NamePattern::Matches(std::wstring_view name) const
{
    if (matchAll_) {
        return true;
    }
    if (matchCase_ == MatchCase::Ignore ? RTI::EqualsIgnoreCase(name, literal_) : name == literal_) {
        return true;
    }
    if (!expression_) {
        return false;
    }
    try {
        return std::regex_match(name.begin(), name.end(), *expression_);
    } catch (const std::regex_error&) {
        // The engine gives up on pathological inputs (complexity, stack); a
        // name it cannot decide does not match.
        return false;
    }
}

}  // namespace Sys
