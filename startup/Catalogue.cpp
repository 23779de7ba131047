#include "startup/Catalogue.h"

#include "core/system/ShellFolders.h"
#include "startup/Categories.h"
#include "startup/SystemCategories.h"

namespace StartUp {

namespace {

using namespace Categories;
using Platform::ClassesRoot;
using Platform::CurrentUser;
using Platform::LocalMachine;
using Platform::RegistryView;

constexpr wchar_t kCurrentVersion[] = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion";
constexpr wchar_t kNtCurrentVersion[] = L"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion";

std::wstring Under(const wchar_t* base, const wchar_t* rest)
{
    return std::wstring(base) + L"\\" + rest;
}

RTI::Reference<ICategory> MakeRun(const wchar_t* name, Platform::KeyHandle root, const std::wstring& path,
                                  RegistryView view = RegistryView::Native, Run::Layout layout = Run::Layout::Values,
                                  std::optional<ApprovedList> approved = std::nullopt)
{
    return RTI::Reference<ICategory>(new Run(name, root, path, view, layout, approved));
}

RTI::Reference<ICategory> MakeClasses(const wchar_t* name, Platform::KeyHandle root, const std::wstring& path,
                                      Classes::Mode mode, bool recurse = false, const wchar_t* valueName = L"",
                                      Classes::Access access = Classes::Access::Removable)
{
    return RTI::Reference<ICategory>(
        new Classes(name, root, path, valueName, mode, recurse, RegistryView::Native, access));
}

// A "User" and a "Machine" category of the same key.
RTI::Reference<ICategory> UserAndMachine(const wchar_t* group, const std::wstring& path, Classes::Mode mode,
                                         bool recurse = false, Classes::Access access = Classes::Access::Removable)
{
    RTI::Reference<Group> g(new Group(group));
    g->AddChild(MakeClasses(L"User", CurrentUser(), path, mode, recurse, L"", access));
    g->AddChild(MakeClasses(L"Machine", LocalMachine(), path, mode, recurse, L"", access));
    return RTI::Reference<ICategory>(g);
}

}  // namespace

void AddCatalogueGroups(CategoryList& roots)
{
    const bool wow = Platform::Current().System().Is64BitWindows();
    const std::wstring run = Under(kCurrentVersion, L"Run");
    const std::wstring runOnce = Under(kCurrentVersion, L"RunOnce");
    const std::wstring runOnceEx = Under(kCurrentVersion, L"RunOnceEx");
    const std::wstring policyRun = Under(kCurrentVersion, L"Policies\\Explorer\\Run");

    RTI::Reference<Group> folders(new Group(L"Autostart folders"));
    folders->AddChild(RTI::Reference<ICategory>(new Folder(L"User autostart", Sys::Csidl::Startup, CurrentUser())));
    folders->AddChild(
        RTI::Reference<ICategory>(new Folder(L"Machine autostart", Sys::Csidl::CommonStartup, LocalMachine())));
    roots.push_back(RTI::Reference<ICategory>(folders));

    RTI::Reference<Group> runKeys(new Group(L"Registry 'Run' keys"));
    runKeys->AddChild(
        MakeRun(L"User 'Run' key", CurrentUser(), run, RegistryView::Native, Run::Layout::Values, ApprovedList::Run));
    runKeys->AddChild(MakeRun(L"Machine 'Run' key", LocalMachine(), run, RegistryView::Native, Run::Layout::Values,
                              ApprovedList::Run));
    if (wow) {
        runKeys->AddChild(MakeRun(L"Machine 'Run' key (32-bit)", LocalMachine(), run, RegistryView::Wow32,
                                  Run::Layout::Values, ApprovedList::Run32));
    }
    runKeys->AddChild(MakeRun(L"User 'RunOnce' key", CurrentUser(), runOnce));
    runKeys->AddChild(MakeRun(L"Machine 'RunOnce' key", LocalMachine(), runOnce));
    if (wow) {
        runKeys->AddChild(MakeRun(L"Machine 'RunOnce' key (32-bit)", LocalMachine(), runOnce, RegistryView::Wow32));
    }
    runKeys->AddChild(
        MakeRun(L"User 'RunOnceEx' key", CurrentUser(), runOnceEx, RegistryView::Native, Run::Layout::SubkeyCommands));
    runKeys->AddChild(MakeRun(L"Machine 'RunOnceEx' key", LocalMachine(), runOnceEx, RegistryView::Native,
                              Run::Layout::SubkeyCommands));
    runKeys->AddChild(MakeRun(L"User policy 'Run' key", CurrentUser(), policyRun));
    runKeys->AddChild(MakeRun(L"Machine policy 'Run' key", LocalMachine(), policyRun));
    roots.push_back(RTI::Reference<ICategory>(runKeys));

    using Mode = Classes::Mode;
    constexpr auto kReadOnly = Classes::Access::ReadOnly;
    roots.push_back(UserAndMachine(L"Browser Helper Objects",
                                   Under(kCurrentVersion, L"Explorer\\Browser Helper Objects"), Mode::SubkeyName));
    roots.push_back(UserAndMachine(L"Internet Explorer toolbars", L"SOFTWARE\\Microsoft\\Internet Explorer\\Toolbar",
                                   Mode::ValueName, true));
    roots.push_back(UserAndMachine(L"Internet Explorer buttons/tools",
                                   L"SOFTWARE\\Microsoft\\Internet Explorer\\Extensions", Mode::SubkeyName));
    roots.push_back(UserAndMachine(L"Internet Explorer Bands", L"SOFTWARE\\Microsoft\\Internet Explorer\\Explorer Bars",
                                   Mode::SubkeyName));

    RTI::Reference<Group> menus(new Group(L"Context Menu Handlers"));
    const struct {
        const wchar_t* name;
        const wchar_t* key;
    } handlers[] = {
        {L"*", L"*"},
        {L"Drive", L"Drive"},
        {L"Folder", L"Folder"},
        {L"Compressed Folder", L"CompressedFolder"},
        {L"Directory", L"Directory"},
        {L"Directory", L"Directory\\Background"},
        {L"Channel Shortcut", L"ChannelShortcut"},
        {L"Internet Shortcut", L"InternetShortcut"},
        {L"All File System Objects", L"AllFileSystemObjects"},
    };
    for (const auto& handler : handlers) {
        const std::wstring path = std::wstring(handler.key) + L"\\shellex\\ContextMenuHandlers";
        menus->AddChild(MakeClasses(handler.name, ClassesRoot(), path, Mode::SubkeyValue));
        menus->AddChild(MakeClasses(handler.name, ClassesRoot(), path, Mode::SubkeyName));
    }
    roots.push_back(RTI::Reference<ICategory>(menus));

    RTI::Reference<Group> columns(new Group(L"Column Handlers"));
    columns->AddChild(MakeClasses(L"Folder", ClassesRoot(), L"Folder\\shellex\\ColumnHandlers", Mode::SubkeyName));
    roots.push_back(RTI::Reference<ICategory>(columns));

    roots.push_back(UserAndMachine(L"Shell Execute Hooks", Under(kCurrentVersion, L"Explorer\\ShellExecuteHooks"),
                                   Mode::ValueName));
    roots.push_back(UserAndMachine(L"Approved Shell Extensions", Under(kCurrentVersion, L"Shell Extensions\\Approved"),
                                   Mode::ValueName, false, kReadOnly));

    RTI::Reference<Group> protocols(new Group(L"Protocols"));
    protocols->AddChild(
        MakeClasses(L"Filters", ClassesRoot(), L"PROTOCOLS\\Filter", Mode::SubkeyValue, false, L"CLSID", kReadOnly));
    protocols->AddChild(
        MakeClasses(L"Handlers", ClassesRoot(), L"PROTOCOLS\\Handler", Mode::SubkeyValue, false, L"CLSID", kReadOnly));
    roots.push_back(RTI::Reference<ICategory>(protocols));

    roots.push_back(UserAndMachine(L"Shell Service Object Delay Load",
                                   Under(kCurrentVersion, L"ShellServiceObjectDelayLoad"), Mode::ValueData));
    roots.push_back(UserAndMachine(L"URL search hooks", L"Software\\Microsoft\\Internet Explorer\\URLSearchHooks",
                                   Mode::ValueName));
    roots.push_back(UserAndMachine(L"Shared Task Scheduler", Under(kCurrentVersion, L"Explorer\\SharedTaskScheduler"),
                                   Mode::ValueName));

    // What Windows itself runs: shown, never removed.
    using Layout = Values::Layout;
    RTI::Reference<Group> system(new Group(L"Windows"));
    system->AddChild(
        RTI::Reference<ICategory>(new Values(L"Winlogon", LocalMachine(), Under(kNtCurrentVersion, L"Winlogon"),
                                             {L"Shell", L"Userinit"}, Layout::KeyValues, RegistryView::Native)));
    system->AddChild(
        RTI::Reference<ICategory>(new Values(L"AppInit_DLLs", LocalMachine(), Under(kNtCurrentVersion, L"Windows"),
                                             {L"AppInit_DLLs"}, Layout::KeyValues, RegistryView::Native)));
    if (wow) {
        system->AddChild(RTI::Reference<ICategory>(new Values(L"AppInit_DLLs (32-bit)", LocalMachine(),
                                                              Under(kNtCurrentVersion, L"Windows"), {L"AppInit_DLLs"},
                                                              Layout::KeyValues, RegistryView::Wow32)));
    }
    system->AddChild(RTI::Reference<ICategory>(new Values(L"Active Setup", LocalMachine(),
                                                          L"SOFTWARE\\Microsoft\\Active Setup\\Installed Components",
                                                          {L"StubPath"}, Layout::SubkeyValues, RegistryView::Native)));
    system->AddChild(RTI::Reference<ICategory>(new Values(L"Image File Execution Options", LocalMachine(),
                                                          Under(kNtCurrentVersion, L"Image File Execution Options"),
                                                          {L"Debugger"}, Layout::SubkeyValues, RegistryView::Native)));
    roots.push_back(RTI::Reference<ICategory>(system));

    RTI::Reference<Group> services(new Group(L"Services"));
    services->AddChild(RTI::Reference<ICategory>(new Services(L"Automatic services")));
    roots.push_back(RTI::Reference<ICategory>(services));
    RTI::Reference<Group> tasks(new Group(L"Scheduled tasks"));
    tasks->AddChild(RTI::Reference<ICategory>(new Tasks(L"At logon or boot")));
    roots.push_back(RTI::Reference<ICategory>(tasks));
}

void BuildCatalogue(CategoryList& roots)
{
    const size_t first = roots.size();
    AddCatalogueGroups(roots);
    for (size_t i = first; i < roots.size(); ++i) {
        (void)roots[i]->Enumerate();
    }
}

std::vector<ListedEntry> ListEntries(const CategoryList& roots)
{
    std::vector<ListedEntry> listed;
    ForEachCategory(roots, [&](const std::wstring& path, const RTI::Reference<ICategory>& category) {
        for (const RTI::Reference<IElement>& entry : category->Entries()) {
            listed.push_back({path, category, entry});
        }
    });
    return listed;
}

}  // namespace StartUp
