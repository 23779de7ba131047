// The notification-area icon's calls, recorded through its seam: the record
// has the system's size for this build, and Show, Hide and EnsureShown add
// and delete as the icon's flags say.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/corvane/win32/SystemTrayIcon.h"

namespace AppShell {
namespace {

struct Call {
    DWORD message;
    UINT flags;
};

class Recorder {
public:
    NotifyIconCall Seam()
    {
        return [this](DWORD message, NOTIFYICONDATAW* data) {
            calls.push_back({message, data->uFlags});
            sizes.push_back(data->cbSize);
            last = *data;
            const bool ok = results.empty() || results.front();
            if (!results.empty()) {
                results.erase(results.begin());
            }
            return ok ? TRUE : FALSE;
        };
    }
    std::vector<Call> calls;
    std::vector<DWORD> sizes;
    std::vector<bool> results;  // the answers in turn; true once they run out
    NOTIFYICONDATAW last{};
};

std::string Describe(const std::vector<Call>& calls)
{
    std::string text;
    for (const Call& call : calls) {
        text += call.message == NIM_ADD      ? "add"
                : call.message == NIM_DELETE ? "delete"
                : call.message == NIM_MODIFY ? "modify"
                                             : "other";
        text += call.flags == (NIF_MESSAGE | NIF_ICON | NIF_TIP) ? "(message,icon,tip) "
                : call.flags == 0                                ? "() "
                : call.flags == NIF_INFO                         ? "(info) "
                                                                 : "(?) ";
    }
    return text;
}

TEST(SystemTrayIcon, AddsAndDeletesAsItsFlagsSay)
{
    HWND owner = reinterpret_cast<HWND>(0x1234);
    const struct {
        const char* name;
        std::vector<bool> results;
        std::string steps;  // E = EnsureShown, S = Show, H = Hide
        std::string calls;
        bool hidden, failed;
    } cases[] = {
        {"start: added", {}, "E", "add(message,icon,tip) ", false, false},
        {"start twice: added once", {}, "EE", "add(message,icon,tip) ", false, false},
        {"the shell restarted: deleted, added",
         {},
         "ES",
         "add(message,icon,tip) delete() add(message,icon,tip) ",
         false,
         false},
        {"hidden once", {}, "EHH", "add(message,icon,tip) delete() ", true, false},
        {"add failed: tried again at the next start",
         {false},
         "EE",
         "add(message,icon,tip) add(message,icon,tip) ",
         false,
         false},
        {"add failed: marked", {false}, "E", "add(message,icon,tip) ", true, true},
    };
    for (const auto& c : cases) {
        Recorder recorder;
        recorder.results = c.results;
        {
            SystemTrayIcon icon(owner, nullptr, recorder.Seam());
            for (const char step : c.steps) {
                step == 'E' ? icon.EnsureShown() : step == 'S' ? icon.Show() : icon.Hide();
            }
            EXPECT_EQ(Describe(recorder.calls), c.calls) << c.name;
            EXPECT_EQ(icon.hidden(), c.hidden) << c.name;
            EXPECT_EQ(icon.failed(), c.failed) << c.name;
            recorder.calls.clear();
        }
        // Ending removes a shown icon and nothing else.
        EXPECT_EQ(Describe(recorder.calls), c.hidden ? "" : "delete() ") << c.name;
        for (const DWORD size : recorder.sizes) {
            EXPECT_EQ(size, sizeof(NOTIFYICONDATAW)) << c.name;
        }
        EXPECT_EQ(recorder.last.hWnd, owner) << c.name;
        EXPECT_EQ(recorder.last.uID, 1000u) << c.name;
        EXPECT_EQ(recorder.last.uCallbackMessage, static_cast<UINT>(WM_USER)) << c.name;
        EXPECT_STREQ(recorder.last.szTip, L"Corvane") << c.name;
    }
}

// The startup guard's balloon: a change of the shown icon with the info
// texts; an icon that is not shown is added first, and without one there is
// no balloon. Texts longer than the record are cut with "...".
TEST(SystemTrayIcon, ABalloonGoesOverTheIconAddedFirstWhenNeeded)
{
    const std::wstring longText(300, L'x');
    const struct {
        const char* name;
        std::vector<bool> results;  // the answers from the start on
        std::wstring text;
        std::string calls;  // after the start
        bool shown;
        std::wstring info;
    } cases[] = {
        {"icon shown", {}, L"\"App\" (Run)", "modify(info) ", true, L"\"App\" (Run)"},
        {"icon failed at start: added, then the balloon",
         {false},
         L"\"App\" (Run)",
         "add(message,icon,tip) modify(info) ",
         true,
         L"\"App\" (Run)"},
        {"the shell refuses the icon: no balloon", {false, false}, L"\"App\"", "add(message,icon,tip) ", false, L""},
        {"a long text cut", {}, longText, "modify(info) ", true, std::wstring(252, L'x') + L"..."},
    };
    for (const auto& c : cases) {
        Recorder recorder;
        recorder.results = c.results;
        SystemTrayIcon icon(reinterpret_cast<HWND>(0x1234), nullptr, recorder.Seam());
        icon.EnsureShown();
        recorder.calls.clear();
        EXPECT_EQ(icon.ShowBalloon(L"A new program starts with Windows", c.text), c.shown) << c.name;
        EXPECT_EQ(Describe(recorder.calls), c.calls) << c.name;
        if (c.shown) {
            EXPECT_STREQ(recorder.last.szInfoTitle, L"A new program starts with Windows") << c.name;
            EXPECT_EQ(recorder.last.szInfo, c.info) << c.name;
            EXPECT_EQ(recorder.last.dwInfoFlags, static_cast<DWORD>(NIIF_INFO)) << c.name;
        }
    }
}

}  // namespace
}  // namespace AppShell
