// The skinned toolkit in real windows under a display: resources decode, the
// frame hits and shapes where it draws, controls send their commands when
// clicked with SendInput and paint their colours, object counts stay steady.
#include <gtest/gtest.h>

#include <oleacc.h>

#include <chrono>
#include <fstream>
#include <functional>
#include <sstream>
#include <vector>

#include "gui/aqua/win32/Accessible.h"
#include "gui/aqua/win32/Controls.h"
#include "gui/aqua/win32/DrawnControls.h"
#include "gui/aqua/win32/Frame.h"
#include "gui/aqua/win32/Window.h"
#include "tests/support/win32/MessagePump.h"
#include "tests/support/win32/TestHost.h"

namespace GUI {
namespace {

using Aqua::Rect;
using Testing::ClickAt;
using Testing::MouseButton;
using Testing::MouseTo;
using Testing::ScreenOf;

// Pumps messages until `done` or about two seconds have passed.
bool PumpUntil(const std::function<bool()>& done)
{
    return Testing::PumpMessagesUntil(done, std::chrono::seconds(2));
}

void Pump(int ms)
{
    Testing::PumpMessages(ms);
}

// Presses at one screen point and releases at another.
void DragFromTo(POINT from, POINT to)
{
    MouseTo(from.x, from.y);
    MouseButton(MOUSEEVENTF_LEFTDOWN);
    MouseTo(to.x, to.y);
    MouseButton(MOUSEEVENTF_LEFTUP);
}

bool Bluish(uint32_t argb)
{
    const int r = (argb >> 16) & 0xFF, g = (argb >> 8) & 0xFF, b = argb & 0xFF;
    return b > r + 40 && b > 120 && g < b;
}

bool Greyish(uint32_t argb)
{
    const int r = (argb >> 16) & 0xFF, g = (argb >> 8) & 0xFF, b = argb & 0xFF;
    return std::abs(r - g) < 12 && std::abs(g - b) < 12;
}

bool Reddish(uint32_t argb)
{
    const int r = (argb >> 16) & 0xFF, g = (argb >> 8) & 0xFF, b = argb & 0xFF;
    return r > g + 60 && r > b + 60;
}

// One toolkit, frame and top-level window serve the whole suite: making and
// showing a top-level window under Wine and Xvfb takes about two seconds.
class AquaWindowTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { suite_ = new Testing::HostSuite(L"Corvane", 60, 60, 390, 500); }
    static void TearDownTestSuite() { delete suite_; }
    void SetUp() override
    {
        ASSERT_TRUE(toolkit().started());
        ASSERT_EQ(frame()->LoadSkin(GetModuleHandleW(nullptr)), 0u);
        ASSERT_NE(host()->hwnd(), nullptr);
        host()->Clear();
        prompts().clear();
    }

    static Aqua::Toolkit& toolkit() { return suite_->toolkit(); }
    static Aqua::Frame* frame() { return suite_->frame(); }
    static Testing::HostWindow* host() { return suite_->host(); }
    static std::vector<std::wstring>& prompts() { return suite_->reports(); }

    static inline Testing::HostSuite* suite_ = nullptr;
};

std::vector<std::wstring> TableNames()
{
    std::ifstream in(std::string("Z:") + CORVANE_SOURCE_DIR + "/tools/skin-art/images.txt");
    std::vector<std::wstring> names;
    std::string line;
    while (std::getline(in, line)) {
        if (line.empty() || line[0] == '#') {
            continue;
        }
        std::istringstream fields(line);
        std::string name, kind;
        fields >> name >> kind;
        if (kind != "ico") {
            names.emplace_back(name.begin(), name.end());
        }
    }
    return names;
}

TEST_F(AquaWindowTest, EveryNamedResourceExistsAndDecodesAtEveryScale)
{
    const auto names = TableNames();
    ASSERT_GE(names.size(), 70u);
    for (const std::wstring& name : names) {
        for (const wchar_t* suffix : {L"", L".150", L".200"}) {
            EXPECT_EQ(toolkit().CheckImage(name + suffix), 0u) << std::string(name.begin(), name.end());
        }
    }
    HICON icon =
        static_cast<HICON>(LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(107), IMAGE_ICON, 32, 32, 0));
    EXPECT_NE(icon, nullptr);
    DestroyIcon(icon);
    EXPECT_NE(toolkit().CheckImage(L"AQUA.NO.SUCH.IMAGE"), 0u);
}

