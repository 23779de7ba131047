#pragma once
// The services and scheduled tasks that start with Windows, as the system's
// own managers list them. Both are read-only here.
#include <string>

#include "startup/IEntry.h"

namespace StartUp::Categories {

// Services (not drivers) whose start type is automatic.
class Services final : public ICategory {
public:
    explicit Services(std::wstring name) : name_(std::move(name)) {}
    std::wstring ClassName() const override { return L"Services"; }
    std::wstring Name() const override { return name_; }
    uint32_t TypeCode() const override { return FourCC("SRVS"); }
    // The manager's error when it cannot list them; nothing is then listed.
    Platform::Status Enumerate() override;
    bool IsReadOnly() const override { return true; }
    std::wstring ReadOnlyReason() const override;

private:
    std::wstring name_;
};

// Tasks of every folder of the Task Scheduler with an enabled logon or boot
// trigger that start a program; disabled tasks are listed with that state.
class Tasks final : public ICategory {
public:
    explicit Tasks(std::wstring name) : name_(std::move(name)) {}
    std::wstring ClassName() const override { return L"Tasks"; }
    std::wstring Name() const override { return name_; }
    uint32_t TypeCode() const override { return FourCC("TSKS"); }
    // The scheduler's error when it cannot list them (none before Vista).
    Platform::Status Enumerate() override;
    bool IsReadOnly() const override { return true; }
    std::wstring ReadOnlyReason() const override;

private:
    std::wstring name_;
};

}  // namespace StartUp::Categories
