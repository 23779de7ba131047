#include "tests/support/win32/InspectionClient.h"

#include "gui/Inspection.h"

namespace Testing {

namespace {

constexpr wchar_t kClientClass[] = L"Corvane.InspectionClient";

struct Answer {
    std::string json;
    bool received = false;
};

LRESULT CALLBACK ClientProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_COPYDATA) {
        auto* answer = reinterpret_cast<Answer*>(GetWindowLongPtrW(window, GWLP_USERDATA));
        const auto* data = reinterpret_cast<const COPYDATASTRUCT*>(lParam);
        if (answer && data && data->dwData == GUI::Inspection::kInspectData) {
            answer->json.assign(static_cast<const char*>(data->lpData), data->cbData);
            answer->received = true;
            return TRUE;
        }
        return FALSE;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

size_t ValueStart(const std::string& json, const std::string& name)
{
    const std::string key = "\"" + name + "\":";
    const size_t at = json.find(key);
    return at == std::string::npos ? std::string::npos : at + key.size();
}

}  // namespace

std::string Inspect(HWND window, DWORD timeoutMs)
{
    static const ATOM atom = [] {
        WNDCLASSEXW wc{};
        wc.cbSize = sizeof wc;
        wc.lpfnWndProc = &ClientProcedure;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = kClientClass;
        return RegisterClassExW(&wc);
    }();
    if (!atom || !IsWindow(window)) {
        return {};
    }
    // A hidden top-level window: WM_COPYDATA is sent to it from the other process.
    HWND client = CreateWindowExW(0, kClientClass, L"", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                                  GetModuleHandleW(nullptr), nullptr);
    if (!client) {
        return {};
    }
    Answer answer;
    SetWindowLongPtrW(client, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&answer));
    const UINT inspect = RegisterWindowMessageW(GUI::Inspection::kInspectMessage);
    if (PostMessageW(window, inspect, reinterpret_cast<WPARAM>(client), 0)) {
        const DWORD start = GetTickCount();
        while (!answer.received && GetTickCount() - start < timeoutMs) {
            MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
            MSG msg;
            while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
                DispatchMessageW(&msg);
            }
        }
    }
    SetWindowLongPtrW(client, GWLP_USERDATA, 0);
    DestroyWindow(client);
    return answer.received ? answer.json : std::string();
}

std::optional<std::string> JsonText(const std::string& json, const std::string& name)
{
    size_t at = ValueStart(json, name);
    if (at == std::string::npos || at >= json.size() || json[at] != '"') {
        return std::nullopt;
    }
    std::string text;
    for (++at; at < json.size(); ++at) {
        if (json[at] == '"') {
            return text;
        }
        if (json[at] == '\\' && at + 1 < json.size()) {
            ++at;
        }
        text += json[at];
    }
    return std::nullopt;
}

std::optional<bool> JsonFlag(const std::string& json, const std::string& name)
{
    const size_t at = ValueStart(json, name);
    if (at == std::string::npos) {
        return std::nullopt;
    }
    if (json.compare(at, 4, "true") == 0) {
        return true;
    }
    if (json.compare(at, 5, "false") == 0) {
        return false;
    }
    return std::nullopt;
}

}  // namespace Testing
