#pragma once
// Tweaker::File: a file item that moves, deletes or empties files. The folder
// and destination may name environment variables (%TEMP%, %LOCALAPPDATA%, ...).
#include <string>

#include "core/rti/System.h"
#include "tweaker/IItem.h"
#include "tweaker/Keywords.h"

namespace Tweaker {

class File final : public IItem, public RTI::System {
public:
    std::wstring GetTypeName() const override { return L"File"; }
    std::wstring GetName() const override { return name_; }
    std::wstring GetPath() const override { return folder_; }
    // Rejects an action that is none of FILE_MOVE, FILE_DELETE, FILE_CLEAR.
    [[nodiscard]] int Load(XmlDocument& reader) override;
    bool Analyse() override;
    // FILE_DELETE records the literal folder + name before removing; every
    // other matching file is a cleanup deletion and is not saved. FILE_MOVE
    // records the destination's creation and the source's deletion when the
    // move will happen.
    bool Apply(Remover::Processor* journal, Platform::EventHandle cancel) override;

    int GetActionCode() const { return action_; }
    const std::wstring& GetActionText() const { return actionText_; }
    const std::wstring& GetDestination() const { return destination_; }
    bool IsRecursive() const { return recursive_; }
    // The folder and destination with environment variables expanded.
    std::wstring Folder() const;
    std::wstring DestinationFolder() const;

private:
    bool ApplyDelete(Remover::Processor* journal, Platform::EventHandle cancel);
    bool ApplyClear(Remover::Processor* journal, Platform::EventHandle cancel);
    bool ApplyMove(Remover::Processor* journal, Platform::EventHandle cancel);

    std::wstring folder_;
    std::wstring name_;
    std::wstring destination_;
    std::wstring actionText_;
    int action_ = FileAction::Invalid;
    bool recursive_ = false;
};

}  // namespace Tweaker
