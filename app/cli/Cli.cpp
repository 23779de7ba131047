#include "app/cli/Cli.h"

#include "app/cli/Arguments.h"
#include "app/cli/Context.h"

namespace Cli {

std::wstring UsageText()
{
    return L"usage: corvane-cli [--catalogue FILE] COMMAND [OPTIONS]\n"
           L"\n"
           L"Commands:\n"
           L"  analyse [--json] [--check]       analyse every category: what is selected, what is in effect\n"
           L"                                   (--check: exit code 3 when a selected tweak is not in effect)\n"
           L"  list [--json]                    list the categories and tweaks with their selections\n"
           L"  select NAME...                   select tweaks for the tune-up (saved in Config.xml)\n"
           L"  deselect NAME...                 deselect tweaks (saved in Config.xml)\n"
           L"  tuneup [--backup | --no-backup]  apply the selected tweaks that are not in effect\n"
           L"  tuneup --dry-run [--json]        list what a tune-up would change; changes nothing\n"
           L"  backups list [--json]            list the backup points\n"
           L"  backups show POINT [--json]      what restoring a backup point undoes, change by change\n"
           L"  backups find TEXT                the points and changes whose key, value or file mentions TEXT\n"
           L"  backups restore POINT...         undo the tune-ups recorded in backup points, newest first\n"
           L"  backups delete POINT...          delete backup points\n"
           L"  validate FILE                    check a tweak file for mistakes, as the tweak file editor does\n"
           L"  profiles list [--json]           list the Default, built-in and user profiles\n"
           L"  profiles show PROFILE [--json]   the tweaks a profile selects and the values it sets\n"
           L"  profiles set PROFILE             lay a profile over the selections and values (saved in Config.xml)\n"
           L"  profiles save NAME [--description TEXT] [--details TEXT]\n"
           L"                                   save the selections and values as a new user profile\n"
           L"  profiles delete PROFILE...       delete user profiles\n"
           L"  info [--json]                    show the system summary: system, memory, display adapter, disks\n"
           L"  startup list [--json]            list what starts with Windows, with Windows' own state\n"
           L"  startup disable ENTRY...         take startup entries off the system, keeping a backup\n"
           L"  startup restore ENTRY...         put disabled startup entries back from their backup\n"
           L"  help                             show this text\n"
           L"\n"
           L"Options:\n"
           L"  --catalogue FILE  load this tweak file instead of the built-in catalogue\n"
           L"  --                the words after it are names, even when they start with \"-\"\n"
           L"\n"
           L"A POINT is a journal's file name (\"1700000000.arch\") or path. A PROFILE is a profile's name\n"
           L"(exactly) or a user profile's file name (\"1700000000.pfs\").\n"
           L"An ENTRY is the location that startup list shows (\"HKCU\\...\\Run, name\" or a file's path).\n"
           L"Exit codes: 0 done; 1 failed (validate: mistakes found); 2 bad usage or input;\n"
           L"3 selected tweaks left not in effect (analyse --check: selected tweaks not in effect).\n";
}

int Run(const std::vector<std::wstring>& args, const Settings& settings, IConsole& console)
{
    const ParsedArguments parsed = ParseArguments(args);
    const Context context{parsed.invocation, settings, Output(console)};
    if (!parsed.error.empty()) {
        context.out.Error(parsed.error);
        console.Write(Stream::Err, L"\n" + UsageText());
        return Exit::BadUsage;
    }
    switch (parsed.invocation.command) {
        case Command::Help:
            context.out.Text(UsageText());
            return Exit::Done;
        case Command::Analyse:
            return RunAnalyse(context);
        case Command::List:
            return RunList(context);
        case Command::Select:
            return RunSelect(context, true);
        case Command::Deselect:
            return RunSelect(context, false);
        case Command::TuneUp:
            return RunTuneUp(context);
        case Command::BackupsList:
            return RunBackupsList(context);
        case Command::BackupsRestore:
            return RunBackupsRestore(context);
        case Command::BackupsDelete:
            return RunBackupsDelete(context);
        case Command::BackupsShow:
            return RunBackupsShow(context);
        case Command::BackupsFind:
            return RunBackupsFind(context);
        case Command::Validate:
            return RunValidate(context);
        case Command::ProfilesList:
        case Command::ProfilesShow:
        case Command::ProfilesSet:
        case Command::ProfilesSave:
        case Command::ProfilesDelete:
            return RunProfiles(context);
        case Command::Info:
            return RunInfo(context);
        case Command::StartupList:
            return RunStartupList(context);
        case Command::StartupDisable:
            return RunStartupChange(context, StartupChange::Disable);
        case Command::StartupRestore:
            return RunStartupChange(context, StartupChange::Restore);
    }
    return Exit::BadUsage;
}

}  // namespace Cli
