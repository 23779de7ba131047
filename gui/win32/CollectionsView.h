#pragma once
// GUI::CollectionsView: the tweak sets, with "Run Knobset" and "Select file"
// on the "Custom" set, made of the user's own tweak file.
//
// The main window creates it once, when it is made:
//   view.CreateView(mainHwnd, area);
//   view.Load(programFolder, userTweaksPath);  // the COLLECTIONS resource
//   view.Show();                               // the tweak-sets view's show
// "Run Knobset" starts Knobset.exe of programFolder itself (failures told);
// "Select file" posts WM_COMMAND 5038; the main window then calls
//   SelectUserTweaksFile(view.userTweaksPath(), seam, &chosen)
// with a Win32UserFileSeam (gui/win32/UserFileSeam.h) on its prompt thread.
#include <string>

#include "gui/CollectionsList.h"
#include "gui/UserTweaksChoice.h"
#include "gui/win32/RowsView.h"

namespace GUI {

class CollectionsView : public RowsView {
public:
    explicit CollectionsView(Aqua::Toolkit& toolkit) : RowsView(toolkit) {}
    // Reads the sets from the program's COLLECTIONS resource; a missing or
    // broken resource gives an empty view. `seam` null: the system's own.
    uint32_t Load(const std::wstring& programFolder, const std::wstring& userTweaksPath, IUserFileSeam* seam = nullptr);
    // The same from a text, for tests.
    uint32_t LoadText(std::string_view utf8, const std::wstring& programFolder, const std::wstring& userTweaksPath,
                      IUserFileSeam* seam = nullptr);
    void Show();
    const CollectionsList& list() const { return list_; }
    const std::wstring& userTweaksPath() const { return userTweaksPath_; }
    uint32_t lastKnobsetStatus() const { return knobsetStatus_; }

protected:
    void Paint(Aqua::DrawList& list, Aqua::Rect size) override;
    int ContentHeight() const override { return list_.ScrollRange(); }
    void OnClick(int x, int y) override;
    void OnLayout() override { list_.Show(ListWidth()); }

private:
    CollectionsList list_;
    std::wstring programFolder_;
    std::wstring userTweaksPath_;
    IUserFileSeam* seam_ = nullptr;
    uint32_t knobsetStatus_ = 0;
};

}  // namespace GUI
