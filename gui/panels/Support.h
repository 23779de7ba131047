#pragma once
// The support panel: which program this is, where help is found, where the
// user's files are kept, and the command line. "OK" and "Cancel" both post
// 5000 to the owner and fade the panel out.
//
//   GUI::Support support(toolkit, facts);
//   support.Create(mainWindow, x, y);
//   on 5003: support.FadeIn();   on 5008/5010: support.CommandHook(id);
#include <vector>

#include "core/rti/Reference.h"
#include "gui/SupportTexts.h"
#include "gui/aqua/win32/Controls.h"
#include "gui/panels/FadingPanel.h"

namespace GUI {

class Support : public FadingPanel {
public:
    static constexpr wchar_t kCaption[] = L"Support";

    Support(Aqua::Toolkit& toolkit, const SupportFacts& facts) : FadingPanel(toolkit), lines_(SupportLines(facts)) {}
    // ownButtons: the panel shows its own "OK" and "Cancel".
    bool Create(HWND owner, int x, int y, bool ownButtons = true);
    bool CommandHook(int command) override;
    const std::vector<SupportLine>& lines() const { return lines_; }

protected:
    void Paint(Aqua::DrawList& list, Aqua::Rect size) override;
    void OnScaleChanged() override { Layout(); }

private:
    void Layout();

    std::vector<SupportLine> lines_;
    RTI::Reference<Button> ok_;
    RTI::Reference<Button> cancel_;
};

}  // namespace GUI
