#include "app/settings/StartWithWindows.h"

#include "app/settings/RegistryValues.h"
#include "core/platform/Errors.h"
#include "core/xml/XmlEscape.h"

namespace AppSettings {
namespace {

// REGDB_E_CLASSNOTREG: the scheduler's objects are missing (Windows XP).
constexpr Platform::Status kSchedulerMissing = 0x80040154u;

Platform::ISystem& System()
{
    return Platform::Current().System();
}

std::wstring TaskNameOf(const Environment& environment)
{
    const std::wstring account = System().UserAccount();
    return account.empty() ? std::wstring() : LogonTaskName(environment.where.taskPrefix, account);
}

bool NoTask(Platform::Status s)
{
    return s == Err::FileNotFound || s == Err::PathNotFound || s == kSchedulerMissing;
}

std::wstring Text(const std::wstring& text)
{
    return Xml::Escape(text, Xml::EscapeFor::Text);
}

// Reads the task back: a scheduler that keeps the task but drops its logon
// trigger or its program (Wine's does) would never start the program.
Platform::Status CheckRegisteredTask(const std::wstring& task, const std::wstring& programPath)
{
    std::wstring stored;
    if (Platform::Status s = System().QueryTask(task, &stored)) {
        return s;
    }
    if (stored.find(L"<LogonTrigger") != std::wstring::npos &&
        stored.find(L"<Command>" + Text(programPath) + L"</Command>") != std::wstring::npos) {
        return Err::Success;
    }
    (void)System().DeleteTask(task);
    return Err::NotSupported;
}

}  // namespace

std::wstring LogonTaskName(const std::wstring& taskPrefix, const std::wstring& account)
{
    std::wstring user = account;
    for (wchar_t& c : user) {
        if (c < 0x20 || std::wstring_view(L"\\/:*?\"<>|").find(c) != std::wstring_view::npos) {
            c = L'_';
        }
    }
    return taskPrefix + L" (" + user + L")";
}

std::wstring LogonTaskDefinition(const std::wstring& programPath, const std::wstring& account)
{
    const size_t slash = programPath.find_last_of(L'\\');
    const std::wstring folder = slash == std::wstring::npos ? std::wstring() : programPath.substr(0, slash);
    // PT0S: no time limit (the scheduler's default of 72 hours would end the
    // program). Priority 5 is a normal priority class; the default 7 is below.
    return L"<?xml version=\"1.0\" encoding=\"UTF-16\"?>\n"
           L"<Task version=\"1.2\" xmlns=\"http://schemas.microsoft.com/windows/2004/02/mit/task\">\n"
           L"  <RegistrationInfo>\n"
           L"    <Description>Starts Corvane when " +
           Text(account) +
           L" logs on.</Description>\n"
           L"  </RegistrationInfo>\n"
           L"  <Triggers>\n"
           L"    <LogonTrigger>\n"
           L"      <Enabled>true</Enabled>\n"
           L"      <UserId>" +
           Text(account) +
           L"</UserId>\n"
           L"    </LogonTrigger>\n"
           L"  </Triggers>\n"
           L"  <Principals>\n"
           L"    <Principal id=\"Author\">\n"
           L"      <UserId>" +
           Text(account) +
           L"</UserId>\n"
           L"      <LogonType>InteractiveToken</LogonType>\n"
           L"      <RunLevel>HighestAvailable</RunLevel>\n"
           L"    </Principal>\n"
           L"  </Principals>\n"
           L"  <Settings>\n"
           L"    <MultipleInstancesPolicy>IgnoreNew</MultipleInstancesPolicy>\n"
           L"    <DisallowStartIfOnBatteries>false</DisallowStartIfOnBatteries>\n"
           L"    <StopIfGoingOnBatteries>false</StopIfGoingOnBatteries>\n"
           L"    <AllowStartOnDemand>true</AllowStartOnDemand>\n"
           L"    <Enabled>true</Enabled>\n"
           L"    <ExecutionTimeLimit>PT0S</ExecutionTimeLimit>\n"
           L"    <Priority>5</Priority>\n"
           L"  </Settings>\n"
           L"  <Actions Context=\"Author\">\n"
           L"    <Exec>\n"
           L"      <Command>" +
           Text(programPath) +
           L"</Command>\n"
           L"      <WorkingDirectory>" +
           Text(folder) +
           L"</WorkingDirectory>\n"
           L"    </Exec>\n"
           L"  </Actions>\n"
           L"</Task>\n";
}

std::wstring RunCommand(const std::wstring& programPath)
{
    return L"\"" + programPath + L"\"";
}

bool StartsWithWindows(const Environment& environment)
{
    if (ValueExists(environment.where.runKey, environment.where.runValue)) {
        return true;
    }
    const std::wstring task = TaskNameOf(environment);
    return !task.empty() && System().QueryTask(task, nullptr) == Err::Success;
}

StartWithWindowsResult ApplyStartWithWindows(const Environment& environment, bool on)
{
    const Locations& where = environment.where;
    const std::wstring task = TaskNameOf(environment);
    StartWithWindowsResult result;
    if (!on) {
        result.status = DeleteValue(where.runKey, where.runValue);
        if (!task.empty()) {
            const Platform::Status s = System().DeleteTask(task);
            if (!NoTask(s) && result.status == Err::Success) {
                result.status = s;
            }
        }
        return result;
    }
    if (environment.programPath.empty()) {
        result.status = Err::BadFormat;
        return result;
    }
    if (environment.elevated.value_or(System().IsElevated())) {
        const std::wstring account = System().UserAccount();
        Platform::Status s = task.empty()
                                 ? Err::BadFormat
                                 : System().RegisterTask(task, LogonTaskDefinition(environment.programPath, account));
        if (s == Err::Success) {
            s = CheckRegisteredTask(task, environment.programPath);
        }
        if (s == Err::Success) {
            result.status = DeleteValue(where.runKey, where.runValue);
            return result;
        }
        // Without the task the Run value is the best there is; say so.
        result.taskError = s;
    }
    result.status = WriteString(where.runKey, where.runValue, RunCommand(environment.programPath));
    if (result.status == Err::Success && result.taskError == Err::Success && !task.empty()) {
        // A task left from an elevated run would start the program a second time.
        const Platform::Status s = System().DeleteTask(task);
        if (!NoTask(s)) {
            result.status = s;
        }
    }
    return result;
}

}  // namespace AppSettings
