#pragma once
// COM classes and the registrations that name them (browser helpers, shell
// extensions, protocol handlers and the like).
#include <string>
#include <string_view>

#include "core/platform/Handles.h"
#include "startup/IEntry.h"
#include "startup/Registry.h"

namespace StartUp {

// HKCR\CLSID of each view, opened once for a whole enumeration, so that a
// class costs opens relative to it rather than walks from the root (each a
// round trip to the registry, dear where thousands of classes are named).
class ClassKeys {
public:
    ClassKeys();
    ClassKeys(const ClassKeys&) = delete;
    ClassKeys& operator=(const ClassKeys&) = delete;
    // The key in a view, opened on first use; null when it cannot be opened
    // or when Windows has one view only (Wow32 on 32-bit Windows).
    Platform::KeyHandle Clsid(Platform::RegistryView view);

private:
    Platform::UniqueKey native_;
    Platform::UniqueKey wow32_;
    bool nativeTried_ = false;
    bool wow32Tried_ = false;
    bool twoViews_;
};

// A COM class, looked up in the system's own view of the classes and then in
// the 32-bit view. Shown only: removing a class key breaks Windows.
class Class final : public IElement {
public:
    // keys: the enumeration's open CLSID keys; null opens them for this class.
    explicit Class(std::wstring clsid, ClassKeys* keys = nullptr);

    std::wstring ClassName() const override { return L"Class"; }
    // The class's own name; its identifier when it has none.
    std::wstring Name() const override { return name_.empty() ? clsid_ : name_; }
    uint32_t TypeCode() const override { return FourCC("CLSS"); }
    RTI::Reference<IInfo> GetInfo(uint32_t kind) const override;
    std::wstring Location() const override;
    // The in-process server.
    std::wstring Command() const override { return server_; }
    int RegistryBits() const override { return found_ ? (view_ == Platform::RegistryView::Wow32 ? 32 : 64) : 0; }
    bool IsSame(const IElement& other) const override;
    std::vector<RTI::Reference<IElement>> Children() const override;

    Platform::Status Backup(const SnapshotPlace&, std::wstring*) override { return kRefused; }
    Platform::Status Delete() override { return kRefused; }
    Platform::Status Restore(const SnapshotPlace&) override { return kRefused; }
    bool ExistsNow() const override { return found_; }

    const std::wstring& Clsid() const { return clsid_; }
    bool Found() const { return found_; }

    static constexpr Platform::Status kRefused = 5;

private:
    std::wstring clsid_;
    std::wstring name_;
    std::wstring server_;
    Platform::RegistryView view_ = Platform::RegistryView::Native;
    bool found_ = false;
};

// A registration that names a class: a value or a key under a location,
// holding the class identifier in its name or data.
class ClassShortcut final : public IElement {
public:
    // How the class identifier is found from the reference.
    enum class By {
        KeyName = 1,    // the reference is a key named by the identifier
        ValueName = 2,  // a value named by the identifier
        Data = 3,       // the data of a string value (of the key itself for a key reference)
    };

    ClassShortcut() = default;
    // reference: the value or key; clsid: the text that holds the identifier
    // (from its last "{" on); a text without "{" names no class.
    ClassShortcut(RTI::Reference<Registry> reference, By by, std::wstring_view clsidText, ClassKeys* keys = nullptr);

    std::wstring ClassName() const override { return L"ClassShortcut"; }
    // The class's name; the reference's own name when it names no class.
    std::wstring Name() const override;
    uint32_t TypeCode() const override { return FourCC("CLSC"); }
    RTI::Reference<IInfo> GetInfo(uint32_t kind) const override;
    std::wstring Location() const override;
    std::wstring Command() const override;
    int RegistryBits() const override;
    bool IsSame(const IElement& other) const override;
    std::vector<RTI::Reference<IElement>> Children() const override;

    Platform::Status Backup(const SnapshotPlace& place, std::wstring* element) override;
    Platform::Status Delete() override;
    Platform::Status Restore(const SnapshotPlace& place) override;
    bool ExistsNow() const override;

    // Reads a "ClassShortcut" element with its "Registry": 0 or -1.
    [[nodiscard]] Platform::Status Load(std::wstring_view element);

    const RTI::Reference<Registry>& Reference() const { return reference_; }
    const std::wstring& Clsid() const { return clsid_; }

private:
    RTI::Reference<Registry> reference_;
    By by_ = By::KeyName;
    std::wstring clsid_;
    RTI::Reference<Class> class_;
};

// The identifier in a text: from its last "{" to the end; empty without one.
std::wstring ClsidOf(std::wstring_view text);

}  // namespace StartUp
