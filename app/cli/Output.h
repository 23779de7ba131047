#pragma once
// The command line's writing conventions over the console: report lines on
// standard output; errors and warnings on standard error, one line each,
// starting with the program's name.
#include <cstdint>
#include <string>
#include <string_view>

#include "app/cli/Console.h"

namespace Cli {

class Output {
public:
    explicit Output(IConsole& console) : console_(console) {}

    IConsole& Console() const { return console_; }
    void Text(std::wstring_view text) const { console_.Write(Stream::Out, text); }
    void Line(std::wstring_view text) const;
    // "corvane-cli: <text>"
    void Error(std::wstring_view text) const;
    void Warning(std::wstring_view text) const;

private:
    IConsole& console_;
};

// "the file does not exist (error 2)" and the like.
std::wstring ErrorText(uint32_t status);

// "\"name\"": names in messages stand in quotes.
std::wstring Quoted(std::wstring_view text);

}  // namespace Cli
