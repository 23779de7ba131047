#include "startup/SystemEntries.h"

#include "core/platform/Errors.h"
#include "startup/Info.h"
#include "startup/Text.h"

namespace StartUp {

namespace {
constexpr Platform::Status kNotSupported = 50;
}  // namespace

ShownEntry::ShownEntry(std::wstring name, std::wstring location, std::wstring command)
    : name_(std::move(name)), location_(std::move(location)), command_(std::move(command))
{
}

RTI::Reference<IInfo> ShownEntry::GetInfo(uint32_t kind) const
{
    if (kind != FourCC("FILE") || command_.empty()) {
        return {};
    }
    return InfoOfProgram(ProgramOfCommand(command_));
}

bool ShownEntry::IsSame(const IElement& other) const
{
    return other.ClassName() == ClassName() && SameText(other.Location(), location_);
}

Platform::Status ShownEntry::Backup(const SnapshotPlace& place, std::wstring* element)
{
    (void)place;
    (void)element;
    return kNotSupported;
}

Platform::Status ShownEntry::Delete()
{
    return kNotSupported;
}

Platform::Status ShownEntry::Restore(const SnapshotPlace& place)
{
    (void)place;
    return kNotSupported;
}

Service::Service(const Platform::ServiceListing& listing)
    : ShownEntry(listing.displayName.empty() ? listing.name : listing.displayName,
                 L"HKLM\\SYSTEM\\CurrentControlSet\\Services\\" + listing.name, listing.command),
      delayed_(listing.delayed)
{
}

Task::Task(const std::wstring& path, const TaskStart& start)
    : ShownEntry(std::wstring(LastComponent(path)),
                 L"Task Scheduler" + (path.empty() || path.front() != L'\\' ? L"\\" + path : path), start.command),
      atLogon_(start.atLogon),
      atBoot_(start.atBoot)
{
    approved_ = start.enabled ? ApprovedState::Enabled : ApprovedState::Disabled;
}

}  // namespace StartUp
