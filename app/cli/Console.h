#pragma once
// Where the command line writes: standard output and standard error, and
// whether each is a terminal (progress bars) or a pipe or file (plain lines).
// The program's console writes UTF-8 (or wide text to a Windows console);
// tests capture the text.
#include <string_view>

namespace Cli {

enum class Stream { Out, Err };

class IConsole {
public:
    virtual void Write(Stream stream, std::wstring_view text) = 0;
    virtual bool IsTerminal(Stream stream) const = 0;

protected:
    ~IConsole() = default;
};

}  // namespace Cli
