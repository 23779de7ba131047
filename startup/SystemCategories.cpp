#include "startup/SystemCategories.h"

#include <vector>

#include "core/platform/Errors.h"
#include "startup/SystemEntries.h"
#include "startup/TaskDefinition.h"

namespace StartUp::Categories {

Platform::Status Services::Enumerate()
{
    std::vector<Platform::ServiceListing> listed;
    if (Platform::Status s = Platform::Current().System().ListAutoStartServices(&listed)) {
        SetFound({});
        return s;
    }
    ElementList found;
    for (const Platform::ServiceListing& service : listed) {
        found.push_back(RTI::Reference<IElement>(new Service(service)));
    }
    SetFound(std::move(found));
    return Err::Success;
}

std::wstring Services::ReadOnlyReason() const
{
    return L"the service control manager starts services; change a service's start type in the Services console";
}

Platform::Status Tasks::Enumerate()
{
    std::vector<Platform::TaskListing> listed;
    if (Platform::Status s = Platform::Current().System().ListTasks(&listed)) {
        SetFound({});
        return s;
    }
    ElementList found;
    for (const Platform::TaskListing& task : listed) {
        const std::optional<TaskStart> start = ReadTaskDefinition(task.definition);
        // A task that starts no program (a COM handler, an e-mail) runs
        // nothing this listing could name.
        if (start && (start->atLogon || start->atBoot) && !start->command.empty()) {
            found.push_back(RTI::Reference<IElement>(new Task(task.path, *start)));
        }
    }
    SetFound(std::move(found));
    return Err::Success;
}

std::wstring Tasks::ReadOnlyReason() const
{
    return L"the Task Scheduler runs its tasks; enable or disable a task in the Task Scheduler";
}

}  // namespace StartUp::Categories
