#pragma once
// Services and scheduled tasks that start with Windows. They are shown only:
// the service control manager and the Task Scheduler own them, and a backup
// of either is more than a value or a file.
#include <string>

#include "core/platform/Platform.h"
#include "startup/IEntry.h"
#include "startup/TaskDefinition.h"

namespace StartUp {

// What both kinds share: a name, a location text, a command, no changes.
class ShownEntry : public IElement {
public:
    std::wstring Name() const override { return name_; }
    std::wstring Location() const override { return location_; }
    std::wstring Command() const override { return command_; }
    RTI::Reference<IInfo> GetInfo(uint32_t kind) const override;
    // The same kind at the same location, without regard to case.
    bool IsSame(const IElement& other) const override;
    // Never changed here: error 50 (not supported).
    Platform::Status Backup(const SnapshotPlace& place, std::wstring* element) override;
    Platform::Status Delete() override;
    Platform::Status Restore(const SnapshotPlace& place) override;
    bool ExistsNow() const override { return true; }

protected:
    ShownEntry(std::wstring name, std::wstring location, std::wstring command);

private:
    std::wstring name_;
    std::wstring location_;
    std::wstring command_;
};

// A service with an automatic start. Its location is the service's key,
// "HKLM\SYSTEM\CurrentControlSet\Services\<name>".
class Service final : public ShownEntry {
public:
    explicit Service(const Platform::ServiceListing& listing);
    std::wstring ClassName() const override { return L"Service"; }
    uint32_t TypeCode() const override { return FourCC("SRVC"); }
    bool IsDelayed() const { return delayed_; }

private:
    bool delayed_;
};

// A scheduled task with a logon or boot trigger. Its location is the
// scheduler's path behind "Task Scheduler" ("Task Scheduler\Vendor\Update");
// Windows' own state is the task's enabled setting.
class Task final : public ShownEntry {
public:
    Task(const std::wstring& path, const TaskStart& start);
    std::wstring ClassName() const override { return L"Task"; }
    uint32_t TypeCode() const override { return FourCC("TASK"); }
    bool AtLogon() const { return atLogon_; }
    bool AtBoot() const { return atBoot_; }

private:
    bool atLogon_;
    bool atBoot_;
};

}  // namespace StartUp