TEST_F(AquaWindowTest, MissingFrameImageIsReportedThroughThePrompt)
{
    Aqua::Toolkit bare(GetModuleHandleW(L"kernel32.dll"),
                       [](const std::wstring& text, const std::wstring&) { prompts().push_back(text); });
    RTI::Reference<Aqua::Frame> frame(new Aqua::Frame(bare));
    EXPECT_NE(frame->LoadSkin(GetModuleHandleW(L"kernel32.dll")), 0u);
    ASSERT_EQ(prompts().size(), 1u);
    EXPECT_NE(prompts()[0].find(L"AQUA.FRAME.LEFT"), std::wstring::npos);
}

TEST_F(AquaWindowTest, FrameHitTestAndRegionAtCornersAndButtons)
{
    HWND w = host()->hwnd();
    RECT r{};
    GetWindowRect(w, &r);
    const int width = r.right - r.left;
    const int height = r.bottom - r.top;
    ASSERT_EQ(width, 390);
    auto hit = [&](int x, int y) { return SendMessageW(w, WM_NCHITTEST, 0, MAKELPARAM(r.left + x, r.top + y)); };
    EXPECT_EQ(hit(0, 0), HTBORDER);
    EXPECT_EQ(hit(width - 1, height - 1), HTBORDER);
    EXPECT_EQ(hit(200, 10), HTCAPTION);
    EXPECT_EQ(hit(200, 100), HTCLIENT);
    EXPECT_EQ(hit(width - 19, 12), HTCLOSE);
    EXPECT_EQ(hit(15, 12), HTMINBUTTON);
    RECT client{};
    GetClientRect(w, &client);
    EXPECT_EQ(client.right, width - 2);
    EXPECT_EQ(client.bottom, height - 24);

    HRGN region = CreateRectRgn(0, 0, 0, 0);
    ASSERT_NE(GetWindowRgn(w, region), ERROR);
    EXPECT_FALSE(PtInRegion(region, 0, 0));  // rounded top corners
    EXPECT_FALSE(PtInRegion(region, width - 1, 0));
    EXPECT_TRUE(PtInRegion(region, 5, 2));
    EXPECT_TRUE(PtInRegion(region, 0, height - 1));  // square bottom corners
    EXPECT_TRUE(PtInRegion(region, width - 1, height - 1));
    EXPECT_FALSE(PtInRegion(region, width, height));
    DeleteObject(region);
}

// The caption picture follows the size: after a resize the close box is drawn
// (and hit) at the new right edge.
TEST_F(AquaWindowTest, CaptionIsRebuiltWhenTheSizeOrActivationChanges)
{
    HWND w = host()->hwnd();
    RedrawWindow(w, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_UPDATENOW);
    const int builds = frame()->captionBuilds();
    SetWindowPos(w, nullptr, 0, 0, 520, 400, SWP_NOMOVE | SWP_NOZORDER);
    RedrawWindow(w, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_UPDATENOW);
    Pump(50);
    EXPECT_GT(frame()->captionBuilds(), builds);
    ASSERT_NE(frame()->caption(), nullptr);
    EXPECT_EQ(frame()->caption()->width(), 520);
    EXPECT_TRUE(Reddish(frame()->caption()->Pixel(520 - 19, 16))) << std::hex << frame()->caption()->Pixel(501, 16);
    RECT r{};
    GetWindowRect(w, &r);
    EXPECT_EQ(SendMessageW(w, WM_NCHITTEST, 0, MAKELPARAM(r.left + 520 - 19, r.top + 12)), HTCLOSE);
    // The same window text and size but inactive: drawn again, buttons grey.
    const int before = frame()->captionBuilds();
    SendMessageW(w, WM_NCACTIVATE, FALSE, 0);
    if (GetActiveWindow() != w) {
        EXPECT_GT(frame()->captionBuilds(), before);
    }
    // A caption drawn twice with nothing changed is not rebuilt.
    const int now = frame()->captionBuilds();
    RedrawWindow(w, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_UPDATENOW);
    EXPECT_EQ(frame()->captionBuilds(), now);
    SetWindowPos(w, nullptr, 0, 0, 390, 500, SWP_NOMOVE | SWP_NOZORDER);
}

