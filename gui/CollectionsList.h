#pragma once
// GUI::CollectionsView without its window: the tweak sets of the COLLECTIONS
// resource (root Collections, one Set per set with the name `n`, the icon
// `i` and the description `d`), in rows of 135 pixels; the "Custom" set,
// made of the user's own tweak file, carries the links "Run Knobset" and
// "Select file".
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "gui/TweaksList.h"

namespace GUI {

struct CollectionRow {
    std::wstring name;
    std::wstring icon;
    std::wstring description;
    bool custom = false;  // the set named "Custom"
    uint32_t background = 0;
    Rect row, iconArea, runKnobset, selectFile;
};

enum class CollectionAction { None, RunKnobset, SelectFile };

class CollectionsList {
public:
    static constexpr int kRowHeight = 135;
    static constexpr int kScrollBarWidth = 17;
    static constexpr uint32_t kOddColour = 0xFFE7F5FD;
    static constexpr uint32_t kLinkColour = 0xFF0074FF;
    static constexpr uint32_t kDescriptionColour = 0xFFA5A5A5;
    static constexpr const wchar_t* kRunKnobsetText = L"Run Knobset";
    static constexpr const wchar_t* kSelectFileText = L"Select file";

    // Reads the sets from the resource's UTF-8 text; a text that does not
    // parse gives no sets (and the error). Called once, when the window is made.
    [[nodiscard]] uint32_t Load(std::string_view utf8);
    const std::wstring& Problem() const { return problem_; }
    // Lays the rows out for a view `width` wide (the view's show).
    void Show(int width);
    const std::vector<CollectionRow>& Rows() const { return rows_; }
    int ScrollRange() const { return kRowHeight * static_cast<int>(rows_.size()); }
    int ScrollPosition() const { return scroll_; }
    void SetScroll(int position);
    // What a click at (x, y) asks for.
    CollectionAction Click(int x, int y) const;

private:
    std::vector<CollectionRow> rows_;
    std::wstring problem_;
    int width_ = 0;
    int scroll_ = 0;
};

}  // namespace GUI
