#include "tests/support/win32/InspectionClient.h"

#include <cctype>

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

// Where the value of `name` starts, looked for at the object's own level
// only (not inside nested objects or arrays, nor inside strings).
size_t ValueStart(const std::string& json, const std::string& name)
{
    const std::string key = "\"" + name + "\":";
    int depth = 0;
    for (size_t at = 0; at < json.size(); ++at) {
        const char c = json[at];
        if (c == '"') {
            if (depth == 1 && json.compare(at, key.size(), key) == 0) {
                return at + key.size();
            }
            for (++at; at < json.size() && json[at] != '"'; ++at) {
                at += json[at] == '\\' ? 1 : 0;
            }
        } else if (c == '{' || c == '[') {
            ++depth;
        } else if (c == '}' || c == ']') {
            --depth;
        }
    }
    return std::string::npos;
}

// The end (one past) of the object or array starting at `at`.
size_t ValueEnd(const std::string& json, size_t at)
{
    int depth = 0;
    for (; at < json.size(); ++at) {
        const char c = json[at];
        if (c == '"') {
            for (++at; at < json.size() && json[at] != '"'; ++at) {
                at += json[at] == '\\' ? 1 : 0;
            }
        } else if (c == '{' || c == '[') {
            ++depth;
        } else if ((c == '}' || c == ']') && --depth == 0) {
            return at + 1;
        }
    }
    return std::string::npos;
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

std::optional<long long> JsonNumber(const std::string& json, const std::string& name)
{
    const size_t at = ValueStart(json, name);
    if (at == std::string::npos || at >= json.size() || (json[at] != '-' && !isdigit(json[at]))) {
        return std::nullopt;
    }
    return std::stoll(json.substr(at, 24));
}

std::optional<POINT> JsonPoint(const std::string& json, const std::string& name)
{
    const size_t at = ValueStart(json, name);
    if (at == std::string::npos || at >= json.size() || json[at] != '[') {
        return std::nullopt;
    }
    const size_t comma = json.find(',', at);
    if (comma == std::string::npos) {
        return std::nullopt;
    }
    return POINT{std::stol(json.substr(at + 1, comma - at - 1)), std::stol(json.substr(comma + 1, 24))};
}

std::vector<std::string> JsonObjects(const std::string& json, const std::string& array)
{
    std::vector<std::string> objects;
    size_t at = ValueStart(json, array);
    if (at == std::string::npos || at >= json.size() || json[at] != '[') {
        return objects;
    }
    const size_t end = ValueEnd(json, at);
    while ((at = json.find('{', at)) != std::string::npos && at < end) {
        const size_t close = ValueEnd(json, at);
        if (close == std::string::npos || close > end) {
            break;
        }
        objects.push_back(json.substr(at, close - at));
        at = close;
    }
    return objects;
}

std::string JsonObjectNamed(const std::string& json, const std::string& array, const std::string& name)
{
    for (std::string& object : JsonObjects(json, array)) {
        if (JsonText(object, "name") == name) {
            return object;
        }
    }
    return {};
}

}  // namespace Testing