// Wine sends no WM_DPICHANGED: the test sends what the system would. The
// frame, the skinned children and the art follow the new scale; 150% takes
// the art drawn for 150%.
TEST_F(AquaWindowTest, DpiChangeRelaysOutTheFrameItsChildrenAndTheArt)
{
    HWND w = host()->hwnd();
    RTI::Reference<Actions> bar(new Actions(toolkit()));
    ASSERT_TRUE(bar->Create(w, {0, 300, 388, 48}));
    bar->AddButton(5015, L"Tune Up!");
    bar->Show({5015});
    for (int dpi : {144, 192, 96}) {
        SCOPED_TRACE(dpi);
        const Aqua::Scaler s(dpi);
        const int width = s.Scale(390);
        const int height = s.Scale(500);
        RECT suggested{60, 60, 60 + width, 60 + height};
        SendMessageW(w, 0x02E0, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(&suggested));  // WM_DPICHANGED
        EXPECT_EQ(host()->scaler().dpi(), dpi);
        RedrawWindow(w, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_UPDATENOW);
        RECT r{};
        GetWindowRect(w, &r);
        EXPECT_EQ(r.right - r.left, width);
        RECT client{};
        GetClientRect(w, &client);
        EXPECT_EQ(client.bottom, height - s.Scale(23) - s.Scale(1));
        EXPECT_EQ(SendMessageW(w, WM_NCHITTEST, 0, MAKELPARAM(r.left + width - s.Scale(19), r.top + s.Scale(12))),
                  HTCLOSE);
        ASSERT_FALSE(frame()->lastPaint().ImagesNamed(L"AQUA.FRAME.RED").empty());
        EXPECT_EQ(frame()->lastPaint().ImagesNamed(L"AQUA.FRAME.RED")[0].dest,
                  (Rect{width - s.Scale(5) - s.Scale(28), s.Scale(5), s.Scale(28), s.Scale(15)}));

        // The bar got the scale too and laid its button out at it.
        EXPECT_EQ(bar->scaler().dpi(), dpi);
        RECT button{};
        GetWindowRect(bar->ButtonOf(5015)->hwnd(), &button);
        MapWindowPoints(nullptr, bar->hwnd(), reinterpret_cast<POINT*>(&button), 2);
        EXPECT_EQ(button.left, s.Scale(10));
        EXPECT_EQ(button.bottom - button.top, s.Scale(30));

        // The art drawn for the nearest scale, and fonts sized by the scale.
        const Aqua::SkinImage red = toolkit().Image(L"AQUA.FRAME.RED", s);
        ASSERT_TRUE(red);
        EXPECT_DOUBLE_EQ(red.artScale, s.ArtPercent() / 100.0);
        EXPECT_EQ(static_cast<int>(red.bitmap->GetWidth()), s.Scale(28));
        Gdiplus::Font* caption = toolkit().Font({L"Tahoma", 14, Aqua::FontUnit::Pixel, Aqua::kBold}, s);
        ASSERT_NE(caption, nullptr);
        EXPECT_FLOAT_EQ(caption->GetSize(), 14.0f * dpi / 96);
    }
}

