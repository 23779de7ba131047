#pragma once
// A pattern over registry key and value names. A name matches when it equals
// the pattern text with one leading "^" and one trailing "$" removed, or when
// the text is a valid regular expression (ECMAScript) matching the whole name.
// So a plain name always matches itself, even one holding braces, dots or
// parentheses, while "Run" does not match "RunOnce" and ".*Toolbar" still
// works. Construction never throws for bad syntax: such a text is compared
// literally only.
#include <memory>
#include <regex>
#include <string>
#include <string_view>

namespace Sys {

enum class MatchCase : bool { Sensitive = false, Ignore = true };

class NamePattern {
public:
    // Texts longer than this are compared literally only: the standard regex
    // engine recurses per character of the expression and would overflow the
    // stack of a worker thread. No real name pattern comes near it.
    static constexpr size_t kMaxExpressionLength = 1024;

    NamePattern(std::wstring_view text, MatchCase matchCase);
    // Matches every name, the empty name of a key's default value included.
    static NamePattern MatchAll();

    bool Matches(std::wstring_view name) const;
    const std::wstring& Text() const { return text_; }
    // False when the text is compared literally only.
    bool IsExpression() const { return expression_ != nullptr; }

private:
    NamePattern() = default;

    std::wstring text_;
    std::wstring literal_;
    MatchCase matchCase_ = MatchCase::Sensitive;
    bool matchAll_ = false;
    // Shared so that copies of a pattern reuse one compiled expression.
    std::shared_ptr<const std::wregex> expression_;
};

}  // namespace Sys
