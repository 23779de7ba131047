#pragma once
// GUI::TweakInfo without its window: the details text, one editor per
// editable registry item, and OK/Cancel. Editors hold pending values only:
// "Recommended" and "From Registry" fill the editor, a ticked preset is the
// editor's whole pending choice (value, action, binary length); nothing
// reaches the item before OK, so Cancel undoes everything.
#include <optional>
#include <string>
#include <vector>

#include "core/rti/Reference.h"
#include "tweaker/ITweak.h"
#include "tweaker/Key.h"
#include "tweaker/Manager.h"
#include "tweaker/Preview.h"

namespace GUI {

struct ValueEditor {
    Tweaker::Key* item = nullptr;
    bool range = false;                    // an edit box; otherwise presets
    std::wstring text;                     // range: the edit box's text
    std::vector<Tweaker::Choice> presets;  // set: one check box each
    std::vector<std::wstring> captions;
    int ticked = -1;  // set: the ticked preset
};

class TweakDetails {
public:
    static const wchar_t* const kNoAccessText;
    static const wchar_t* const kRefusedText;

    void Show(RTI::Reference<Tweaker::ITweak> tweak);
    const std::wstring& Text() const { return text_; }
    // The places the tweak writes, one line each, with what they hold now.
    const std::vector<std::wstring>& ChangeLines() const { return changeLines_; }
    bool EditsValues() const { return !editors_.empty(); }
    std::vector<ValueEditor>& Editors() { return editors_; }

    void Type(size_t editor, std::wstring text);  // up to 260 characters
    void Recommended(size_t editor);
    void FromRegistry(size_t editor);
    void Tick(size_t editor, int preset);
    // The edit box's height: 20 pixels a line, 23 characters a line, four lines at most.
    static int EditHeight(const std::wstring& text);

    // Checks every range editor; on success sets the values, saves the
    // tweak's record and returns 0. `refused` gets the message when a value
    // is refused (nothing is changed then).
    [[nodiscard]] uint32_t Ok(Tweaker::Manager& manager, std::wstring* refused);

private:
    RTI::Reference<Tweaker::ITweak> tweak_;
    std::wstring text_;
    std::vector<std::wstring> changeLines_;
    std::vector<ValueEditor> editors_;
};

}  // namespace GUI
