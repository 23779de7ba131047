#include "gui/panels/Settings.h"

#include "gui/Commands.h"
#include "gui/PanelPaint.h"

namespace GUI {

bool Settings::Create(HWND owner, int x, int y, bool ownOk)
{
    if (!CreatePanel(owner, SettingsPanelModel::kCaption, x, y)) {
        return false;
    }
    host_ = RTI::Reference<ControlHost>(new ControlHost(toolkit(), kPanelBackground));
    if (!host_->Create(hwnd(), {0, 0, 1, 1})) {
        return false;
    }
    for (const SettingsGroup& group : SettingsPanelModel::Groups()) {
        RTI::Reference<GroupBox> box(new GroupBox(group.caption, group.image));
        box->SetBackground(kPanelBackground);
        for (SettingsBox each : group.boxes) {
            RTI::Reference<Checkbox> check(new Checkbox(SettingsPanelModel::CaptionOf(each), false));
            boxes_[each] = check;
            box->Add(RTI::Reference<IControl>(check.Get()));
        }
        groups_.push_back(box);
        host_->Add(RTI::Reference<IControl>(box.Get()));
    }
    startupButton_ = RTI::Reference<Button>(new Button(toolkit()));
    if (!startupButton_->Create(hwnd(), kStartupProgramsButton, L"Startup programs...", {0, 0, 1, 1})) {
        return false;
    }
    if (ownOk) {
        okButton_ = RTI::Reference<Button>(new Button(toolkit()));
        if (!okButton_->Create(hwnd(), Command::Ok, L"OK", {0, 0, 1, 1}, true)) {
            return false;
        }
    }
    Layout();
    return true;
}

void Settings::Layout()
{
    if (!host_) {
        return;
    }
    const Aqua::Scaler& s = scaler();
    const int width = s.Scale(kWidth);
    const int top = s.Scale(36);
    const int buttonsTop = s.Scale(kHeight - 42);
    host_->SetScale(s);
    MoveWindow(host_->hwnd(), 0, top, width, buttonsTop - top, TRUE);
    int y = s.Scale(2);
    for (const RTI::Reference<GroupBox>& group : groups_) {
        group->SetRect(s.Scale(12), y, width - s.Scale(24));
        y += group->Height(s) + s.Scale(10);
    }
    startupButton_->SetScale(s);
    MoveWindow(startupButton_->hwnd(), s.Scale(12), buttonsTop, s.Scale(150), s.Scale(30), TRUE);
    if (okButton_) {
        okButton_->SetScale(s);
        MoveWindow(okButton_->hwnd(), width - s.Scale(12 + 90), buttonsTop, s.Scale(90), s.Scale(30), TRUE);
    }
}

void Settings::Paint(Aqua::DrawList& list, Aqua::Rect size)
{
    list.Add(Aqua::FillOp{size, kPanelBackground});
    PaintPanelTitle(list, scaler(), {scaler().Scale(12), scaler().Scale(6), size.width - scaler().Scale(24), 0},
                    SettingsPanelModel::kCaption);
}

Checkbox* Settings::Box(SettingsBox box) const
{
    const auto found = boxes_.find(box);
    return found == boxes_.end() ? nullptr : found->second.Get();
}

void Settings::Show()
{
    model_.Load();
    for (auto& [box, check] : boxes_) {
        check->SetTicked(model_.Ticked(box));
    }
    host_->Invalidate();
    FadeIn();
}

bool Settings::CommandHook(int command)
{
    if (command == kStartupProgramsButton) {
        PostToOwner(Command::StartupPrograms);
        return true;
    }
    if (command != Command::Ok) {
        // The boxes' toggles (5014) are read only at "OK".
        return command == Checkbox::kToggleCommand;
    }
    for (auto& [box, check] : boxes_) {
        model_.SetTicked(box, check->state().ticked());
    }
    lastMessage_ = model_.Apply();
    if (!lastMessage_.empty()) {
        toolkit().Report(lastMessage_, SettingsPanelModel::kCaption);
    }
    // The tuning view returns; the panel fades out.
    PostToOwner(Command::Tuning);
    FadeOut();
    return true;
}

}  // namespace GUI
