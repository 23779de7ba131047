// The main window the program shows. Until the full main window with its
// views joins the program, this is a plain one: the skinned frame with the
// program's title and the title strip, hiding on close and ending the
// program on its Exit command, with an Analyse command that runs the
// engine's analysis, and the inspection hook answering what it shows.
#include <cstdio>
#include <string>

#include "app/corvane/win32/MainWindowFactory.h"
#include "gui/Commands.h"
#include "gui/Inspection.h"
#include "gui/aqua/win32/Controls.h"
#include "gui/aqua/win32/Window.h"

namespace AppShell {

namespace {

// A JSON string value in UTF-8.
std::string JsonString(const std::wstring& text)
{
    std::string out = "\"";
    for (size_t i = 0; i < text.size(); ++i) {
        unsigned code = static_cast<uint16_t>(text[i]);
        if (code >= 0xD800 && code < 0xDC00 && i + 1 < text.size()) {
            const unsigned low = static_cast<uint16_t>(text[i + 1]);
            if (low >= 0xDC00 && low < 0xE000) {
                code = 0x10000 + ((code - 0xD800) << 10) + (low - 0xDC00);
                ++i;
            }
        }
        if (code == '"' || code == '\\') {
            out += '\\';
            out += static_cast<char>(code);
        } else if (code < 0x20) {
            char escaped[8];
            snprintf(escaped, sizeof escaped, "\\u%04x", code);
            out += escaped;
        } else if (code < 0x80) {
            out += static_cast<char>(code);
        } else if (code < 0x800) {
            out += static_cast<char>(0xC0 | (code >> 6));
            out += static_cast<char>(0x80 | (code & 0x3F));
        } else if (code < 0x10000) {
            out += static_cast<char>(0xE0 | (code >> 12));
            out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (code & 0x3F));
        } else {
            out += static_cast<char>(0xF0 | (code >> 18));
            out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
            out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (code & 0x3F));
        }
    }
    return out + "\"";
}

constexpr int kClientWidth = 388;
constexpr int kStripHeight = 29;
constexpr int kHeight = 200;

class PlainWindow final : public GUI::Window {
public:
    PlainWindow(const MainWindowParts& parts) : GUI::Window(parts.toolkit, parts.frame), manager_(parts.manager)
    {
        inspect_ = RegisterWindowMessageW(GUI::Inspection::kInspectMessage);
    }

    DWORD Make(const std::wstring& title, int x, int y)
    {
        if (!GUI::Window::Create(title.c_str(), x, y, kClientWidth, kHeight)) {
            const DWORD error = GetLastError();
            return error != 0 ? error : ERROR_INVALID_WINDOW_HANDLE;
        }
        strip_ = RTI::Reference<GUI::Status>(new GUI::Status(toolkit()));
        const GUI::Aqua::Scaler& s = scaler();
        (void)strip_->Create(hwnd(), {0, 0, s.Scale(kClientWidth), s.Scale(kStripHeight)}, L"Tuning");
        return 0;
    }

protected:
    LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (message == inspect_ && inspect_ != 0) {
            Answer(reinterpret_cast<HWND>(wParam));
            return 0;
        }
        switch (message) {
            case WM_CLOSE:
                // Alt+F4 and the taskbar's "Close window" hide the window as
                // the close box does; the tray's Exit ends the program.
                ShowWindow(hwnd(), SW_HIDE);
                return 0;
            case WM_COMMAND:
                if (LOWORD(wParam) == GUI::Command::Exit) {
                    PostQuitMessage(0);
                    return 0;
                }
                if (LOWORD(wParam) == GUI::Command::Analyse) {
                    if (!manager_.IsRunning()) {
                        manager_.StartAnalysis(nullptr);
                    }
                    return 0;
                }
                break;
            default:
                break;
        }
        return GUI::Window::Handle(message, wParam, lParam);
    }

private:
    void Answer(HWND requester)
    {
        if (!IsWindow(requester)) {
            return;
        }
        wchar_t title[512] = {};
        GetWindowTextW(hwnd(), title, static_cast<int>(std::size(title)));
        const bool analysed = !manager_.IsRunning() && manager_.LastRun().finished && !manager_.LastRun().tuneUp;
        const std::string json = "{\"view\":\"tuning\",\"title\":" + JsonString(title) +
                                 ",\"running\":" + (manager_.IsRunning() ? "true" : "false") +
                                 ",\"analysed\":" + (analysed ? "true" : "false") + "}";
        COPYDATASTRUCT data{};
        data.dwData = GUI::Inspection::kInspectData;
        data.cbData = static_cast<DWORD>(json.size());
        data.lpData = const_cast<char*>(json.data());
        SendMessageW(requester, WM_COPYDATA, reinterpret_cast<WPARAM>(hwnd()), reinterpret_cast<LPARAM>(&data));
    }

    Tweaker::Manager& manager_;
    UINT inspect_ = 0;
    RTI::Reference<GUI::Status> strip_;
};

class PlainMainWindow final : public GUI::IMainWindow {
public:
    explicit PlainMainWindow(const MainWindowParts& parts) : window_(new PlainWindow(parts)), manager_(parts.manager) {}

    DWORD Create(const std::wstring& title, int x, int y) override { return window_->Make(title, x, y); }
    HWND Handle() const override { return window_->hwnd(); }
    void BringUp() override
    {
        HWND w = window_->hwnd();
        if (!w) {
            return;
        }
        ShowWindow(w, IsIconic(w) ? SW_RESTORE : SW_SHOWNORMAL);
        SetForegroundWindow(w);
    }
    void StopRun() override { manager_.StopRun(); }

private:
    RTI::Reference<PlainWindow> window_;
    Tweaker::Manager& manager_;
};

}  // namespace

std::unique_ptr<GUI::IMainWindow> MakeMainWindow(const MainWindowParts& parts)
{
    return std::make_unique<PlainMainWindow>(parts);
}

}  // namespace AppShell