TEST_F(AquaWindowTest, ButtonClickHoverDisableAndLooks)
{
    HWND w = host()->hwnd();
    RTI::Reference<GUI::Button> button(new GUI::Button(toolkit()));
    ASSERT_TRUE(button->Create(w, 5015, L"Tune Up!", {20, 20, 120, 30}));
    UpdateWindow(button->hwnd());

    // Grey at rest (the left cap, away from the text).
    auto snapshot = button->Snapshot();
    EXPECT_TRUE(Greyish(snapshot->Pixel(6, 15))) << std::hex << snapshot->Pixel(6, 15);
    EXPECT_NE(button->lastPaint().Dump().find(L"\"Tune Up!\""), std::wstring::npos);

    // Hover: the pulse runs and the caps take colour; leaving stops it.
    const POINT centre = ScreenOf(button->hwnd(), 60, 15);
    MouseTo(centre.x, centre.y);
    EXPECT_TRUE(PumpUntil([&] { return button->pulse().running(); }));
    snapshot = button->Snapshot();
    EXPECT_TRUE(Bluish(snapshot->Pixel(6, 15))) << std::hex << snapshot->Pixel(6, 15);
    const POINT away = ScreenOf(w, 300, 300);
    MouseTo(away.x, away.y);
    EXPECT_TRUE(PumpUntil([&] { return !button->pulse().running(); }));

    // A click sends the command once.
    ClickAt(button->hwnd(), 60, 15);
    ASSERT_EQ(host()->commands.size(), 1u);
    EXPECT_EQ(LOWORD(host()->commands[0].first), 5015);

    // Pressed, dragged off and released elsewhere: nothing.
    DragFromTo(centre, away);
    EXPECT_EQ(host()->commands.size(), 1u);

    // Disabled: no command, dark grey caption.
    button->Enable(false);
    ClickAt(button->hwnd(), 60, 15);
    EXPECT_EQ(host()->commands.size(), 1u);
    UpdateWindow(button->hwnd());
    button->Snapshot();
    const auto texts = button->lastPaint().Texts();
    ASSERT_EQ(texts.size(), 2u);
    EXPECT_EQ(texts[1].argb, Aqua::kDisabledTextColour);

    // Keyboard: Space on the focused button acts.
    button->Enable(true);
    SetFocus(button->hwnd());
    SendMessageW(button->hwnd(), WM_KEYDOWN, VK_SPACE, 0);
    EXPECT_EQ(host()->commands.size(), 2u);
    UpdateWindow(button->hwnd());
    button->Snapshot();
    EXPECT_NE(button->lastPaint().Dump().find(L"focus "), std::wstring::npos);
}

// The accessible object a window answers WM_GETOBJECT with, or nullptr.
IAccessible* AccessibleOf(HWND window)
{
    const LRESULT result = SendMessageW(window, WM_GETOBJECT, 0, static_cast<LPARAM>(OBJID_CLIENT));
    IAccessible* accessible = nullptr;
    if (result <= 0 ||
        ObjectFromLresult(result, Aqua::kIAccessibleId, 0, reinterpret_cast<void**>(&accessible)) != S_OK) {
        return nullptr;
    }
    return accessible;
}

VARIANT Child(LONG id)
{
    VARIANT v;
    VariantInit(&v);
    v.vt = VT_I4;
    v.lVal = id;
    return v;
}

