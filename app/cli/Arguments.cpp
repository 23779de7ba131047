#include "app/cli/Arguments.h"

#include <cstddef>
#include <string_view>
#include <utility>

namespace Cli {
namespace {

constexpr std::wstring_view kCatalogueOption = L"--catalogue";

struct CommandWord {
    std::wstring_view word;
    Command command;
};

// The commands and what each accepts.
struct CommandRules {
    bool json = false;
    bool backup = false;
    bool names = false;  // needs one name or more
    const wchar_t* namesText = L"";
    bool single = false;  // takes exactly one
    bool check = false;
    bool texts = false;  // --description and --details
    bool dryRun = false;
};

// Options followed by a text (or written "--option=TEXT").
constexpr std::wstring_view kTextOptions[] = {L"--description", L"--details"};

CommandRules RulesOf(Command command)
{
    switch (command) {
        case Command::Analyse: {
            CommandRules rules{true, false, false, L""};
            rules.check = true;
            return rules;
        }
        case Command::List:
        case Command::BackupsList:
        case Command::ProfilesList:
        case Command::Info:
            return {true, false, false, L""};
        case Command::ProfilesShow:
            return {true, false, true, L"one profile", true};
        case Command::ProfilesSet:
            return {false, false, true, L"one profile", true};
        case Command::ProfilesSave: {
            CommandRules rules{false, false, true, L"one profile name", true};
            rules.texts = true;
            return rules;
        }
        case Command::ProfilesDelete:
            return {false, false, true, L"at least one profile"};
        case Command::StartupList:
            return {true, false, false, L""};
        case Command::StartupDisable:
        case Command::StartupRestore:
            return {false, false, true, L"at least one startup entry"};
        case Command::Select:
        case Command::Deselect:
            return {false, false, true, L"at least one tweak name"};
        case Command::TuneUp:
            return {true, true, false, L"", false, false, false, true};
        case Command::BackupsRestore:
        case Command::BackupsDelete:
            return {false, false, true, L"at least one backup point"};
        case Command::BackupsShow:
            return {true, false, true, L"one backup point", true};
        case Command::BackupsFind:
            return {false, false, true, L"one text to look for", true};
        case Command::Validate:
            return {false, false, true, L"one tweak file", true};
        case Command::Help:
            break;
    }
    return {};
}

std::wstring CommandName(Command command)
{
    switch (command) {
        case Command::Analyse:
            return L"analyse";
        case Command::List:
            return L"list";
        case Command::Select:
            return L"select";
        case Command::Deselect:
            return L"deselect";
        case Command::TuneUp:
            return L"tuneup";
        case Command::BackupsList:
            return L"backups list";
        case Command::BackupsRestore:
            return L"backups restore";
        case Command::BackupsDelete:
            return L"backups delete";
        case Command::BackupsShow:
            return L"backups show";
        case Command::BackupsFind:
            return L"backups find";
        case Command::Validate:
            return L"validate";
        case Command::ProfilesList:
            return L"profiles list";
        case Command::ProfilesShow:
            return L"profiles show";
        case Command::ProfilesSet:
            return L"profiles set";
        case Command::ProfilesSave:
            return L"profiles save";
        case Command::ProfilesDelete:
            return L"profiles delete";
        case Command::Info:
            return L"info";
        case Command::StartupList:
            return L"startup list";
        case Command::StartupDisable:
            return L"startup disable";
        case Command::StartupRestore:
            return L"startup restore";
        case Command::Help:
            break;
    }
    return L"help";
}

std::wstring Quoted(std::wstring_view word)
{
    return L"\"" + std::wstring(word) + L"\"";
}

bool IsOption(std::wstring_view word)
{
    return word.size() > 1 && word[0] == L'-';
}

}  // namespace

ParsedArguments ParseArguments(const std::vector<std::wstring>& args)
{
    ParsedArguments parsed;
    Invocation& invocation = parsed.invocation;
    std::vector<std::wstring> words;  // command words and names, in order
    std::vector<std::wstring> options;
    std::vector<std::pair<std::wstring, std::wstring>> texts;  // text options and their texts
    size_t namesFrom = std::wstring::npos;                     // words from here on came after "--"
    bool help = false;

    for (size_t i = 0; i < args.size(); ++i) {
        const std::wstring& word = args[i];
        if (namesFrom != std::wstring::npos || !IsOption(word)) {
            words.push_back(word);
            continue;
        }
        if (word == L"--") {
            namesFrom = words.size();
            continue;
        }
        if (word == kCatalogueOption || word.rfind(std::wstring(kCatalogueOption) + L"=", 0) == 0) {
            if (invocation.catalogue) {
                parsed.error = L"the option --catalogue is given twice";
                return parsed;
            }
            std::wstring file;
            if (word.size() > kCatalogueOption.size()) {
                file = word.substr(kCatalogueOption.size() + 1);
            } else if (i + 1 < args.size()) {
                file = args[++i];
            }
            if (file.empty()) {
                parsed.error = L"the option --catalogue needs a file name";
                return parsed;
            }
            invocation.catalogue = file;
            continue;
        }
        bool textOption = false;
        for (std::wstring_view option : kTextOptions) {
            const std::wstring withEquals = std::wstring(option) + L"=";
            if (word != option && word.rfind(withEquals, 0) != 0) {
                continue;
            }
            textOption = true;
            if (word.size() > option.size()) {
                texts.emplace_back(option, word.substr(withEquals.size()));
            } else if (i + 1 < args.size()) {
                texts.emplace_back(option, args[++i]);
            } else {
                parsed.error = L"the option " + std::wstring(option) + L" needs a text";
                return parsed;
            }
        }
        if (textOption) {
            continue;
        }
        if (word == L"--help" || word == L"-h") {
            help = true;
            continue;
        }
        options.push_back(word);
    }

    // The command: the first word (two for "backups" and "startup").
    size_t next = 0;
    // Words after "--" are names even where a command word is due.
    auto take = [&]() -> std::wstring { return next < words.size() && next < namesFrom ? words[next++] : L""; };
    const std::wstring word = take();
    if (help || word == L"help") {
        invocation.command = Command::Help;
        return parsed;
    }
    static const CommandWord kCommands[] = {
        {L"analyse", Command::Analyse},   {L"list", Command::List},     {L"select", Command::Select},
        {L"deselect", Command::Deselect}, {L"tuneup", Command::TuneUp}, {L"validate", Command::Validate},
        {L"info", Command::Info},
    };
    bool known = false;
    for (const CommandWord& command : kCommands) {
        if (word == command.word) {
            invocation.command = command.command;
            known = true;
        }
    }
    if (word == L"backups") {
        const std::wstring action = take();
        if (action == L"list") {
            invocation.command = Command::BackupsList;
        } else if (action == L"restore") {
            invocation.command = Command::BackupsRestore;
        } else if (action == L"delete") {
            invocation.command = Command::BackupsDelete;
        } else if (action == L"show") {
            invocation.command = Command::BackupsShow;
        } else if (action == L"find") {
            invocation.command = Command::BackupsFind;
        } else {
            parsed.error = action.empty() ? L"backups needs list, show, find, restore or delete"
                                          : L"unknown backups command " + Quoted(action);
            return parsed;
        }
        known = true;
    }
    if (word == L"profiles") {
        const std::wstring action = take();
        static const CommandWord kProfileCommands[] = {
            {L"list", Command::ProfilesList}, {L"show", Command::ProfilesShow},     {L"set", Command::ProfilesSet},
            {L"save", Command::ProfilesSave}, {L"delete", Command::ProfilesDelete},
        };
        for (const CommandWord& command : kProfileCommands) {
            if (action == command.word) {
                invocation.command = command.command;
                known = true;
            }
        }
        if (!known) {
            parsed.error = action.empty() ? L"profiles needs list, show, set, save or delete"
                                          : L"unknown profiles command " + Quoted(action);
            return parsed;
        }
    }
    if (word == L"startup") {
        const std::wstring action = take();
        if (action == L"list") {
            invocation.command = Command::StartupList;
        } else if (action == L"disable") {
            invocation.command = Command::StartupDisable;
        } else if (action == L"restore") {
            invocation.command = Command::StartupRestore;
        } else {
            parsed.error = action.empty() ? L"startup needs list, disable or restore"
                                          : L"unknown startup command " + Quoted(action);
            return parsed;
        }
        known = true;
    }
    if (!known) {
        parsed.error = word.empty() ? L"no command given" : L"unknown command " + Quoted(word);
        return parsed;
    }

    const CommandRules rules = RulesOf(invocation.command);
    for (const std::wstring& option : options) {
        if (option == L"--json" && rules.json) {
            invocation.json = true;
        } else if (option == L"--dry-run" && rules.dryRun) {
            invocation.dryRun = true;
        } else if ((option == L"--backup" || option == L"--no-backup") && rules.backup) {
            const BackupChoice choice = option == L"--backup" ? BackupChoice::On : BackupChoice::Off;
            if (invocation.backup != BackupChoice::Setting && invocation.backup != choice) {
                parsed.error = L"the options --backup and --no-backup exclude each other";
                return parsed;
            }
            invocation.backup = choice;
        } else if (option == L"--check" && rules.check) {
            invocation.check = true;
        } else {
            parsed.error = L"unknown option " + Quoted(option) + L" for " + CommandName(invocation.command);
            return parsed;
        }
    }

    for (const auto& [option, text] : texts) {
        std::optional<std::wstring>& slot = option == L"--description" ? invocation.description : invocation.details;
        if (!rules.texts) {
            parsed.error = L"unknown option " + Quoted(option) + L" for " + CommandName(invocation.command);
            return parsed;
        }
        if (slot) {
            parsed.error = L"the option " + option + L" is given twice";
            return parsed;
        }
        slot = text;
    }
    if (invocation.command == Command::TuneUp && invocation.json && !invocation.dryRun) {
        parsed.error = L"tuneup writes JSON only with --dry-run";
        return parsed;
    }
    if (invocation.dryRun && invocation.backup != BackupChoice::Setting) {
        parsed.error = L"a dry run keeps no backup point: --dry-run excludes --backup and --no-backup";
        return parsed;
    }

    invocation.names.assign(words.begin() + static_cast<std::ptrdiff_t>(next), words.end());
    if (rules.single && invocation.names.size() > 1) {
        parsed.error = CommandName(invocation.command) + L" takes " + rules.namesText;
    } else if (rules.names && invocation.names.empty()) {
        parsed.error = CommandName(invocation.command) + L" needs " + rules.namesText;
    } else if (!rules.names && !invocation.names.empty()) {
        parsed.error =
            L"unexpected argument " + Quoted(invocation.names.front()) + L" for " + CommandName(invocation.command);
    }
    return parsed;
}

}  // namespace Cli
