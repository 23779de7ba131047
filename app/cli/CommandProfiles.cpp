// profiles list|show|set|save|delete: the profile store on the command line.
// The command line answers the store's prompts from its arguments: the
// name and descriptions of `save` are the dialog's fields, and giving
// `delete` is the confirmation. Changes take the change lock before the
// catalogue loads, so that no other program changes Config.xml between.
#include <string>
#include <vector>

#include "app/cli/Catalogue.h"
#include "core/platform/Errors.h"
#include "core/rti/IgnoreCaseStringComparator.h"
#include "core/text/JsonWriter.h"
#include "profiles/ProfileStore.h"

namespace Cli {

using Text::JsonWriter;
namespace {

using Profiles::Profile;
using Profiles::ProfileKind;

class CommandLinePrompts final : public Profiles::IProfilePrompts {
public:
    CommandLinePrompts(const Output& out, Profiles::ProfileDetails details) : out_(out), details_(std::move(details)) {}
    // The arguments are the dialog's one answer; asked again (the name was
    // taken), the command line cancels.
    bool AskProfileDetails(Profiles::ProfileDetails* details) override
    {
        if (asked_) {
            return false;
        }
        asked_ = true;
        *details = details_;
        return true;
    }
    void ShowNameOccupied(const std::wstring& name) override
    {
        occupied = true;
        out_.Error(L"the name " + Quoted(name) + L" is taken by another profile; nothing was saved");
    }
    bool ConfirmDelete() override { return true; }
    void ShowSetCompleted() override { out_.Line(Profiles::PromptText::kSetCompletedText); }
    void ShowFailure(const std::wstring& text) override { out_.Error(text); }

