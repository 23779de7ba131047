// corvane-cli on Windows: wide arguments (wmain), the real system behind the
// platform seam, no pacing.
#include <string>
#include <vector>

#include "app/cli/Cli.h"
#include "app/cli/win32/Win32Console.h"
#include "tweaker/RunControl.h"

int wmain(int argc, wchar_t** argv)
{
    std::vector<std::wstring> args;
    for (int i = 1; i < argc; ++i) {
        args.emplace_back(argv[i]);
    }
    Tweaker::SetPacing(Tweaker::Pacing::Off);
    Cli::Win32Console console;
    return Cli::Run(args, Cli::Settings{}, console);
}