// Screen readers read a button, and the group box and check boxes drawn in a
// host, by name, role and state; the state follows the control.
TEST_F(AquaWindowTest, ControlsAnswerScreenReadersWithNameRoleAndState)
{
    RTI::Reference<GUI::Button> button(new GUI::Button(toolkit()));
    ASSERT_TRUE(button->Create(host()->hwnd(), 5004, L"Exit", {20, 400, 100, 30}));
    RTI::Reference<ControlHost> panel(new ControlHost(toolkit()));
    ASSERT_TRUE(panel->Create(host()->hwnd(), {10, 10, 300, 160}));
    RTI::Reference<GroupBox> group(new GroupBox(L"Backup", L""));
    RTI::Reference<Checkbox> backup(new Checkbox(L"Enable backup", true));
    RTI::Reference<Checkbox> analyse(new Checkbox(L"Analyse at start", false));
    group->Add(backup);
    group->Add(analyse);
    group->SetRect(10, 10, 280);
    panel->Add(group);
    UpdateWindow(panel->hwnd());  // lays the group's children out
    // Tab reaches the check boxes inside the group box.
    SetFocus(panel->hwnd());
    SendMessageW(panel->hwnd(), WM_KEYDOWN, VK_TAB, 0);

    IAccessible* buttonObject = AccessibleOf(button->hwnd());
    IAccessible* panelObject = AccessibleOf(panel->hwnd());
    ASSERT_NE(buttonObject, nullptr);
    ASSERT_NE(panelObject, nullptr);
    LONG children = 0;
    EXPECT_EQ(panelObject->get_accChildCount(&children), S_OK);
    EXPECT_EQ(children, 3);

    const LONG checked = STATE_SYSTEM_CHECKED;
    const LONG focused = STATE_SYSTEM_FOCUSED;
    const struct {
        IAccessible* object;
        LONG child;
        const wchar_t* name;
        LONG role;
        LONG set;    // state flags that must be set
        LONG unset;  // and those that must not
    } rows[] = {
        {buttonObject, CHILDID_SELF, L"Exit", ROLE_SYSTEM_PUSHBUTTON, 0, 0},
        {panelObject, 1, L"Backup", ROLE_SYSTEM_GROUPING, 0, checked | focused},
        {panelObject, 2, L"Enable backup", ROLE_SYSTEM_CHECKBUTTON, checked | focused | STATE_SYSTEM_FOCUSABLE, 0},
        {panelObject, 3, L"Analyse at start", ROLE_SYSTEM_CHECKBUTTON, STATE_SYSTEM_FOCUSABLE, checked | focused},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.child);
        BSTR name = nullptr;
        EXPECT_EQ(row.object->get_accName(Child(row.child), &name), S_OK);
        EXPECT_EQ(std::wstring(name ? name : L""), row.name);
        SysFreeString(name);
        VARIANT role;
        VariantInit(&role);
        EXPECT_EQ(row.object->get_accRole(Child(row.child), &role), S_OK);
        EXPECT_EQ(role.vt, VT_I4);
        EXPECT_EQ(role.lVal, row.role);
        if (row.child != CHILDID_SELF) {
            VARIANT state;
            VariantInit(&state);
            EXPECT_EQ(row.object->get_accState(Child(row.child), &state), S_OK);
            EXPECT_EQ(state.lVal & row.set, row.set) << std::hex << state.lVal;
            EXPECT_EQ(state.lVal & row.unset, 0) << std::hex << state.lVal;
        }
    }

    // Where the second check box is drawn, a screen reader finds it.
    LONG left = 0, top = 0, width = 0, height = 0;
    ASSERT_EQ(panelObject->accLocation(&left, &top, &width, &height, Child(3)), S_OK);
    EXPECT_GT(width, 0);
    VARIANT hit;
    VariantInit(&hit);
    EXPECT_EQ(panelObject->accHitTest(left + 4, top + height / 2, &hit), S_OK);
    EXPECT_EQ(hit.lVal, 3);
    VARIANT focus;
    VariantInit(&focus);
    EXPECT_EQ(panelObject->get_accFocus(&focus), S_OK);
    EXPECT_EQ(focus.lVal, 2);
    // Space unticks the focused box, and the state says so at once.
    SendMessageW(panel->hwnd(), WM_KEYDOWN, VK_SPACE, 0);
    VARIANT state;
    VariantInit(&state);
    EXPECT_EQ(panelObject->get_accState(Child(2), &state), S_OK);
    EXPECT_EQ(state.lVal & checked, 0);

    buttonObject->Release();
    panel.Reset();
    // An object kept after its window is gone answers without its children.
    EXPECT_EQ(panelObject->get_accChildCount(&children), S_OK);
    EXPECT_EQ(children, 0);
    panelObject->Release();
}

