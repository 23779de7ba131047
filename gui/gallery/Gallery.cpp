// The gallery: every skinned control in each of its states in one window, for
// screenshots. aqua_gallery OUT.png draws it, captures the screen around it
// (the menu and the help pop-up included) and saves the picture; OUT.txt gets
// the draw operations of every control.
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "gui/aqua/win32/Controls.h"
#include "gui/aqua/win32/DrawnControls.h"
#include "gui/aqua/win32/Frame.h"
#include "gui/aqua/win32/Window.h"
#include "gui/gallery/Shots.h"

#include <shellapi.h>

namespace {

using GUI::Aqua::Rect;

using Gallery::Pump;

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int)
{
    int argc = 0;
    wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    const std::wstring out = argc > 1 ? argv[1] : L"gallery.png";
    LocalFree(argv);

    std::vector<std::wstring> prompts;
    GUI::Aqua::Toolkit toolkit(instance,
                               [&](const std::wstring& text, const std::wstring&) { prompts.push_back(text); });
    RTI::Reference<GUI::Aqua::Frame> frame(new GUI::Aqua::Frame(toolkit));
    if (frame->LoadSkin(instance) != 0) {
        return 1;
    }
    const GUI::Aqua::Scaler s(GUI::Aqua::WindowDpi(nullptr));
    const int left = s.Scale(100);
    const int top = s.Scale(20);
    RTI::Reference<GUI::Window> window(new GUI::Window(toolkit, *frame));
    if (!window->Create(L"Corvane \x2014 controls", left, top, 390, 500)) {
        return 1;
    }
    HWND w = window->hwnd();
    ShowWindow(w, SW_SHOW);
    SetForegroundWindow(w);

    RTI::Reference<GUI::Status> status(new GUI::Status(toolkit));
    status->Create(w, {0, 0, s.Scale(388), s.Scale(29)}, L"Tuning");

    // Check boxes in every state, and a group box holding two of them.
    RTI::Reference<GUI::ControlHost> panel(new GUI::ControlHost(toolkit));
    panel->Create(w, {0, s.Scale(29), s.Scale(388), s.Scale(250)});
    const struct {
        const wchar_t* caption;
        bool ticked, hot, pressed;
    } boxes[] = {{L"Unticked", false, false, false},           {L"Unticked, pointer over", false, true, false},
                 {L"Unticked, pressed", false, false, true},   {L"Ticked", true, false, false},
                 {L"Ticked, pointer over", true, true, false}, {L"Ticked, pressed", true, false, true}};
    std::vector<RTI::Reference<GUI::Checkbox>> checkboxes;
    for (size_t i = 0; i < std::size(boxes); ++i) {
        RTI::Reference<GUI::Checkbox> box(new GUI::Checkbox(boxes[i].caption, boxes[i].ticked));
        box->SetRect(s.Scale(12 + 186 * static_cast<int>(i % 2)), s.Scale(10 + 24 * static_cast<int>(i / 2)),
                     s.Scale(180));
        if (boxes[i].hot) {
            box->stateMachine().OnMove(true);
        }
        if (boxes[i].pressed) {
            box->stateMachine().OnPress(true);
        }
        panel->Add(box);
        checkboxes.push_back(box);
    }
    RTI::Reference<GUI::GroupBox> group(new GUI::GroupBox(L"Backups", L"AQUA.MENU.BACKUP"));
    group->Add(RTI::Reference<GUI::IControl>(new GUI::Checkbox(L"Enable backup before tuning", true)));
    group->Add(RTI::Reference<GUI::IControl>(new GUI::Checkbox(L"Analyse at launch", false)));
    group->SetRect(s.Scale(12), s.Scale(92), s.Scale(340));
    panel->Add(group);

    // Buttons: normal, the default look (as under the pointer), disabled.
    RTI::Reference<GUI::Button> normal(new GUI::Button(toolkit));
    normal->Create(w, 6001, L"Settings", {s.Scale(12), s.Scale(290), s.Scale(110), s.Scale(30)});
    RTI::Reference<GUI::Button> hot(new GUI::Button(toolkit));
    hot->Create(w, 6002, L"Tune Up!", {s.Scale(134), s.Scale(290), s.Scale(110), s.Scale(30)}, true);
    RTI::Reference<GUI::Button> disabled(new GUI::Button(toolkit));
    disabled->Create(w, 6003, L"Restore", {s.Scale(256), s.Scale(290), s.Scale(110), s.Scale(30)});
    disabled->Enable(false);

    // Scroll bars: one in use, one with nothing to scroll.
    RTI::Reference<GUI::Scrollbar> scroll(new GUI::Scrollbar(toolkit));
    scroll->Create(w, {s.Scale(371), s.Scale(29), s.Scale(17), s.Scale(250)});
    scroll->SetRange(s.Scale(950), s.Scale(250));
    for (int i = 0; i < 8; ++i) {
        scroll->StepDown();
    }
    RTI::Reference<GUI::Scrollbar> idle(new GUI::Scrollbar(toolkit));
    idle->Create(w, {s.Scale(360), s.Scale(330), s.Scale(17), s.Scale(70)});
    idle->SetRange(10, 70);

    RTI::Reference<GUI::Actions> actions(new GUI::Actions(toolkit));
    actions->Create(w, {0, s.Scale(410), s.Scale(388), s.Scale(48)});
    actions->AddButton(5002, L"Settings");
    actions->AddButton(5015, L"Tune Up!");
    actions->AddButton(5004, L"Exit");
    actions->Show({5002, 5004, 5015});
    actions->EnableButton(5004, false);

    RECT frameRect{};
    GetWindowRect(w, &frameRect);
    RTI::Reference<GUI::Menu> menu(new GUI::Menu(toolkit));
    menu->Create(w, L"Velmont Main Menu",
                 {{L"Analyse", 5001, L"AQUA.MENU.ANALYZE", L"AQUA.MENU.NANALYZE"},
                  {L"Tuning", 5031, L"AQUA.MENU.TUNING", L"AQUA.MENU.NTUNING"},
                  {L"Backup", 5016, L"AQUA.MENU.BACKUPS", L"AQUA.MENU.NBACKUPS"},
                  {L"Profiles", 5025, L"AQUA.MENU.PROFILES", L"AQUA.MENU.NPROFILES"},
                  {L"Collections", 5035, L"AQUA.MENU.COLLECTIONS", L"AQUA.MENU.NCOLLECTIONS"},
                  {L"Settings", 5002, L"AQUA.MENU.SETTINGS", L"AQUA.MENU.NSETTINGS"},
                  {L"OnlineHlp", 5039, L"AQUA.MENU.ONLINEHELP", L"AQUA.MENU.NONLINEHELP"},
                  {L"Exit", 5004, L"AQUA.MENU.EXIT", L"AQUA.MENU.NEXIT"}},
                 frameRect.left - s.Scale(81), frameRect.top);
    menu->Select(5031);
    ShowWindow(menu->hwnd(), SW_SHOWNA);

    RTI::Reference<GUI::Help> help(new GUI::Help(toolkit));
    help->Create(w, frameRect.left + s.Scale(348), frameRect.top + s.Scale(27));
    help->SetText(L"");
    ShowWindow(help->hwnd(), SW_SHOWNA);
    SetWindowPos(help->tip()->hwnd(), HWND_TOP, frameRect.right + s.Scale(4), frameRect.top, 0, 0,
                 SWP_NOSIZE | SWP_NOACTIVATE | SWP_SHOWWINDOW);

    SetForegroundWindow(w);
    SetActiveWindow(w);
    RedrawWindow(w, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    Pump(1500);

    // Capture the screen around the window, the menu and the pop-up.
    RECT menuRect{}, tipRect{};
    GetWindowRect(menu->hwnd(), &menuRect);
    GetWindowRect(help->tip()->hwnd(), &tipRect);
    const int x0 = std::min(menuRect.left, frameRect.left) - s.Scale(8);
    const int y0 = frameRect.top - s.Scale(8);
    const int x1 = std::max(tipRect.right, frameRect.right) + s.Scale(8);
    const int y1 = std::max({menuRect.bottom, frameRect.bottom, tipRect.bottom}) + s.Scale(8);
    const bool saved = Gallery::ShootArea({x0, y0, x1, y1}, 0, out);

    // The draw operations of every control, as text.
    std::wofstream ops(std::filesystem::path(std::wstring(out.begin(), out.end() - 4) + L".txt"));
    auto dump = [&](const wchar_t* name, GUI::Control& control) {
        control.Snapshot();
        ops << L"== " << name << L"\n" << control.lastPaint().Dump();
    };
    dump(L"status", *status);
    dump(L"check boxes", *panel);
    dump(L"button", *normal);
    dump(L"default button", *hot);
    dump(L"disabled button", *disabled);
    dump(L"scroll bar", *scroll);
    dump(L"idle scroll bar", *idle);
    dump(L"action bar", *actions);
    dump(L"menu", *menu);
    dump(L"help", *help);
    dump(L"info tip", *help->tip());
    ops << L"== frame\n" << frame->lastPaint().Dump();
    return saved && prompts.empty() ? 0 : 1;
}
