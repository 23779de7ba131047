// The JSON writer and the output encoding: whatever a name holds, the
// document stays valid JSON and the bytes valid UTF-8.
#include <gtest/gtest.h>

#include "app/cli/Utf8Output.h"
#include "core/text/JsonWriter.h"

namespace {

using Text::JsonWriter;

TEST(CliJson, QuotesBackslashesAndControlCharactersAreEscaped)
{
    EXPECT_EQ(JsonWriter::Quote(L"a\"b\\c/d"), L"\"a\\\"b\\\\c/d\"");
    EXPECT_EQ(JsonWriter::Quote(L"\b\f\n\r\t"), L"\"\\b\\f\\n\\r\\t\"");
    EXPECT_EQ(JsonWriter::Quote(std::wstring(L"\x01\x1f", 2)), L"\"\\u0001\\u001f\"");
    EXPECT_EQ(JsonWriter::Quote(std::wstring(1, L'\0')), L"\"\\u0000\"");
    EXPECT_EQ(JsonWriter::Quote(L"\x7f"), L"\"\x7f\"") << "DEL needs no escape";
}

TEST(CliJson, TextBeyondAsciiStaysAsCharactersAndBecomesUtf8)
{
    const std::wstring text = L"Gr\u00fc\u00dfe \u2615";
    EXPECT_EQ(JsonWriter::Quote(text), L"\"" + text + L"\"");
    EXPECT_EQ(Cli::ToUtf8ForOutput(text),
              "Gr\xC3\xBC\xC3\x9F"
              "e \xE2\x98\x95");
    // A character beyond the basic plane: a surrogate pair in UTF-16 text,
    // one code point elsewhere; four bytes either way.
    std::wstring clef;
    if constexpr (sizeof(wchar_t) == 2) {
        clef = {static_cast<wchar_t>(0xD834), static_cast<wchar_t>(0xDD1E)};
    } else {
        clef = {static_cast<wchar_t>(0x1D11E)};
    }
    EXPECT_EQ(JsonWriter::Quote(clef), L"\"" + clef + L"\"");
    EXPECT_EQ(Cli::ToUtf8ForOutput(clef), "\xF0\x9D\x84\x9E");
}

TEST(CliJson, AnUnpairedSurrogateIsEscapedAndNeverBreaksTheBytes)
{
    const std::wstring lone = {L'a', static_cast<wchar_t>(0xD800), L'b', static_cast<wchar_t>(0xDC00)};
    EXPECT_EQ(JsonWriter::Quote(lone), L"\"a\\ud800b\\udc00\"");
    EXPECT_EQ(Cli::ToUtf8ForOutput(lone),
              "a\xEF\xBF\xBD"
              "b\xEF\xBF\xBD");
    if constexpr (sizeof(wchar_t) == 4) {
        const std::wstring beyond(1, static_cast<wchar_t>(0x110000));
        EXPECT_EQ(JsonWriter::Quote(beyond), L"\"\\ufffd\"");
        EXPECT_EQ(Cli::ToUtf8ForOutput(beyond), "\xEF\xBF\xBD");
    }
}

TEST(CliJson, DocumentsAreIndentedAndEmptyContainersStayOnOneLine)
{
    JsonWriter json;
    json.BeginObject();
    json.Key(L"n").Number(-5);
    json.Key(L"list").BeginArray().Bool(true).BeginObject().EndObject().EndArray();
    json.Key(L"none").BeginArray().EndArray();
    json.Key(L"s").String(L"x");
    json.EndObject();
    EXPECT_EQ(json.Take(),
              L"{\n"
              L"  \"n\": -5,\n"
              L"  \"list\": [\n"
              L"    true,\n"
              L"    {}\n"
              L"  ],\n"
              L"  \"none\": [],\n"
              L"  \"s\": \"x\"\n"
              L"}\n");
    json.BeginArray().EndArray();
    EXPECT_EQ(json.Take(), L"[]\n") << "Take starts afresh";
}

}  // namespace
