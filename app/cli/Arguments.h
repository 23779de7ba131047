#pragma once
// The command line's words, read into what to do.
//
//   corvane-cli [--catalogue FILE] COMMAND [OPTIONS] [NAMES...]
//
// `--catalogue` may stand anywhere before "--"; after "--" every word is a
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
    Validate,
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
    BackupChoice backup = BackupChoice::Setting;
    std::vector<std::wstring> names;  // tweak names, backup points or the file to validate
};

struct ParsedArguments {
    Invocation invocation;
    std::wstring error;  // empty when the words make sense
};

// `args` without the program's own name.
ParsedArguments ParseArguments(const std::vector<std::wstring>& args);

}  // namespace Cli
