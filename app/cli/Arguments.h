#pragma once
// The command line's words, read into what to do.
//
//   corvane-cli [--catalogue FILE] COMMAND [OPTIONS] [NAMES...]
//
// `--catalogue` may stand anywhere before "--"; so may the options that take
// a text (`--description TEXT`, `--details TEXT`). After "--" every word is a
// name, so that a tweak whose name starts with "-" can be given.
#include <optional>
#include <string>
#include <vector>

namespace Cli {

enum class Command {
    Help,
    Analyse,
    List,
    Select,
    Deselect,
    TuneUp,
    BackupsList,
    BackupsRestore,
    BackupsDelete,
    BackupsShow,
    BackupsFind,
    Validate,
    ProfilesList,
    ProfilesShow,
    ProfilesSet,
    ProfilesSave,
    ProfilesDelete,
    Info,
    StartupList,
    StartupDisable,
    StartupRestore,
};

// Whether a tune-up keeps a backup point.
enum class BackupChoice {
    Setting,  // as the EnableBackup setting says
    On,       // --backup
    Off,      // --no-backup
};

struct Invocation {
    Command command = Command::Help;
    std::optional<std::wstring> catalogue;
    bool json = false;
    bool check = false;  // analyse --check: the exit code says whether anything is pending
    BackupChoice backup = BackupChoice::Setting;
    std::vector<std::wstring> names;  // tweak names, backup points, profiles, startup entries or the file to validate
    // profiles save --description TEXT --details TEXT
    std::optional<std::wstring> description;
    std::optional<std::wstring> details;
    bool dryRun = false;  // tuneup --dry-run: show what would change, change nothing
};

struct ParsedArguments {
    Invocation invocation;
    std::wstring error;  // empty when the words make sense
};

// `args` without the program's own name.
ParsedArguments ParseArguments(const std::vector<std::wstring>& args);

}  // namespace Cli
