#pragma once
// Tweaker::Shortcut: a shell shortcut (.lnk) in a special folder, created
// when missing. A shortcut file that exists is the user's and is never
// overwritten.
#include <string>

#include "core/rti/System.h"
#include "tweaker/IItem.h"

namespace Tweaker {

class Shortcut final : public IItem, public RTI::System {
public:
    std::wstring GetTypeName() const override { return L"Shortcut"; }
    std::wstring GetName() const override { return name_; }
    std::wstring GetPath() const override { return subFolder_; }
    // Rejects a special-folder keyword it does not know.
    [[nodiscard]] int Load(XmlDocument& reader) override;
    bool Analyse() override;
    bool Apply(Remover::Processor* journal, Platform::EventHandle cancel) override;

    const std::wstring& GetFolderKeyword() const { return folderKeyword_; }
    int GetFolderCsidl() const { return csidl_; }
    const std::wstring& GetTargetName() const { return targetName_; }
    const std::wstring& GetTargetFolder() const { return targetFolder_; }
    // The folder holding the shortcut file; empty when the shell has no such
    // special folder.
    std::wstring LinkFolder() const;
    // The shortcut file; empty when the shell has no such special folder.
    std::wstring LinkPath() const;

private:
    std::wstring name_;
    std::wstring subFolder_;
    std::wstring folderKeyword_;
    int csidl_ = -1;
    std::wstring targetName_;
    std::wstring targetFolder_;
};

}  // namespace Tweaker
