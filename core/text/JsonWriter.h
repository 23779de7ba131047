#pragma once
// A small writer of JSON text: indented by two spaces per level with a final
// line break (the command line's reports), or compact on one line (the main
// window's inspection hook). Strings are escaped so that any name read from a
// tweak file, the registry or the disk gives valid JSON: quotes, backslashes
// and control characters are escaped; other characters stay as they are
// (the caller encodes them as UTF-8); an unpaired surrogate is written as a
// \u escape, and a value beyond Unicode as \ufffd.
//
//   JsonWriter json;
//   json.BeginObject().Key(L"name").String(L"Filesystem").EndObject();
//   std::wstring text = json.Take();  // "{\n  \"name\": \"Filesystem\"\n}\n"
//   JsonWriter compact(JsonWriter::Layout::Compact);  // ... "{\"name\":\"Filesystem\"}"
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace Text {

class JsonWriter {
public:
    enum class Layout { Indented, Compact };
    explicit JsonWriter(Layout layout = Layout::Indented) : layout_(layout) {}

    JsonWriter& BeginObject();
    JsonWriter& EndObject();
    JsonWriter& BeginArray();
    JsonWriter& EndArray();
    // The name of the next member; only inside an object.
    JsonWriter& Key(std::wstring_view name);
    JsonWriter& String(std::wstring_view text);
    JsonWriter& Number(int64_t value);
    JsonWriter& Bool(bool value);
    JsonWriter& Null();
    // The document (indented: with a final line break); the writer starts afresh.
    std::wstring Take();

    // The quoted, escaped form of a string.
    static std::wstring Quote(std::wstring_view text);

private:
    void BeforeValue();
    void Open(wchar_t bracket);
    void Close(wchar_t bracket);
    void NewLine(size_t depth);

    struct Level {
        bool empty = true;
    };
    Layout layout_;
    std::wstring out_;
    std::vector<Level> levels_;
    bool afterKey_ = false;
};

}  // namespace Text
