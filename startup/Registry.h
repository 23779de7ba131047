#pragma once
// A registry value, or a whole key, from which something starts.
#include <string>
#include <string_view>

#include "startup/IEntry.h"

namespace StartUp {

class Registry final : public IElement {
public:
    enum class Kind { Value, WholeKey };

    // An empty entry for Load.
    Registry() = default;
    Registry(Platform::KeyHandle root, std::wstring path, std::wstring valueName, Kind kind,
             Platform::RegistryView view);

    std::wstring ClassName() const override { return L"Registry"; }
    // The value name; for a whole key the key's own name.
    std::wstring Name() const override;
    uint32_t TypeCode() const override { return FourCC("REGY"); }
    RTI::Reference<IInfo> GetInfo(uint32_t kind) const override;
    // "HKLM\SOFTWARE\WOW6432Node\...\Run, name": the 32-bit view spelled as
    // the registry stores it, so that the two views never share a text.
    std::wstring Location() const override;
    // The string data of a value, as read when the entry was made.
    std::wstring Command() const override { return command_; }
    int RegistryBits() const override { return view_ == Platform::RegistryView::Wow32 ? 32 : 64; }
    bool IsSame(const IElement& other) const override;

    Platform::Status Backup(const SnapshotPlace& place, std::wstring* element) override;
    Platform::Status Delete() override;
    Platform::Status Restore(const SnapshotPlace& place) override;
    bool ExistsNow() const override;

    // Reads a "Registry" element: 0, or -1 when it is malformed. The entry is
    // then stored and unchecked, and keeps the element for Restore.
    [[nodiscard]] Platform::Status Load(std::wstring_view element);
    // Reads the value's string data into Command.
    void ReadCommand();
    // The same from the key already open: the string data of type and data.
    void SetCommandFrom(uint32_t type, const std::vector<uint8_t>& data);

    Platform::KeyHandle Root() const { return root_; }
    const std::wstring& Path() const { return path_; }
    const std::wstring& ValueName() const { return value_; }
    Kind GetKind() const { return kind_; }
    Platform::RegistryView View() const { return view_; }
    const std::wstring& BackupText() const { return backup_; }

private:
    Platform::KeyHandle root_ = nullptr;
    std::wstring path_;
    std::wstring value_;
    Kind kind_ = Kind::Value;
    Platform::RegistryView view_ = Platform::RegistryView::Native;
    std::wstring command_;
    std::wstring backup_;
};

}  // namespace StartUp
