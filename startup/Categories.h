#pragma once
// The category classes: each knows how to list the entries of one kind of
// autostart location.
#include <optional>
#include <string>
#include <vector>

#include "core/platform/Platform.h"
#include "startup/Approved.h"
#include "startup/IEntry.h"

namespace StartUp {
class ClassKeys;
}  // namespace StartUp

namespace StartUp::Categories {

// A named list of categories.
class Group final : public ICategory {
public:
    explicit Group(std::wstring name) : name_(std::move(name)) {}
    std::wstring ClassName() const override { return L"Group"; }
    std::wstring Name() const override { return name_; }
    uint32_t TypeCode() const override { return FourCC("GRUP"); }
    // Enumerates every child in order; always 0.
    Platform::Status Enumerate() override;
    const std::vector<RTI::Reference<ICategory>>& Categories() const override { return children_; }
    void AddChild(RTI::Reference<ICategory> category) { children_.push_back(std::move(category)); }
    // Forwarded to each child category, below the group's path.
    void Merge(const Snapshot& snapshot, const std::wstring& parentPath) override;
    Platform::Status Save(Snapshot& snapshot, const CategoryList& roots, const std::wstring& parentPath,
                          std::vector<ChoiceFailure>* failures) override;

private:
    std::wstring name_;
    std::vector<RTI::Reference<ICategory>> children_;
};

// The values of a registry key, each a command started at logon.
class Run final : public ICategory {
public:
    enum class Layout {
        Values,          // Run, RunOnce: the key's own values
        SubkeyCommands,  // RunOnceEx: the values of its subkeys, not their titles
    };

    Run(std::wstring name, Platform::KeyHandle root, std::wstring path, Platform::RegistryView view, Layout layout,
        std::optional<ApprovedList> approved);
    std::wstring ClassName() const override { return L"Run"; }
    std::wstring Name() const override { return name_; }
    uint32_t TypeCode() const override { return FourCC("RUN "); }
    Platform::Status Enumerate() override;
    bool Owns(const IElement& entry, std::wstring* refusal) const override;

    Platform::KeyHandle Root() const { return root_; }
    const std::wstring& Path() const { return path_; }
    Platform::RegistryView View() const { return view_; }
    // The StartupApproved list Windows records this key's entries in.
    std::optional<ApprovedList> ApprovedRecords() const { return approved_; }

private:
    std::wstring name_;
    Platform::KeyHandle root_;
    std::wstring path_;
    Platform::RegistryView view_;
    Layout layout_;
    std::optional<ApprovedList> approved_;
};

// A Startup folder, by its shell folder identifier.
class Folder final : public ICategory {
public:
    // approvedRoot: where Windows records the state of the folder's files
    // (HKCU for the user's folder, HKLM for the common one).
    Folder(std::wstring name, int csidl, Platform::KeyHandle approvedRoot);
    std::wstring ClassName() const override { return L"Folder"; }
    std::wstring Name() const override { return name_; }
    uint32_t TypeCode() const override { return FourCC("FLDR"); }
    // Lists the folder's own files (never its sub-folders, which Windows
    // ignores) but desktop.ini and files both hidden and system, whatever
    // their size. 87 when the shell names no such folder.
    Platform::Status Enumerate() override;
    // Files directly in the folder, compared without regard to case. A
    // refusal names the folder and where the saved copy lies.
    bool Owns(const IElement& entry, std::wstring* refusal) const override;

    // The folder's path now (asked of the shell at each call).
    std::wstring Path() const;

private:
    std::wstring name_;
    int csidl_;
    Platform::KeyHandle approvedRoot_;
};

// Registrations that name COM classes under one key.
class Classes final : public ICategory {
public:
    // Where the class identifier of each entry is found.
    enum class Mode {
        SubkeyValue = 1,  // the sub-keys, identifier in their value named valueName
        SubkeyName = 2,   // the sub-keys, identifier in their names
        ValueName = 3,    // the values, identifier in their names
        ValueData = 4,    // the values, identifier in their data
    };
    enum class Access { Removable, ReadOnly };

    Classes(std::wstring name, Platform::KeyHandle root, std::wstring path, std::wstring valueName, Mode mode,
            bool recurse, Platform::RegistryView view, Access access);
    std::wstring ClassName() const override { return L"Classes"; }
    std::wstring Name() const override { return name_; }
    uint32_t TypeCode() const override { return FourCC("CLSS"); }
    Platform::Status Enumerate() override;
    bool IsReadOnly() const override { return access_ == Access::ReadOnly; }
    bool Owns(const IElement& entry, std::wstring* refusal) const override;

private:
    void Walk(Platform::KeyHandle key, const std::wstring& path, int depth, ClassKeys& classKeys, ElementList* found);

    std::wstring name_;
    Platform::KeyHandle root_;
    std::wstring path_;
    std::wstring valueName_;
    Mode mode_;
    bool recurse_;
    Platform::RegistryView view_;
    Access access_;
};

// Named values that Windows itself runs (Winlogon's shell, AppInit_DLLs,
// Active Setup, debuggers of Image File Execution Options): shown only,
// since removing them breaks Windows or the programs they belong to.
class Values final : public ICategory {
public:
    enum class Layout {
        KeyValues,     // the named values of the key itself
        SubkeyValues,  // the named value in each sub-key of the key
    };
    Values(std::wstring name, Platform::KeyHandle root, std::wstring path, std::vector<std::wstring> valueNames,
           Layout layout, Platform::RegistryView view);
    std::wstring ClassName() const override { return L"Values"; }
    std::wstring Name() const override { return name_; }
    uint32_t TypeCode() const override { return FourCC("VALS"); }
    Platform::Status Enumerate() override;
    bool IsReadOnly() const override { return true; }

private:
    std::wstring name_;
    Platform::KeyHandle root_;
    std::wstring path_;
    std::vector<std::wstring> valueNames_;
    Layout layout_;
    Platform::RegistryView view_;
};

}  // namespace StartUp::Categories
