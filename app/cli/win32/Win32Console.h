#pragma once
// The Windows program's console: wide text to a console window, UTF-8 bytes
// to a pipe or file.
#include "app/cli/Console.h"

namespace Cli {

class Win32Console final : public IConsole {
public:
    void Write(Stream stream, std::wstring_view text) override;
    bool IsTerminal(Stream stream) const override;
};

}  // namespace Cli
