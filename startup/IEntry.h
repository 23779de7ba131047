#pragma once
// The objects of the startup manager: categories (autostart locations) and
// the entries found in them, all held through RTI::Reference.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "core/platform/Platform.h"
#include "core/rti/Dynamic.h"
#include "core/rti/Reference.h"

namespace StartUp {

// Big-endian ASCII of four letters: FourCC("GRUP") == 0x47525550.
constexpr uint32_t FourCC(const char (&text)[5])
{
    return (static_cast<uint32_t>(static_cast<uint8_t>(text[0])) << 24) |
           (static_cast<uint32_t>(static_cast<uint8_t>(text[1])) << 16) |
           (static_cast<uint32_t>(static_cast<uint8_t>(text[2])) << 8) |
           static_cast<uint32_t>(static_cast<uint8_t>(text[3]));
}

// The version information of a program file.
class IInfo : public RTI::Dynamic {
public:
    // True when the file carried a version resource with a translation table.
    virtual bool IsValid() const = 0;
    virtual const Platform::FileVersion& Version() const = 0;
};

// Windows' own record of whether an entry may start, as Task Manager keeps it.
enum class ApprovedState {
    NotRecorded,  // a location Windows keeps no such record for
    Enabled,
    Disabled,
    Unknown,  // the record is malformed
};

class IEntry : public RTI::Dynamic {
public:
    // True when the entry stays enabled; new objects are checked.
    bool IsChecked() const { return checked_; }
    void SetChecked(bool checked) { checked_ = checked; }
    // True when the object was read from the snapshot, not found on the system.
    bool IsStored() const { return stored_; }

    virtual std::wstring ClassName() const = 0;
    virtual std::wstring Name() const = 0;
    virtual uint32_t TypeCode() const = 0;
    // Version information of the program behind the entry (kind 'FILE');
    // empty for anything else.
    virtual RTI::Reference<IInfo> GetInfo(uint32_t kind = FourCC("FILE")) const
    {
        (void)kind;
        return {};
    }

protected:
    bool checked_ = true;
    bool stored_ = false;
};

// Where removed entries are kept: the snapshot folder, whose Files\ holds the
// copies of removed files under their digest.
struct SnapshotPlace {
    std::wstring folder;
    std::wstring FilesFolder() const { return folder + L"\\Files"; }
};

class IElement : public IEntry {
public:
    // Where the entry lives: "ROOT\key, value", "ROOT\key" or a file's path.
    virtual std::wstring Location() const = 0;
    // The command or target it starts; empty when there is none.
    virtual std::wstring Command() const { return {}; }
    // 32 or 64 for registry entries (the registry view), 0 otherwise.
    virtual int RegistryBits() const { return 0; }
    virtual bool IsSame(const IElement& other) const = 0;
    // Children shown below the entry in a tree (a shortcut's target, a
    // class's server, the class a reference names).
    virtual std::vector<RTI::Reference<IElement>> Children() const { return {}; }

    // Saves what removing the entry takes away: writes its snapshot element
    // into *element and, for files, the copy into the snapshot's Files\.
    // Nothing is changed on the system. Any part that cannot be read is an
    // error, so that nothing is removed without its backup.
    [[nodiscard]] virtual Platform::Status Backup(const SnapshotPlace& place, std::wstring* element) = 0;
    // Takes the entry off the system (after Backup).
    [[nodiscard]] virtual Platform::Status Delete() = 0;
    // Puts the entry back from the element it was loaded from. -1 when that
    // element is unusable.
    [[nodiscard]] virtual Platform::Status Restore(const SnapshotPlace& place) = 0;
    // Whether the entry exists on the system now.
    virtual bool ExistsNow() const = 0;

    ApprovedState Approved() const { return approved_; }
    void SetApproved(ApprovedState state) { approved_ = state; }

protected:
    ApprovedState approved_ = ApprovedState::NotRecorded;
};

using ElementList = std::vector<RTI::Reference<IElement>>;

class ICategory;
class Snapshot;
using CategoryList = std::vector<RTI::Reference<ICategory>>;

// A choice Save could not carry out.
struct ChoiceFailure {
    std::wstring location;
    Platform::Status status = 0;
    std::wstring message;  // why a restore was refused; empty otherwise
};

class ICategory : public IEntry {
public:
    // Fills the list from the live system, replacing equal entries instead of
    // adding them again. The error of opening the location, or 0.
    [[nodiscard]] virtual Platform::Status Enumerate() = 0;
    // Groups hold categories, the others entries.
    virtual const std::vector<RTI::Reference<ICategory>>& Categories() const { return noCategories_; }
    const ElementList& Entries() const { return entries_; }
    void ClearEntries() { entries_.clear(); }
    // Entries of a read-only category are shown, never removed or restored.
    virtual bool IsReadOnly() const { return false; }
    // Why a read-only category's entries are only shown; empty for the others.
    virtual std::wstring ReadOnlyReason() const
    {
        return IsReadOnly() ? L"it belongs to Windows, which breaks when it is removed" : L"";
    }
    // True when an entry of this place belongs here, so that a restore writes
    // only where this category enumerates. *refusal says why not.
    virtual bool Owns(const IElement& entry, std::wstring* refusal) const
    {
        (void)entry;
        (void)refusal;
        return false;
    }

    // Adds the snapshot's saved entries of this category that the live list
    // lacks (they are stored and unchecked), so that a view shows what was
    // disabled beside what is there. parentPath: the path of the group
    // holding the category, empty at the top.
    virtual void Merge(const Snapshot& snapshot, const std::wstring& parentPath);
    // Carries out the user's choices: an unchecked entry found on the system
    // is removed with its backup, a checked stored one is restored; the rest
    // is left alone. Every entry is tried; the list is then enumerated again.
    // The first error, or 0; each failure is added to *failures.
    [[nodiscard]] virtual Platform::Status Save(Snapshot& snapshot, const CategoryList& roots,
                                                const std::wstring& parentPath, std::vector<ChoiceFailure>* failures);
    // "Group / Category" below parentPath.
    std::wstring PathBelow(const std::wstring& parentPath) const
    {
        return parentPath.empty() ? Name() : parentPath + L" / " + Name();
    }

protected:
    // Replaces what an enumeration found before by what it found now (each
    // found once); stored entries stay unless one found IsSame as them.
    void SetFound(ElementList found);

    ElementList entries_;

private:
    static inline const std::vector<RTI::Reference<ICategory>> noCategories_{};
};

}  // namespace StartUp
