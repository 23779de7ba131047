#pragma once
// What every command works with: the parsed command line, the settings and
// the output.
#include "app/cli/Arguments.h"
#include "app/cli/Cli.h"
#include "app/cli/Output.h"

namespace Cli {

struct Context {
    const Invocation& invocation;
    const Settings& settings;
    Output out;
};

// The commands; each returns the exit code.
int RunAnalyse(const Context& context);
int RunList(const Context& context);
int RunSelect(const Context& context, bool select);
int RunTuneUp(const Context& context);
int RunBackupsList(const Context& context);
int RunBackupsRestore(const Context& context);
int RunBackupsDelete(const Context& context);
int RunBackupsShow(const Context& context);
int RunBackupsFind(const Context& context);
int RunValidate(const Context& context);
// profiles list|show|set|save|delete
int RunProfiles(const Context& context);
int RunInfo(const Context& context);
enum class StartupChange { Disable, Restore };
int RunStartupList(const Context& context);
int RunStartupChange(const Context& context, StartupChange change);

}  // namespace Cli
