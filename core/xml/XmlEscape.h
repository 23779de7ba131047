#pragma once
// Entity escaping of text written into an XmlDocument and unescaping of text
// read from one. Only the five named entities are known; numeric references
// are left as written.
#include <string>
#include <string_view>

namespace Xml {

enum class EscapeFor {
    Text,       // element content: < & >
    Attribute,  // attribute values: also ' and "
};

std::wstring Escape(std::wstring_view text, EscapeFor target);

// Replaces &lt; &amp; &gt; &apos; &quot; (tried in that order at each "&");
// any other "&" stays a literal "&".
std::wstring Unescape(std::wstring_view text);

}  // namespace Xml
