#include "app/cli/posix/StdConsole.h"

#include <unistd.h>

#include <cstdio>
#include <string>

#include "app/cli/Utf8Output.h"

namespace Cli {

void StdConsole::Write(Stream stream, std::wstring_view text)
{
    std::FILE* file = stream == Stream::Out ? stdout : stderr;
    const std::string bytes = ToUtf8ForOutput(text);
    std::fwrite(bytes.data(), 1, bytes.size(), file);
    std::fflush(file);
}

bool StdConsole::IsTerminal(Stream stream) const
{
    return ::isatty(stream == Stream::Out ? STDOUT_FILENO : STDERR_FILENO) != 0;
}

}  // namespace Cli
