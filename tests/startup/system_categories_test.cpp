// Services with an automatic start and tasks that run at logon or boot:
// listed from what the system's managers report, read-only with the reason.
#ifndef _WIN32
#include <gtest/gtest.h>

#include <optional>
#include <set>
#include <string>
#include <tuple>

#include "startup/TaskDefinition.h"
#include "tests/startup/StartupFixture.h"

namespace {

using namespace StartUpTesting;
using Platform::Portable::Operation;

std::wstring TaskXml(const std::wstring& triggers, const std::wstring& actions, const std::wstring& settings = L"")
{
    return L"<?xml version=\"1.0\" encoding=\"UTF-16\"?>\n"
           L"<Task version=\"1.2\" xmlns=\"http://schemas.microsoft.com/windows/2004/02/mit/task\">"
           L"<RegistrationInfo><Author>me</Author></RegistrationInfo>"
           L"<Triggers>" +
           triggers +
           L"</Triggers>"
           L"<Settings>" +
           settings +
           L"</Settings>"
           L"<Actions Context=\"Author\">" +
           actions + L"</Actions></Task>";
}

const std::wstring kLogon = L"<LogonTrigger><Enabled>true</Enabled></LogonTrigger>";
const std::wstring kBoot = L"<BootTrigger/>";
const std::wstring kDaily = L"<CalendarTrigger><StartBoundary>2026-01-01T09:00:00</StartBoundary></CalendarTrigger>";
const std::wstring kExec =
    L"<Exec><Command>C:\\Program Files\\Tool\\tool.exe</Command><Arguments>/bg</Arguments></Exec>";

TEST(TaskDefinition, TriggersStateAndCommandAreRead)
{
    struct Case {
        const char* what;
        std::wstring xml;
        std::optional<std::tuple<bool, bool, bool, std::wstring>> expected;  // logon, boot, enabled, command
    };
    const std::wstring tool = L"\"C:\\Program Files\\Tool\\tool.exe\" /bg";
    const Case cases[] = {
        {"logon", TaskXml(kLogon, kExec), std::tuple{true, false, true, tool}},
        {"boot and daily", TaskXml(kDaily + kBoot, kExec), std::tuple{false, true, true, tool}},
        {"daily only", TaskXml(kDaily, kExec), std::tuple{false, false, true, tool}},
        {"trigger switched off", TaskXml(L"<LogonTrigger><Enabled>false</Enabled></LogonTrigger>", kExec),
         std::tuple{false, false, true, tool}},
        {"task disabled", TaskXml(kLogon, kExec, L"<Enabled>false</Enabled>"), std::tuple{true, false, false, tool}},
        {"no arguments, no space",
         TaskXml(kLogon, L"<Exec><Command>C:\\t.exe</Command></Exec><Exec><Command>second.exe</Command></Exec>"),
         std::tuple{true, false, true, std::wstring(L"C:\\t.exe")}},
        {"COM handler only", TaskXml(kLogon, L"<ComHandler><ClassId>{X}</ClassId></ComHandler>"),
         std::tuple{true, false, true, std::wstring()}},
        {"not a task", L"<Job><Triggers>" + kLogon + L"</Triggers></Job>", std::nullopt},
        {"not XML", L"<Task><Triggers>", std::nullopt},
        {"empty", L"", std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const std::optional<StartUp::TaskStart> start = StartUp::ReadTaskDefinition(c.xml);
        ASSERT_EQ(start.has_value(), c.expected.has_value());
        if (start) {
            EXPECT_EQ(std::tuple(start->atLogon, start->atBoot, start->enabled, start->command), *c.expected);
        }
    }
}

class SystemCategoriesTest : public StartupTest {
protected:
    void PrepareMachine()
    {
        auto& system = Portable().System();
        system.AddService({L"Spooler", L"Print Spooler", L"C:\\WINDOWS\\System32\\spoolsv.exe", false}, 2);
        system.AddService({L"Updater", L"", L"\"C:\\Program Files\\Up\\up.exe\" -service", true}, 2);
        system.AddService({L"OnDemand", L"On demand", L"C:\\od.exe", false}, 3);
        system.AddService({L"Off", L"Switched off", L"C:\\off.exe", false}, 4);
        ASSERT_EQ(system.RegisterTask(L"AtLogon", TaskXml(kLogon, kExec)), Err::Success);
        ASSERT_EQ(system.RegisterTask(L"AtBoot", TaskXml(kBoot, kExec, L"<Enabled>false</Enabled>")), Err::Success);
        ASSERT_EQ(system.RegisterTask(L"Daily", TaskXml(kDaily, kExec)), Err::Success);
        ASSERT_EQ(system.RegisterTask(L"Handler", TaskXml(kLogon, L"<ComHandler><ClassId>{X}</ClassId></ComHandler>")),
                  Err::Success);
        ASSERT_EQ(system.RegisterTask(L"Broken", L"<Task>"), Err::Success);
        WriteFile(L"C:\\WINDOWS\\System32\\spoolsv.exe", "MZ" + std::string(80, 's'));
        system.SetFileVersion(L"C:\\WINDOWS\\System32\\spoolsv.exe", {L"Spooler", L"Windows Makers", L"", L""});
    }
};

TEST_F(SystemCategoriesTest, AutomaticServicesAndStartupTasksAreListedReadOnly)
{
    PrepareMachine();
    using StartUp::ApprovedState;
    struct Case {
        std::wstring category;
        std::wstring location;
        std::wstring name;
        std::wstring command;
        ApprovedState state;
    };
    const std::wstring services = L"HKLM\\SYSTEM\\CurrentControlSet\\Services\\";
    const std::wstring tool = L"\"C:\\Program Files\\Tool\\tool.exe\" /bg";
    const Case cases[] = {
        {L"Services / Automatic services", services + L"Spooler", L"Print Spooler",
         L"C:\\WINDOWS\\System32\\spoolsv.exe", ApprovedState::NotRecorded},
        {L"Services / Automatic services", services + L"Updater", L"Updater",
         L"\"C:\\Program Files\\Up\\up.exe\" -service", ApprovedState::NotRecorded},
        {L"Scheduled tasks / At logon or boot", L"Task Scheduler\\AtLogon", L"AtLogon", tool, ApprovedState::Enabled},
        {L"Scheduled tasks / At logon or boot", L"Task Scheduler\\AtBoot", L"AtBoot", tool, ApprovedState::Disabled},
    };
    const StartUp::CategoryList roots = Catalogue();
    std::set<std::wstring> listed;
    for (const StartUp::ListedEntry& entry : StartUp::ListEntries(roots)) {
        if (entry.category.rfind(L"Services", 0) == 0 || entry.category.rfind(L"Scheduled", 0) == 0) {
            listed.insert(entry.entry->Location());
        }
    }
    EXPECT_EQ(listed.size(), std::size(cases));
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.location.begin(), c.location.end()));
        const StartUp::ListedEntry entry = Entry(roots, c.location);
        ASSERT_TRUE(entry.entry);
        EXPECT_EQ(entry.category, c.category);
        EXPECT_EQ(entry.entry->Name(), c.name);
        EXPECT_EQ(entry.entry->Command(), c.command);
        EXPECT_EQ(entry.entry->Approved(), c.state);
        EXPECT_TRUE(entry.owner->IsReadOnly());
        EXPECT_FALSE(entry.owner->ReadOnlyReason().empty());
        // Asked to disable anyway, nothing is saved and nothing changes.
        EXPECT_EQ(Disable(c.location), Err::AccessDenied);
    }
    EXPECT_EQ(SavedCount(), 0u);
    const RTI::Reference<StartUp::IInfo> info = Entry(roots, services + L"Spooler").entry->GetInfo();
    ASSERT_TRUE(info && info->IsValid());
    EXPECT_EQ(info->Version().company, L"Windows Makers");
}

TEST_F(SystemCategoriesTest, AManagerThatCannotListTakesNothingElseAway)
{
    PrepareMachine();
    SetText(Platform::CurrentUser(), kRun, L"App", L"app.exe");
    const Operation failing[] = {Operation::ListTasks, Operation::ListAutoStartServices};
    for (const Operation op : failing) {
        SCOPED_TRACE(static_cast<int>(op));
        Portable().Faults().Clear();
        Portable().Faults().FailWhen(
            op, [](const auto&) { return true; }, Err::AccessDenied);
        const StartUp::CategoryList roots = Catalogue();
        size_t services = 0;
        size_t tasks = 0;
        for (const StartUp::ListedEntry& entry : StartUp::ListEntries(roots)) {
            services += entry.entry->ClassName() == L"Service";
            tasks += entry.entry->ClassName() == L"Task";
        }
        EXPECT_EQ(services, op == Operation::ListAutoStartServices ? 0u : 2u);
        EXPECT_EQ(tasks, op == Operation::ListTasks ? 0u : 2u);
        EXPECT_TRUE(Entry(roots, L"HKCU\\" + kRun + L", App").entry);
    }
}

}  // namespace
#endif
