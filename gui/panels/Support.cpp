#include "gui/panels/Support.h"

#include "gui/Commands.h"
#include "gui/PanelPaint.h"

namespace GUI {

bool Support::Create(HWND owner, int x, int y, bool ownButtons)
{
    if (!CreatePanel(owner, kCaption, x, y)) {
        return false;
    }
    if (ownButtons) {
        ok_ = RTI::Reference<Button>(new Button(toolkit()));
        cancel_ = RTI::Reference<Button>(new Button(toolkit()));
        if (!ok_->Create(hwnd(), Command::Ok, L"OK", {0, 0, 1, 1}, true) ||
            !cancel_->Create(hwnd(), Command::Cancel, L"Cancel", {0, 0, 1, 1})) {
            return false;
        }
    }
    Layout();
    return true;
}

void Support::Layout()
{
    if (!ok_) {
        return;
    }
    const Aqua::Scaler& s = scaler();
    const int top = s.Scale(kHeight - 42);
    const int right = s.Scale(kWidth - 12);
    ok_->SetScale(s);
    cancel_->SetScale(s);
    MoveWindow(cancel_->hwnd(), right - s.Scale(90), top, s.Scale(90), s.Scale(30), TRUE);
    MoveWindow(ok_->hwnd(), right - s.Scale(90 + 8 + 90), top, s.Scale(90), s.Scale(30), TRUE);
}

void Support::Paint(Aqua::DrawList& list, Aqua::Rect size)
{
    const Aqua::Scaler& s = scaler();
    list.Add(Aqua::FillOp{size, kPanelBackground});
    const Aqua::Rect area{s.Scale(12), s.Scale(6), size.width - s.Scale(24), size.height};
    PaintPanelTitle(list, s, area, kCaption);
    (void)PaintSupportLines(list, s, {area.x, area.y + s.Scale(28), area.width, 0}, lines_);
}

bool Support::CommandHook(int command)
{
    if (command != Command::Ok && command != Command::Cancel) {
        return false;
    }
    PostToOwner(Command::Tuning);
    FadeOut();
    return true;
}

}  // namespace GUI
