#pragma once
// The tokenizer shared by the parser, the readers and the editors of
// XmlDocument. A token is a quoted string (running to the matching quote, or
// to the end of the text when there is none), one delimiter character, or a
// run of other characters. Whitespace separates tokens and is skipped.
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace Xml {

// Index records hold 32-bit positions; a text must leave room for them.
constexpr size_t kMaxDocumentLength = 0xFFFFFFFEu;

enum class CharClass : uint8_t {
    Plain,  // part of a name or an unquoted value
    Quote,  // starts a quoted token; inside a run it is plain
    Space,
    Delim,  // a token by itself: < > = \ / ? !
};

inline constexpr struct CharTable {
    CharClass cls[128] = {};
    constexpr CharTable()
    {
        for (const char c : {' ', '\t', '\n', '\r'}) {
            cls[static_cast<int>(c)] = CharClass::Space;
        }
        for (const char c : {'<', '>', '=', '\\', '/', '?', '!'}) {
            cls[static_cast<int>(c)] = CharClass::Delim;
        }
        cls[static_cast<int>('"')] = CharClass::Quote;
        cls[static_cast<int>('\'')] = CharClass::Quote;
    }
} kCharTable;

inline CharClass ClassOf(wchar_t c)
{
    const auto u = static_cast<uint32_t>(c);
    return u < 128 ? kCharTable.cls[u] : CharClass::Plain;
}

inline bool IsSpace(wchar_t c)
{
    return ClassOf(c) == CharClass::Space;
}

struct Token {
    size_t start = 0;  // first character, the opening quote included
    size_t stop = 0;   // one past the last character, the closing quote included
    size_t textBegin = 0;
    size_t textEnd = 0;  // the token's text: without the quotes
    bool quoted = false;

    std::wstring_view Text(std::wstring_view doc) const { return doc.substr(textBegin, textEnd - textBegin); }
    // True for the one-character delimiter token c.
    bool Is(std::wstring_view doc, wchar_t c) const { return !quoted && stop == start + 1 && doc[start] == c; }
    bool IsDelimiter(std::wstring_view doc) const { return !quoted && ClassOf(doc[start]) == CharClass::Delim; }
};

// Reads the token at or after *pos and moves *pos past it. False at the end of
// the text (then *pos is the text's length).
inline bool NextToken(std::wstring_view doc, size_t* pos, Token* tok)
{
    const size_t n = doc.size();
    size_t i = *pos;
    while (i < n && IsSpace(doc[i])) {
        ++i;
    }
    if (i >= n) {
        *pos = n;
        return false;
    }
    tok->start = i;
    const CharClass cls = ClassOf(doc[i]);
    if (cls == CharClass::Quote) {
        const size_t close = doc.find(doc[i], i + 1);
        tok->quoted = true;
        tok->textBegin = i + 1;
        tok->textEnd = close == std::wstring_view::npos ? n : close;
        tok->stop = close == std::wstring_view::npos ? n : close + 1;
    } else if (cls == CharClass::Delim) {
        tok->quoted = false;
        tok->textBegin = i;
        tok->textEnd = tok->stop = i + 1;
    } else {
        size_t j = i + 1;
        while (j < n && ClassOf(doc[j]) <= CharClass::Quote) {
            ++j;
        }
        tok->quoted = false;
        tok->textBegin = i;
        tok->textEnd = tok->stop = j;
    }
    *pos = tok->stop;
    return true;
}

// True when name is usable as an element or attribute name: one plain token.
inline bool IsPlainName(std::wstring_view name)
{
    if (name.empty() || ClassOf(name[0]) != CharClass::Plain) {
        return false;
    }
    for (const wchar_t c : name) {
        if (ClassOf(c) > CharClass::Quote) {
            return false;
        }
    }
    return true;
}

}  // namespace Xml
