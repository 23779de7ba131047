// corvane-cli on Linux: the same command line over the portable substitute of
// Windows (an empty registry and drive C: in memory), for trying it out and
// for tests. Arguments arrive as UTF-8; --catalogue reads the host's file.
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "app/cli/Cli.h"
#include "app/cli/posix/StdConsole.h"
#include "core/platform/Errors.h"
#include "core/platform/portable/PortablePlatform.h"
#include "core/system/ShellFolders.h"
#include "core/text/Utf.h"
#include "tweaker/RunControl.h"

namespace {

uint32_t ReadHostFile(std::wstring_view path, std::string* bytes)
{
    std::string name;
    if (Text::WideToUtf8(path, &name) != Err::Success) {
        return Err::InvalidName;
    }
    std::ifstream file(name, std::ios::binary);
    if (!file) {
        return Err::FileNotFound;
    }
    bytes->assign(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
    return file.bad() ? Err::ReadFault : Err::Success;
}

}  // namespace

int main(int argc, char** argv)
{
    Cli::StdConsole console;
    std::vector<std::wstring> args;
    for (int i = 1; i < argc; ++i) {
        std::wstring arg;
        if (Text::Utf8ToWide(argv[i], &arg) != Err::Success) {
            console.Write(Cli::Stream::Err, L"corvane-cli: argument " + std::to_wstring(i) + L" is not UTF-8 text\n");
            return Cli::Exit::BadUsage;
        }
        args.push_back(std::move(arg));
    }
    // The substitute knows no user folders until told.
    Platform::Portable::PortablePlatform platform;
    platform.System().SetSpecialFolder(Sys::Csidl::AppData, L"C:\\Users\\User\\AppData\\Roaming");
    platform.System().SetSpecialFolder(Sys::Csidl::LocalAppData, L"C:\\Users\\User\\AppData\\Local");
    Platform::IPlatform* previous = Platform::Install(&platform);
    Tweaker::SetPacing(Tweaker::Pacing::Off);

    Cli::Settings settings;
    settings.readCatalogue = ReadHostFile;
    const int exitCode = Cli::Run(args, settings, console);
    Platform::Install(previous);
    return exitCode;
}
