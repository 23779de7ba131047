#pragma once
// A small writer of JSON text, indented by two spaces per level, for the
// command line's reports. Strings are escaped so that any name read from a
// tweak file, the registry or the disk gives valid JSON: quotes, backslashes
// and control characters are escaped; other characters stay as they are
// (the console writes them as UTF-8); an unpaired surrogate is written as a
// \u escape, and a value beyond Unicode as \ufffd.
//
//   JsonWriter json;
//   json.BeginObject().Key(L"name").String(L"Filesystem").EndObject();
//   std::wstring text = json.Take();  // "{\n  \"name\": \"Filesystem\"\n}\n"
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace Cli {

class JsonWriter {
public:
    JsonWriter& BeginObject();
    JsonWriter& EndObject();
    JsonWriter& BeginArray();
    JsonWriter& EndArray();
    // The name of the next member; only inside an object.
    JsonWriter& Key(std::wstring_view name);
    JsonWriter& String(std::wstring_view text);
    JsonWriter& Number(int64_t value);
    JsonWriter& Bool(bool value);
    // The document with a final line break; the writer starts afresh.
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
    std::wstring out_;
    std::vector<Level> levels_;
    bool afterKey_ = false;
};

}  // namespace Cli
