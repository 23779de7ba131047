#include "core/text/JsonWriter.h"

#include <type_traits>
#include <utility>

namespace Text {
namespace {

using Unit = std::make_unsigned_t<wchar_t>;

bool IsHighSurrogate(uint32_t c)
{
    return c >= 0xD800 && c <= 0xDBFF;
}
bool IsLowSurrogate(uint32_t c)
{
    return c >= 0xDC00 && c <= 0xDFFF;
}

void AppendEscape(std::wstring& out, uint32_t c)
{
    static const wchar_t kHex[] = L"0123456789abcdef";
    out += L"\\u";
    for (int shift = 12; shift >= 0; shift -= 4) {
        out += kHex[(c >> shift) & 0xF];
    }
}

}  // namespace

std::wstring JsonWriter::Quote(std::wstring_view text)
{
    std::wstring out;
    out.reserve(text.size() + 2);
    out += L'"';
    for (size_t i = 0; i < text.size(); ++i) {
        const uint32_t c = static_cast<Unit>(text[i]);
        switch (c) {
            case L'"':
                out += L"\\\"";
                continue;
            case L'\\':
                out += L"\\\\";
                continue;
            case L'\b':
                out += L"\\b";
                continue;
            case L'\f':
                out += L"\\f";
                continue;
            case L'\n':
                out += L"\\n";
                continue;
            case L'\r':
                out += L"\\r";
                continue;
            case L'\t':
                out += L"\\t";
                continue;
            default:
                break;
        }
        if (c < 0x20) {
            AppendEscape(out, c);
        } else if (IsHighSurrogate(c) && i + 1 < text.size() && IsLowSurrogate(static_cast<Unit>(text[i + 1]))) {
            out += text[i];  // a pair (UTF-16 text): the console encodes it as one character
            out += text[++i];
        } else if (IsHighSurrogate(c) || IsLowSurrogate(c)) {
            AppendEscape(out, c);
        } else if (c > 0x10FFFF) {
            AppendEscape(out, 0xFFFD);
        } else {
            out += text[i];
        }
    }
    out += L'"';
    return out;
}

void JsonWriter::NewLine(size_t depth)
{
    if (layout_ == Layout::Compact) {
        return;
    }
    out_ += L'\n';
    out_.append(depth * 2, L' ');
}

void JsonWriter::BeforeValue()
{
    if (afterKey_) {
        afterKey_ = false;
        return;
    }
    if (levels_.empty()) {
        return;
    }
    if (!levels_.back().empty) {
        out_ += L',';
    }
    levels_.back().empty = false;
    NewLine(levels_.size());
}

void JsonWriter::Open(wchar_t bracket)
{
    BeforeValue();
    out_ += bracket;
    levels_.push_back(Level{});
}

void JsonWriter::Close(wchar_t bracket)
{
    if (levels_.empty()) {
        return;
    }
    const bool empty = levels_.back().empty;
    levels_.pop_back();
    if (!empty) {
        NewLine(levels_.size());
    }
    out_ += bracket;
}

JsonWriter& JsonWriter::BeginObject()
{
    Open(L'{');
    return *this;
}

JsonWriter& JsonWriter::EndObject()
{
    Close(L'}');
    return *this;
}

JsonWriter& JsonWriter::BeginArray()
{
    Open(L'[');
    return *this;
}

JsonWriter& JsonWriter::EndArray()
{
    Close(L']');
    return *this;
}

JsonWriter& JsonWriter::Key(std::wstring_view name)
{
    BeforeValue();
    out_ += Quote(name);
    out_ += layout_ == Layout::Compact ? L":" : L": ";
    afterKey_ = true;
    return *this;
}

JsonWriter& JsonWriter::String(std::wstring_view text)
{
    BeforeValue();
    out_ += Quote(text);
    return *this;
}

JsonWriter& JsonWriter::Number(int64_t value)
{
    BeforeValue();
    out_ += std::to_wstring(value);
    return *this;
}

JsonWriter& JsonWriter::Bool(bool value)
{
    BeforeValue();
    out_ += value ? L"true" : L"false";
    return *this;
}

JsonWriter& JsonWriter::Null()
{
    BeforeValue();
    out_ += L"null";
    return *this;
}

std::wstring JsonWriter::Take()
{
    std::wstring text = std::exchange(out_, std::wstring());
    if (layout_ == Layout::Indented) {
        text += L'\n';
    }
    levels_.clear();
    afterKey_ = false;
    return text;
}

}  // namespace Text
