#pragma once
// The native program's console: UTF-8 on the standard streams.
#include "app/cli/Console.h"

namespace Cli {

class StdConsole final : public IConsole {
public:
    void Write(Stream stream, std::wstring_view text) override;
    bool IsTerminal(Stream stream) const override;
};

}  // namespace Cli
