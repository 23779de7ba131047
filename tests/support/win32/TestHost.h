#pragma once
// What the window tests share: the mouse driven through SendInput, and one
// toolkit, skinned frame and shown top-level host window per suite (making
// and showing a top-level window under Wine and Xvfb takes about two seconds).
//
//   static void SetUpTestSuite() { suite_ = new Testing::HostSuite(L"Corvane", 60, 60, 390, 500); }
//   static void TearDownTestSuite() { delete suite_; }
//   Testing::ClickAt(suite_->host()->hwnd(), 10, 10);
#include <windows.h>

#include <objbase.h>

#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "gui/aqua/win32/Frame.h"
#include "gui/aqua/win32/Window.h"
#include "tests/support/win32/MessagePump.h"

namespace Testing {

// Moves the mouse to a screen point, then handles messages for a moment.
inline void MouseTo(int x, int y)
{
    SetCursorPos(x, y);
    INPUT input{};
    input.type = INPUT_MOUSE;
    input.mi.dx = static_cast<LONG>(x * 65535 / (GetSystemMetrics(SM_CXSCREEN) - 1));
    input.mi.dy = static_cast<LONG>(y * 65535 / (GetSystemMetrics(SM_CYSCREEN) - 1));
    input.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    SendInput(1, &input, sizeof input);
    PumpMessages(60);
}

// Presses or releases a button (MOUSEEVENTF_LEFTDOWN ...) where the mouse is.
inline void MouseButton(DWORD flag)
{
    INPUT input{};
    input.type = INPUT_MOUSE;
    input.mi.dwFlags = flag;
    SendInput(1, &input, sizeof input);
    PumpMessages(60);
}

// A client point of `window` in screen coordinates.
inline POINT ScreenOf(HWND window, int x, int y)
{
    POINT p{x, y};
    ClientToScreen(window, &p);
    return p;
}

// Clicks the left button at a client point of `window`.
inline void ClickAt(HWND window, int x, int y)
{
    const POINT p = ScreenOf(window, x, y);
    MouseTo(p.x, p.y);
    MouseButton(MOUSEEVENTF_LEFTDOWN);
    MouseButton(MOUSEEVENTF_LEFTUP);
}

// A top-level test window that records the commands (wParam, lParam) and
// scroll messages its children send it.
class HostWindow : public GUI::Window {
public:
    HostWindow(GUI::Aqua::Toolkit& toolkit, GUI::IFrame& frame) : Window(toolkit, frame) {}

    std::vector<std::pair<WPARAM, LPARAM>> commands;
    std::vector<WPARAM> scrolls;
    std::function<void(int)> onCommand;  // called with each command's id

    std::vector<int> CommandIds() const
    {
        std::vector<int> ids;
        for (const auto& c : commands) {
            ids.push_back(LOWORD(c.first));
        }
        return ids;
    }
    void Clear()
    {
        commands.clear();
        scrolls.clear();
        onCommand = nullptr;
    }

protected:
    LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (message == WM_COMMAND) {
            commands.emplace_back(wParam, lParam);
            if (onCommand) {
                onCommand(LOWORD(wParam));
            }
            return 0;
        }
        if (message == WM_VSCROLL) {
            scrolls.push_back(wParam);
            return 0;
        }
        return Window::Handle(message, wParam, lParam);
    }
};

// A suite's single-threaded COM apartment, toolkit (its reports recorded, not
// shown), frame with the program's skin, and the host window, shown.
class HostSuite {
public:
    HostSuite(const wchar_t* title, int x, int y, int width, int height)
        : toolkit_(std::make_unique<GUI::Aqua::Toolkit>(
              GetModuleHandleW(nullptr),
              [this](const std::wstring& text, const std::wstring&) { reports_.push_back(text); })),
          frame_(new GUI::Aqua::Frame(*toolkit_))
    {
        (void)frame_->LoadSkin(GetModuleHandleW(nullptr));
        host_ = new HostWindow(*toolkit_, *frame_);
        if (host_->Create(title, x, y, width, height)) {
            ShowWindow(host_->hwnd(), SW_SHOW);
            SetForegroundWindow(host_->hwnd());
            UpdateWindow(host_->hwnd());
            PumpMessages(100);
        }
    }
    ~HostSuite()
    {
        host_ = nullptr;
        frame_ = nullptr;
        toolkit_.reset();  // after every image and window: GDI+ shuts down last
    }
    HostSuite(const HostSuite&) = delete;
    HostSuite& operator=(const HostSuite&) = delete;

    GUI::Aqua::Toolkit& toolkit() { return *toolkit_; }
    GUI::Aqua::Frame* frame() { return frame_.Get(); }
    HostWindow* host() { return host_.Get(); }
    // What the toolkit reported to the user.
    std::vector<std::wstring>& reports() { return reports_; }

private:
    // Entered first, left last.
    struct Apartment {
        Apartment() { (void)CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED); }
        ~Apartment() { CoUninitialize(); }
    };
    Apartment apartment_;
    std::vector<std::wstring> reports_;
    std::unique_ptr<GUI::Aqua::Toolkit> toolkit_;
    RTI::Reference<GUI::Aqua::Frame> frame_;
    RTI::Reference<HostWindow> host_;
};

}  // namespace Testing