    bool occupied = false;

private:
    const Output& out_;
    Profiles::ProfileDetails details_;
    bool asked_ = false;
};

std::wstring KindText(ProfileKind kind)
{
    switch (kind) {
        case ProfileKind::Default:
            return L"default";
        case ProfileKind::BuiltIn:
            return L"built-in";
        case ProfileKind::User:
            break;
    }
    return L"user";
}

std::wstring FileNameOf(const std::wstring& path)
{
    const size_t slash = path.rfind(L'\\');
    return slash == std::wstring::npos ? path : path.substr(slash + 1);
}

// A profile by its exact name, or a user profile by its file name or path.
// Exit::BadUsage once it was said that none or several match.
int Resolve(const Context& context, const Profiles::ProfileStore& store, const std::wstring& word, Profile** found)
{
    std::vector<Profile*> named;
    for (const auto& profile : store.ShownProfiles()) {
        if (profile->readable && profile->name == word) {
            named.push_back(profile.Get());
        }
    }
    if (named.size() == 1) {
        *found = named.front();
        return Exit::Done;
    }
    if (named.size() > 1) {
        std::wstring which;
        for (const Profile* profile : named) {
            which += (which.empty() ? L"" : L", ") +
                     (profile->filePath.empty() ? KindText(profile->kind) : FileNameOf(profile->filePath));
        }
        context.out.Error(std::to_wstring(named.size()) + L" profiles are named " + Quoted(word) + L" (" + which +
                          L"); give the file name of a user profile instead; nothing was changed");
        return Exit::BadUsage;
    }
    for (const auto& profile : store.ShownProfiles()) {
        if (!profile->filePath.empty() && (RTI::EqualsIgnoreCase(FileNameOf(profile->filePath), word) ||
                                           RTI::EqualsIgnoreCase(profile->filePath, word))) {
            *found = profile.Get();
            return Exit::Done;
        }
    }
    context.out.Error(L"no profile named " + Quoted(word) + L"; nothing was changed");
    return Exit::BadUsage;
}

void WriteIdentity(JsonWriter& json, const Profile& profile)
{
    json.Key(L"kind").String(KindText(profile.kind));
    json.Key(L"name").String(profile.name);
    json.Key(L"file").String(FileNameOf(profile.filePath));
    json.Key(L"path").String(profile.filePath);
    json.Key(L"date").String(profile.dateText);
    json.Key(L"time").String(profile.timeText);
    json.Key(L"description").String(profile.shortDescription);
    json.Key(L"readable").Bool(profile.readable);
    json.Key(L"problem").String(profile.problem);
}

int List(const Context& context, const Profiles::ProfileStore& store)
{
    if (context.invocation.json) {
        JsonWriter json;
        json.BeginObject();
        json.Key(L"folder").String(store.UserFolder());
        json.Key(L"profiles").BeginArray();
        for (const auto& profile : store.ShownProfiles()) {
            json.BeginObject();
            WriteIdentity(json, *profile);
            json.EndObject();
        }
        json.EndArray();
        json.EndObject();
        context.out.Text(json.Take());
        return Exit::Done;
    }
    context.out.Line(L"Profiles (user profiles in " + store.UserFolder() + L"):");
    for (const auto& profile : store.ShownProfiles()) {
        std::wstring kind = KindText(profile->kind);
        kind.resize(10, L' ');
        std::wstring line = L"  " + kind + (profile->readable ? profile->name : L"(unreadable)");
        if (!profile->filePath.empty()) {
            line += L"  " + FileNameOf(profile->filePath) + L"  " + profile->dateText + L" " + profile->timeText;
        }
        context.out.Line(line);
        const std::wstring& note = profile->readable ? profile->shortDescription : profile->problem;
        if (!note.empty()) {
            context.out.Line(L"            " + note);
        }
    }
    return Exit::Done;
}

bool InCatalogue(Tweaker::Manager& manager, const std::wstring& name)
{
    for (const auto& category : manager.Categories()) {
        for (const auto& child : category->GetChildren()) {
            if (child->GetName() == name && dynamic_cast<const Tweaker::SimpleTweak*>(child.Get()) != nullptr) {
                return true;
            }
        }
    }
    return false;
}

int Show(const Context& context, const Profiles::ProfileStore& store, Tweaker::Manager& manager)
{
    Profile* profile = nullptr;
    if (const int failed = Resolve(context, store, context.invocation.names.front(), &profile)) {
        return failed;
    }
    if (!profile->readable) {
        context.out.Error(L"the profile file " + profile->filePath + L" cannot be read: " + profile->problem);
        return Exit::BadUsage;
    }
    if (context.invocation.json) {
        JsonWriter json;
        json.BeginObject();
        WriteIdentity(json, *profile);
        json.Key(L"details").String(profile->extendedDescription);
        json.Key(L"tweaks").BeginArray();
        for (const auto& [name, entry] : profile->values) {
            json.BeginObject();
            json.Key(L"name").String(name);
            json.Key(L"selected").Bool(entry.enabled);
            json.Key(L"inCatalogue").Bool(InCatalogue(manager, name));
            json.Key(L"values").BeginArray();
            for (const Tweaker::ItemValue& value : entry.items) {
                json.BeginObject();
                json.Key(L"name").String(value.n);
                json.Key(L"value").String(value.curval);
                json.Key(L"action").String(value.action);
                json.Key(L"path").String(value.path);
                json.EndObject();
            }
            json.EndArray();
            json.EndObject();
        }
        json.EndArray();
        json.EndObject();
        context.out.Text(json.Take());
        return Exit::Done;
    }
    std::wstring heading = profile->name + L" (" + KindText(profile->kind);
    if (!profile->filePath.empty()) {
        heading += L", " + FileNameOf(profile->filePath) + L", " + profile->dateText + L" " + profile->timeText;
    }
    context.out.Line(heading + L")");
    for (const std::wstring* text : {&profile->shortDescription, &profile->extendedDescription}) {
        if (!text->empty()) {
            context.out.Line(L"");
            context.out.Line(*text);
        }
    }
    context.out.Line(L"");
    context.out.Line(L"Tweaks (" + std::to_wstring(profile->values.size()) + L"):");
    for (const auto& [name, entry] : profile->values) {
        context.out.Line(std::wstring(entry.enabled ? L"  [x] " : L"  [ ] ") + name +
                         (InCatalogue(manager, name) ? L"" : L"  (not in this catalogue)"));
        for (const Tweaker::ItemValue& value : entry.items) {
            std::wstring line = L"        " + (value.n.empty() ? std::wstring(L"(default value)") : value.n) + L" = " +
                                value.curval + L"  (" + value.action + L")";
            if (!value.path.empty()) {
                line += L"  path " + value.path;
            }
            context.out.Line(line);
        }
    }
    return Exit::Done;
}

int Set(const Context& context, Profiles::ProfileStore& store)
{
    Profile* profile = nullptr;
    if (const int failed = Resolve(context, store, context.invocation.names.front(), &profile)) {
        return failed;
    }
    profile->checked = true;
    switch (store.SetCheckedProfiles()) {
        case Err::Success:
            return Exit::Done;
        case Err::BadFormat:  // not readable: nothing changed
            return Exit::BadUsage;
        default:
            return Exit::Failed;
    }
}

int Save(const Context& context, Profiles::ProfileStore& store, CommandLinePrompts& prompts)
{
    const std::wstring& name = context.invocation.names.front();
    if (name.empty()) {
        context.out.Error(L"a profile needs a name; nothing was saved");
        return Exit::BadUsage;
    }
    std::wstring path;
    const uint32_t status = store.SaveCurrentAsProfile(&path);
    if (status == Err::Success) {
        context.out.Line(L"Saved profile " + Quoted(name) + L": " + path);
        return Exit::Done;
    }
    return prompts.occupied ? Exit::BadUsage : Exit::Failed;
}

int Delete(const Context& context, Profiles::ProfileStore& store)
{
    std::vector<Profile*> chosen;
    int result = Exit::Done;
    for (const std::wstring& word : context.invocation.names) {
        Profile* profile = nullptr;
        if (Resolve(context, store, word, &profile) != Exit::Done) {
            result = Exit::BadUsage;
        } else if (profile->kind != ProfileKind::User) {
            context.out.Error(Quoted(profile->name) + L" is the " + KindText(profile->kind) +
                              L" profile; only user profiles can be deleted; nothing was changed");
            result = Exit::BadUsage;
        } else {
            chosen.push_back(profile);
        }
    }
    if (result != Exit::Done) {
        return result;
    }
    std::vector<std::wstring> told;
    for (Profile* profile : chosen) {
        profile->checked = true;
        told.push_back(FileNameOf(profile->filePath) +
                       (profile->readable ? L" (" + Quoted(profile->name) + L")" : std::wstring(L" (unreadable)")));
    }
    if (store.DeleteCheckedProfiles() != Err::Success) {
        return Exit::Failed;
    }
    for (const std::wstring& line : told) {
        context.out.Line(L"Deleted " + line);
    }
    return Exit::Done;
}

}  // namespace

int RunProfiles(const Context& context)
{
    const Command command = context.invocation.command;
    const bool changes =
        command == Command::ProfilesSet || command == Command::ProfilesSave || command == Command::ProfilesDelete;
    Platform::UniqueNamedLock lock;
    if (changes) {
        if (const int failed = TakeLock(context, &lock)) {
            return failed;
        }
    }
    Tweaker::Manager manager;
    if (const int failed = LoadCatalogue(context, &manager)) {
        return failed;
    }
    Profiles::ProfileDetails details;
    if (command == Command::ProfilesSave) {
        details = {context.invocation.names.front(), context.invocation.description.value_or(L""),
                   context.invocation.details.value_or(L"")};
    }
    CommandLinePrompts prompts(context.out, details);
    // The lock is held here already: the store takes none of its own.
    Profiles::ProfileStore store(manager, prompts, std::wstring());
    store.MakeDefaultProfile();
    store.LoadBuiltInProfiles();
    if (!store.BuiltInProblem().empty()) {
        context.out.Warning(store.BuiltInProblem());
    }
    store.ReloadUserProfiles();

    switch (command) {
        case Command::ProfilesList:
            return List(context, store);
        case Command::ProfilesShow:
            return Show(context, store, manager);
        case Command::ProfilesSet:
            return Set(context, store);
        case Command::ProfilesSave:
            return Save(context, store, prompts);
        case Command::ProfilesDelete:
            return Delete(context, store);
        default:
            break;
    }
    return Exit::BadUsage;
}

}  // namespace Cli