// A native edit box inside a host: clicked, it takes the focus and shows the
// caret; typed keys (SendInput) and characters (WM_CHAR) land in its text.
TEST_F(AquaWindowTest, EditTakesTheFocusAndTheTypedText)
{
    RTI::Reference<ControlHost> panel(new ControlHost(toolkit()));
    ASSERT_TRUE(panel->Create(host()->hwnd(), {10, 200, 300, 60}));
    RTI::Reference<Edit> edit(new Edit(L"C:\\Tweaks"));
    ASSERT_TRUE(edit->Create(panel->hwnd()));
    panel->Add(edit);
    edit->SetRect(10, 10, 200);
    edit->Show(true);
    EXPECT_EQ(edit->GetRect().x, 10);
    EXPECT_EQ(edit->GetRect().y, 10);
    EXPECT_EQ(edit->GetRect().width, 200);
    EXPECT_TRUE(IsWindowVisible(edit->hwnd()));

    SetForegroundWindow(host()->hwnd());
    ClickAt(edit->hwnd(), 190, 8);
    EXPECT_TRUE(PumpUntil([&] { return GetFocus() == edit->hwnd(); }));
    SendMessageW(edit->hwnd(), EM_SETSEL, 9, 9);  // the caret after the text
    POINT before{};
    GetCaretPos(&before);

    std::vector<INPUT> keys;
    for (wchar_t c : std::wstring(L"\\mine")) {
        for (DWORD up : {DWORD{0}, DWORD{KEYEVENTF_KEYUP}}) {
            INPUT input{};
            input.type = INPUT_KEYBOARD;
            input.ki.wScan = c;
            input.ki.dwFlags = KEYEVENTF_UNICODE | up;
            keys.push_back(input);
        }
    }
    auto text = [&] {
        wchar_t buffer[64] = {};
        GetWindowTextW(edit->hwnd(), buffer, 64);
        return std::wstring(buffer);
    };
    // Keys first (they come through the input queue, after any posted message).
    SendInput(static_cast<UINT>(keys.size()), keys.data(), sizeof(INPUT));
    EXPECT_TRUE(PumpUntil([&] { return text() == L"C:\\Tweaks\\mine"; }));
    for (wchar_t c : std::wstring(L".xml")) {
        PostMessageW(edit->hwnd(), WM_CHAR, c, 1);
    }
    const std::wstring expected = L"C:\\Tweaks\\mine.xml";
    PumpUntil([&] { return text() == expected; });
    const std::wstring typed = text();
    EXPECT_EQ(std::string(typed.begin(), typed.end()), std::string(expected.begin(), expected.end()));
    POINT after{};
    GetCaretPos(&after);
    EXPECT_GT(after.x, before.x);  // the caret moved along with the typing
    EXPECT_EQ(GetFocus(), edit->hwnd());

    edit->Show(false);
    EXPECT_FALSE(IsWindowVisible(edit->hwnd()));
}

TEST_F(AquaWindowTest, ActionBarLaysOutAndForwardsCommands)
{
    RTI::Reference<Actions> bar(new Actions(toolkit()));
    ASSERT_TRUE(bar->Create(host()->hwnd(), {0, 300, 388, 48}));
    bar->AddButton(5004, L"Exit");
    bar->AddButton(5002, L"Settings");
    bar->AddButton(5015, L"Tune Up!");
    bar->Show({5015});
    RECT r{};
    GetWindowRect(bar->ButtonOf(5015)->hwnd(), &r);
    MapWindowPoints(nullptr, bar->hwnd(), reinterpret_cast<POINT*>(&r), 2);
    EXPECT_EQ(r.left, 10);
    EXPECT_EQ(r.right - r.left, 368);  // one button: the bar minus 20
    EXPECT_FALSE(IsWindowVisible(bar->ButtonOf(5004)->hwnd()));
    bar->Show({5002, 5004, 5015});
    UpdateWindow(bar->hwnd());
    ClickAt(bar->ButtonOf(5004)->hwnd(), 20, 15);
    ASSERT_EQ(host()->commands.size(), 1u);
    EXPECT_EQ(LOWORD(host()->commands[0].first), 5004);
    bar->EnableButton(5004, false);
    ClickAt(bar->ButtonOf(5004)->hwnd(), 20, 15);
    EXPECT_EQ(host()->commands.size(), 1u);
    // The bar's background away from the buttons is its light line.
    auto snapshot = bar->Snapshot();
    const uint32_t pixel = snapshot->Pixel(3, 24);
    EXPECT_GT(pixel & 0xFF, 0xD0u) << std::hex << pixel;
}

TEST_F(AquaWindowTest, CheckboxClicksToggleAndDraggingOutsideChangesNothing)
{
    RTI::Reference<ControlHost> panel(new ControlHost(toolkit()));
    ASSERT_TRUE(panel->Create(host()->hwnd(), {10, 10, 300, 100}));
    RTI::Reference<Checkbox> box(new Checkbox(L"Enable backup", false));
    box->SetRect(10, 10, 200);
    panel->Add(box);
    UpdateWindow(panel->hwnd());
    Pump(30);

    ClickAt(panel->hwnd(), 18, 18);
    EXPECT_TRUE(PumpUntil([&] { return !host()->commands.empty(); }));
    ASSERT_EQ(host()->commands.size(), 1u);
    EXPECT_EQ(host()->commands[0].first, static_cast<WPARAM>(Checkbox::kToggleCommand));
    EXPECT_TRUE(box->state().ticked());
    auto snapshot = panel->Snapshot();
    const auto strip = panel->lastPaint().ImagesNamed(L"XP.CHECKBOX");
    ASSERT_EQ(strip.size(), 1u);
    EXPECT_EQ(strip[0].source.y, 16 * 5);                                                 // ticked, pointer over it
    EXPECT_TRUE(Bluish(snapshot->Pixel(17, 20))) << std::hex << snapshot->Pixel(17, 20);  // the tick
    EXPECT_EQ(snapshot->Pixel(250, 80) & 0xFFFFFF, 0xFFFFFFu);                            // background

    // Pressed, dragged outside and released there: back to normal, still ticked.
    const POINT inBox = ScreenOf(panel->hwnd(), 18, 18);
    const POINT outside = ScreenOf(panel->hwnd(), 250, 80);
    MouseTo(inBox.x, inBox.y);
    MouseButton(MOUSEEVENTF_LEFTDOWN);
    EXPECT_EQ(box->state().state(), Aqua::CheckboxState::kTickedPressed);
    MouseTo(outside.x, outside.y);
    EXPECT_EQ(box->state().state(), Aqua::CheckboxState::kTicked);
    MouseButton(MOUSEEVENTF_LEFTUP);
    Pump(50);
    EXPECT_EQ(box->state().state(), Aqua::CheckboxState::kTicked);
    EXPECT_EQ(host()->commands.size(), 1u);

    // Keyboard: Tab gives the box the focus mark, Space toggles it.
    SetFocus(panel->hwnd());
    SendMessageW(panel->hwnd(), WM_KEYDOWN, VK_TAB, 0);
    SendMessageW(panel->hwnd(), WM_KEYDOWN, VK_SPACE, 0);
    EXPECT_FALSE(box->state().ticked());
    panel->Snapshot();
    EXPECT_NE(panel->lastPaint().Dump().find(L"focus "), std::wstring::npos);
}

TEST_F(AquaWindowTest, ScrollbarStepsByArrowAndWheelAndTellsItsParent)
{
    RTI::Reference<Scrollbar> bar(new Scrollbar(toolkit()));
    ASSERT_TRUE(bar->Create(host()->hwnd(), {370, 0, 17, 400}));
    bar->SetRange(950, 400);
    UpdateWindow(bar->hwnd());
    ClickAt(bar->hwnd(), 8, 400 - 8);
    EXPECT_EQ(bar->position(), 40);
    ASSERT_FALSE(host()->scrolls.empty());
    EXPECT_EQ(HIWORD(host()->scrolls.back()), 40);
    SendMessageW(bar->hwnd(), WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-120)), 0);
    EXPECT_EQ(bar->position(), 80);
    SendMessageW(bar->hwnd(), WM_MOUSEWHEEL, MAKEWPARAM(0, 60), 0);
    EXPECT_EQ(bar->position(), 80);
    for (int i = 0; i < 30; ++i) {
        bar->StepDown();
    }
    EXPECT_EQ(bar->position(), 550);
    auto snapshot = bar->Snapshot();
    const Aqua::ScrollbarParts parts = Aqua::LayoutScrollbar(bar->scaler(), {0, 0, 17, 400}, bar->model());
    EXPECT_EQ(parts.thumb.bottom(), parts.track.bottom());
    // The thumb is coloured, the track above it light.
    EXPECT_TRUE(Bluish(snapshot->Pixel(8, parts.thumb.y + 3)) || Greyish(snapshot->Pixel(8, parts.thumb.y + 3)));
    EXPECT_GT(snapshot->Pixel(8, parts.track.y + 5) & 0xFF, 0xD0u);
}

TEST_F(AquaWindowTest, MenuSendsTheItemReleasedOver)
{
    RTI::Reference<Menu> menu(new Menu(toolkit()));
    std::vector<Menu::Item> items = {{L"Analyse", 5001, L"AQUA.MENU.ANALYZE", L"AQUA.MENU.NANALYZE"},
                                     {L"Tuning", 5031, L"AQUA.MENU.TUNING", L"AQUA.MENU.NTUNING"}};
    RECT r{};
    GetWindowRect(host()->hwnd(), &r);
    ASSERT_TRUE(menu->Create(host()->hwnd(), L"Velmont Main Menu", items, r.left - 81, r.top));
    ShowWindow(menu->hwnd(), SW_SHOWNA);
    menu->Select(5031);
    UpdateWindow(menu->hwnd());
    const Rect second = menu->Layout().ItemRect(1);
    ClickAt(menu->hwnd(), 40, second.y + 30);
    ASSERT_EQ(host()->commands.size(), 1u);
    EXPECT_EQ(LOWORD(host()->commands[0].first), 5031);
    EXPECT_EQ(host()->commands[0].second, reinterpret_cast<LPARAM>(menu->hwnd()));
    // Pressed on one item, released on the other: nothing.
    const POINT first = ScreenOf(menu->hwnd(), 40, menu->Layout().ItemRect(0).y + 30);
    const POINT other = ScreenOf(menu->hwnd(), 40, second.y + 30);
    DragFromTo(first, other);
    EXPECT_EQ(host()->commands.size(), 1u);
    menu->Snapshot();
    EXPECT_EQ(menu->lastPaint().ImagesNamed(L"AQUA.MENU.NTUNING").size(), 1u);  // the selected item stays lit
}

TEST_F(AquaWindowTest, HelpButtonTogglesItsInfoPopup)
{
    RTI::Reference<Help> help(new Help(toolkit()));
    RECT r{};
    GetWindowRect(host()->hwnd(), &r);
    ASSERT_TRUE(help->Create(host()->hwnd(), r.left + 348, r.top + 26));
    ShowWindow(help->hwnd(), SW_SHOWNA);
    help->SetText(L"");
    UpdateWindow(help->hwnd());
    ClickAt(help->hwnd(), 12, 12);
    EXPECT_TRUE(help->popupShown());
    ASSERT_EQ(host()->commands.size(), 1u);
    help->tip()->Snapshot();
    EXPECT_EQ(help->tip()->lastPaint().Texts().back().text, Aqua::kNoHelpText);
    ClickAt(help->hwnd(), 12, 12);
    EXPECT_FALSE(help->popupShown());
}

TEST_F(AquaWindowTest, ObjectCountsStaySteadyOverRepaints)
{
    RTI::Reference<GUI::Button> button(new GUI::Button(toolkit()));
    ASSERT_TRUE(button->Create(host()->hwnd(), 5015, L"Tune Up!", {20, 320, 120, 30}));
    RTI::Reference<Scrollbar> scroll(new Scrollbar(toolkit()));
    ASSERT_TRUE(scroll->Create(host()->hwnd(), {370, 0, 17, 290}));
    scroll->SetRange(900, 290);
    RTI::Reference<Status> status(new Status(toolkit()));
    ASSERT_TRUE(status->Create(host()->hwnd(), {0, 0, 360, 29}, L"Tuning"));
    auto repaintAll = [&] {
        for (HWND w : {button->hwnd(), scroll->hwnd(), status->hwnd()}) {
            RedrawWindow(w, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW);
        }
        RedrawWindow(host()->hwnd(), nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_UPDATENOW);
    };
    repaintAll();
    const Aqua::Toolkit::Counts first = toolkit().counts();
    const int paints = status->paints();
    for (int i = 0; i < 200; ++i) {
        repaintAll();
    }
    EXPECT_EQ(toolkit().counts(), first);
    EXPECT_GE(status->paints(), paints + 200);
    EXPECT_GT(first.images, 0u);
}

}  // namespace
}  // namespace GUI
