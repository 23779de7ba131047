// The real main window in-process over a small catalogue in the registry
// (pacing off): its state read through the inspection hook, commands posted
// and clicks sent to its windows, prompts answered by their buttons.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <deque>
#include <functional>
#include <thread>

#include "gui/Inspection.h"
#include "gui/UserTweaksChoice.h"
#include "gui/win32/MainFrame.h"
#include "startup/Snapshot.h"
#include "tests/gui/GuiFixture.h"
#include "tests/support/win32/MessagePump.h"
#include "tweaker/ChangeLock.h"

namespace {

using namespace GuiTesting;
using GUI::MainFrame;

const std::wstring kSwitchValues =
    L"<values><value val=\"1\" descr=\"On\" main=\"1\"/><value val=\"0\" descr=\"Off\"/></values>";

bool PumpUntil(const std::function<bool()>& done, int seconds = 5)
{
    return Testing::PumpMessagesUntil(done, std::chrono::seconds(seconds));
}

// Answers every prompt by one of its buttons, from a queue ("OK" when empty;
// the preview's "Tune Up!" when its queue is empty), and records them.
class ButtonPrompts final : public GUI::IPrompts {
public:
    bool Ask(HWND, const std::wstring& caption, const std::wstring& text) override
    {
        shown.push_back(caption + L"|" + text);
        const std::wstring button = Next(L"OK");
        return button == L"OK";
    }
    void Tell(HWND, const std::wstring& caption, const std::wstring& text, UINT) override
    {
        shown.push_back(caption + L"|" + text);
    }
    bool ConfirmTuneUp(HWND, const std::vector<Tweaker::TweakChange>& changes) override
    {
        previews.push_back(changes);
        return Next(L"Tune Up!") == L"Tune Up!";
    }
    void OfferRestart(HWND) override { ++restarts; }

    std::deque<std::wstring> buttons;
    std::vector<std::wstring> shown;
    std::vector<std::vector<Tweaker::TweakChange>> previews;
    int restarts = 0;

private:
    std::wstring Next(const wchar_t* fallback)
    {
        if (buttons.empty()) {
            return fallback;
        }
        std::wstring b = buttons.front();
        buttons.pop_front();
        return b;
    }
};

// Receives the inspection hook's answers.
class Inspector {
public:
    Inspector()
    {
        WNDCLASSW wc{};
        wc.lpfnWndProc = Procedure;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = L"Corvane.TestInspector";
        RegisterClassW(&wc);
        window_ = CreateWindowW(wc.lpszClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, wc.hInstance, nullptr);
        SetWindowLongPtrW(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    }
    ~Inspector() { DestroyWindow(window_); }
    std::string Ask(HWND frame)
    {
        json_.clear();
        DWORD_PTR result = 0;
        SendMessageTimeoutW(frame, RegisterWindowMessageW(GUI::Inspection::kInspectMessage),
                            reinterpret_cast<WPARAM>(window_), 0, SMTO_NORMAL, 5000, &result);
        return json_;
    }

private:
    static LRESULT CALLBACK Procedure(HWND w, UINT m, WPARAM wp, LPARAM lp)
    {
        if (m == WM_COPYDATA) {
            auto* self = reinterpret_cast<Inspector*>(GetWindowLongPtrW(w, GWLP_USERDATA));
            const auto* data = reinterpret_cast<const COPYDATASTRUCT*>(lp);
            if (self && data->dwData == GUI::Inspection::kInspectData) {
                self->json_.assign(static_cast<const char*>(data->lpData), data->cbData);
            }
            return TRUE;
        }
        return DefWindowProcW(w, m, wp, lp);
    }
    HWND window_ = nullptr;
    std::string json_;
};

// A value of the user's Run key made for one test, gone at its end; the
// guard and the startup view read the real registry.
class RunValue {
public:
    static constexpr wchar_t kRun[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";
    explicit RunValue(std::wstring name) : name_(std::move(name)) {}
    ~RunValue()
    {
        HKEY key = nullptr;
        if (RegOpenKeyExW(HKEY_CURRENT_USER, kRun, 0, KEY_SET_VALUE, &key) == ERROR_SUCCESS) {
            RegDeleteValueW(key, name_.c_str());
            RegCloseKey(key);
        }
    }
    const std::wstring& name() const { return name_; }
    // The location as the startup catalogue writes it.
    std::wstring location() const { return L"HKCU\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run, " + name_; }
    void Add() const
    {
        const std::wstring command = L"C:\\windows\\notepad.exe /" + name_;
        HKEY key = nullptr;
        ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, kRun, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr),
                  ERROR_SUCCESS);
        RegSetValueExW(key, name_.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(command.c_str()),
                       static_cast<DWORD>((command.size() + 1) * sizeof(wchar_t)));
        RegCloseKey(key);
    }
    bool Exists() const
    {
        return RegGetValueW(HKEY_CURRENT_USER, kRun, name_.c_str(), RRF_RT_REG_SZ, nullptr, nullptr, nullptr) ==
               ERROR_SUCCESS;
    }

private:
    std::wstring name_;
};

bool Has(const std::string& json, const std::string& part)
{
    return json.find(part) != std::string::npos;
}

class MainFrameTest : public GuiTest {
protected:
    void SetUp() override
    {
        GuiTest::SetUp();
        toolkit_ = std::make_unique<GUI::Aqua::Toolkit>(
            GetModuleHandleW(nullptr),
            [this](const std::wstring& text, const std::wstring&) { reports_.push_back(text); });
        frame_ = new GUI::Aqua::Frame(*toolkit_);
        ASSERT_EQ(frame_->LoadSkin(GetModuleHandleW(nullptr)), 0u);
    }
    void TearDown() override
    {
        window_.reset();
        frame_ = nullptr;
        toolkit_.reset();
        GuiTest::TearDown();
    }

    // Two categories; A: a switch, a plain tweak not in effect, a range editor.
    // The window is drawn through WM_PRINTCLIENT and driven by messages, so
    // most tests leave it hidden (under Wine each hide waits for the display).
    void Open(bool backup = false, bool withCatalogue = true, bool shown = false)
    {
        if (withCatalogue) {
            Catalogue({{L"A",
                        {{L"sw", true, false, L"editable=\"set\"", kSwitchValues, L"Turns the thing on"},
                         {L"plain", true, false, L"", L"", L"Plain tweak"},
                         {L"edit", false, false, L"editable=\"range\"", L"", L"Sets a NUMBER"}}},
                       {L"B", {{L"other", true, true}}}});
            sections_.clear();  // the window keeps its own
        }
        WriteFile(M().ConfigurationPath(), std::string(Tweaker::Manager::kEmptyConfiguration));
        GUI::MainFrameParts parts;
        parts.toolkit = toolkit_.get();
        parts.frame = frame_.Get();
        parts.manager = &M();
        parts.prompts = &prompts_;
        if (!backupFromSettings_) {
            parts.backupEnabled = [backup] { return backup; };
        }
        parts.settings = Settings();
        if (!probeSummary_) {
            parts.summary = std::vector<GUI::SummaryLine>{{L"Video:", L"Test adapter"}};
        }
        parts.helpPage = L"https://corvane.example/help/help.html";
        parts.openUrl = [this](const std::wstring& url) {
            opened_.push_back(url);
            return DWORD{0};
        };
        parts.lockName = L"Local\\Corvane.Changes.MainFrameTest";
        parts.startupPlace = {PathOf(L"startup")};
        window_ = std::make_unique<MainFrame>(parts);
        ASSERT_EQ(window_->Create(L"Corvane", 200, 100), 0u);
        if (shown) {
            window_->BringUp();
        }
        Flush();
    }
    // Handles what is queued now.
    static void Flush()
    {
        (void)PumpUntil([] { return false; }, 0);
    }
    HWND W() const { return window_->Handle(); }
    // The program's settings under the scratch key.
    AppSettings::Environment Settings() const
    {
        AppSettings::Environment env;
        const std::wstring name = ScratchKeyPath().substr(ScratchKeyPath().rfind(L'\\') + 1);
        env.programPath = PathOf(L"Corvane.exe");
        env.starterTweaksPath = PathOf(L"tweaks.xml");
        env.where.programKey = ScratchKeyPath() + L"\\Corvane";
        env.where.settingsKey = ScratchKeyPath() + L"\\Corvane\\Settings";
        env.where.runKey = ScratchKeyPath() + L"\\Run";
        env.where.shortcutName = L"Corvane test " + name;
        env.where.dataFolder = L"CorvaneTests\\" + name;
        env.where.taskPrefix = L"Corvane test " + name;
        env.elevated = false;
        return env;
    }
    int64_t Setting(const wchar_t* name)
    {
        uint32_t type = 0;
        std::vector<uint8_t> data;
        if (ReadValue(L"Corvane\\Settings", name, &type, &data) != 0 || data.size() != 4) {
            return -1;
        }
        return data[0] | (data[1] << 8) | (data[2] << 16) | (int64_t(data[3]) << 24);
    }
    void Command(int id, LPARAM parameter = 0) { SendMessageW(W(), WM_COMMAND, id, parameter); }
    bool Idle()
    {
        const bool ended = PumpUntil([&] { return !M().IsRunning(); });
        Flush();
        return ended;
    }
    void Analyse()
    {
        Command(5001);
        ASSERT_TRUE(Idle()) << GUI::ToJson(window_->State());
        ASSERT_TRUE(PumpUntil([&] { return window_->State().sections.at(0).mode == 0; }));
    }
    // Sends a click (press and release) to a child window's client point.
    static void Click(HWND child, GUI::Aqua::Rect r)
    {
        const LPARAM at = MAKELPARAM(r.x + r.width / 2, r.y + r.height / 2);
        SendMessageW(child, WM_LBUTTONDOWN, MK_LBUTTON, at);
        SendMessageW(child, WM_LBUTTONUP, 0, at);
    }
    void OpenTweaks(int section)
    {
        auto& s = *window_->sectionWindows().at(section);
        Click(s.hwnd(), s.CustomizeRect());
        ASSERT_TRUE(PumpUntil([&] { return window_->State().view == L"tweaks"; }));
    }
    int RowOf(const std::wstring& name)
    {
        const auto& rows = window_->tweaksView()->list().Rows();
        for (size_t i = 0; i < rows.size(); ++i) {
            if (rows[i].name == name) {
                return static_cast<int>(i);
            }
        }
        return -1;
    }
    void ClickRow(const std::wstring& name, GUI::Rect GUI::TweakRow::*part)
    {
        const int row = RowOf(name);
        ASSERT_GE(row, 0) << std::string(name.begin(), name.end());
        GUI::TweaksView& view = *window_->tweaksView();
        Click(view.hwnd(), view.Place(view.list().Rows()[row].*part));
        Flush();
    }
    uint32_t Pixel(GUI::Control& control, int x, int y)
    {
        auto shot = control.Snapshot();
        GdiFlush();
        return shot->Pixel(control.scaler().Scale(x), control.scaler().Scale(y));
    }
    std::vector<std::wstring> BackupPoints()
    {
        std::vector<std::wstring> found;
        WIN32_FIND_DATAW data;
        HANDLE find = FindFirstFileW((M().BackupFolder() + L"*.arch").c_str(), &data);
        if (find != INVALID_HANDLE_VALUE) {
            do {
                found.push_back(data.cFileName);
            } while (FindNextFileW(find, &data));
            FindClose(find);
        }
        return found;
    }

    std::unique_ptr<GUI::Aqua::Toolkit> toolkit_;
    RTI::Reference<GUI::Aqua::Frame> frame_;
    std::unique_ptr<MainFrame> window_;
    ButtonPrompts prompts_;
    std::vector<std::wstring> reports_;
    std::vector<std::wstring> opened_;
    bool backupFromSettings_ = false;  // the tune-up asks the stored settings
    bool probeSummary_ = false;        // the strip shows what this machine reports
};

// The one test with the window on the screen (under Wine each hide waits for
// the display): the inspection hook, a real prompt, closing.
TEST_F(MainFrameTest, InspectionPromptAndCloseOnAShownWindow)
{
    Open(false, true, true);
    Inspector inspector;
    const std::string json = inspector.Ask(W());
    ASSERT_FALSE(json.empty());
    for (const char* part :
         {"\"view\":\"tuning\"", "\"analysed\":false", "\"title\":\"Tuning\"", "\"helpTopic\":\"ID_TUNING\"",
          "\"menu\":5031", "\"visible\":true", "{\"id\":5002,\"caption\":\"Settings\",\"enabled\":true}",
          "{\"id\":5015,\"caption\":\"Tune Up!\",\"enabled\":true}",
          "{\"name\":\"A\",\"mode\":1,\"status\":\"not analysed\"", "\"cells\":\"GGGGGGGGGG\""}) {
        EXPECT_TRUE(Has(json, part)) << part << "\n" << json;
    }
    // "Tuning" re-evaluates without marking anything analysed.
    Command(5031);
    EXPECT_TRUE(Has(inspector.Ask(W()), "{\"name\":\"A\",\"mode\":1,\"status\":\"not analysed\""));
    // The help texts come from the program's TIPS.
    EXPECT_FALSE(window_->navigator().HelpTopic().empty());
    EXPECT_TRUE(reports_.empty());

    // A prompt keeps the window painting and answering; posted commands wait.
    GUI::WindowPrompts real(*toolkit_, *frame_);
    HWND section = window_->sectionWindows().at(0)->hwnd();
    const int paintsBefore = window_->sectionWindows().at(0)->paints();
    std::atomic<int> paintsDuring{0};
    std::atomic<bool> answered{false};
    std::atomic<bool> disabled{false};
    HWND w = W();
    PostMessageW(w, WM_COMMAND, 5001, 0);  // waits until the prompt closes
    std::thread answerer([&] {
        HWND box = nullptr;
        for (int i = 0; i < 500 && !box; ++i, Sleep(10)) {
            box = FindWindowW(nullptr, L"Prompt test");
        }
        if (!box) {
            return;
        }
        disabled = !IsWindowEnabled(w);
        InvalidateRect(section, nullptr, FALSE);
        Inspector during;
        answered = Has(during.Ask(w), "\"view\":\"tuning\"");
        Sleep(200);
        paintsDuring = window_->sectionWindows().at(0)->paints();
        // Press its OK button.
        HWND ok = FindWindowExW(box, nullptr, L"Button", L"OK");
        PostMessageW(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), reinterpret_cast<LPARAM>(ok));
    });
    real.Tell(w, L"Prompt test", L"The window keeps painting.", MB_ICONINFORMATION);
    answerer.join();
    EXPECT_TRUE(disabled);
    EXPECT_TRUE(answered);
    EXPECT_GT(paintsDuring.load(), paintsBefore);
    EXPECT_FALSE(M().IsRunning() || window_->State().running);  // the posted analysis waited
    EXPECT_TRUE(IsWindowEnabled(w));
    Idle();

    // The preview is answered by its buttons: "Tune Up!" says go.
    std::vector<Tweaker::TweakChange> changes(1);
    changes[0].category = L"A";
    changes[0].name = L"plain";
    std::atomic<bool> clicked{false};
    std::thread clicker([&] {
        HWND button = nullptr;
        for (int i = 0; i < 500 && !button; ++i, Sleep(10)) {
            HWND preview = FindWindowW(nullptr, GUI::WindowPrompts::kPreviewTitle);
            button = preview ? FindWindowExW(preview, nullptr, nullptr, L"Tune Up!") : nullptr;
        }
        if (button) {
            PostMessageW(button, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
            PostMessageW(button, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
            clicked = true;
        }
    });
    const bool go = real.ConfirmTuneUp(w, changes);
    clicker.join();
    EXPECT_TRUE(clicked);
    EXPECT_TRUE(go);
    EXPECT_TRUE(IsWindowEnabled(w));

    // Keys typed on the window reach the keyboard's focus order: Tab goes to
    // the first button of the bar.
    SetForegroundWindow(w);
    SetFocus(w);
    INPUT keys[2] = {};
    keys[0].type = keys[1].type = INPUT_KEYBOARD;
    keys[0].ki.wVk = keys[1].ki.wVk = VK_TAB;
    keys[1].ki.dwFlags = KEYEVENTF_KEYUP;
    SendInput(2, keys, sizeof(INPUT));
    EXPECT_TRUE(PumpUntil([&] { return GetFocus() == window_->actions()->ButtonOf(5002)->hwnd(); }, 2));

    // Left of the screen's origin the menu stays left of the window.
    SetWindowPos(w, nullptr, -150, 40, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    Flush();
    RECT menuRect{};
    POINT origin{0, 0};
    ClientToScreen(w, &origin);
    GetWindowRect(window_->menu()->hwnd(), &menuRect);
    EXPECT_EQ(menuRect.left, origin.x - window_->scaler().Scale(81));
    EXPECT_LT(menuRect.left, -150);

    // Closing hides the window and its pop-ups; the program goes on.
    SendMessageW(w, WM_CLOSE, 0, 0);
    EXPECT_FALSE(IsWindowVisible(w));
    EXPECT_FALSE(IsWindowVisible(window_->menu()->hwnd()));
}

TEST_F(MainFrameTest, SectionsAreGreyBeforeAnAnalysisAndInColourAfter)
{
    Open();
    // Away from the texts: the odd row's background right of the cells, and the first cell.
    GUI::SectionWindow& odd = *window_->sectionWindows().at(1);
    GUI::SectionWindow& even = *window_->sectionWindows().at(0);
    const uint32_t oddBefore = Pixel(odd, 380, 62);
    const uint32_t cellBefore = Pixel(even, 70, 43);
    Analyse();
    EXPECT_EQ(window_->State().view, L"tuning");
    const uint32_t oddAfter = Pixel(odd, 380, 62);
    const uint32_t cellAfter = Pixel(even, 70, 43);
    EXPECT_EQ(oddBefore & 0xFFFFFF, GUI::Desaturate(GUI::SectionColour::OddRow) & 0xFFFFFF);
    EXPECT_EQ(oddAfter & 0xFFFFFF, GUI::SectionColour::OddRow & 0xFFFFFF);
    auto grey = [](uint32_t c) {
        const int r = (c >> 16) & 0xFF, g = (c >> 8) & 0xFF, b = c & 0xFF;
        return std::abs(r - g) < 12 && std::abs(g - b) < 12;
    };
    EXPECT_TRUE(grey(cellBefore)) << std::hex << cellBefore;
    EXPECT_FALSE(grey(cellAfter)) << std::hex << cellAfter;  // category A: some in effect
    const GUI::WindowState state = window_->State();
    EXPECT_EQ(state.sections[1].status, L"all selected tweaks were applied");
    EXPECT_EQ(state.sections[1].cells, L"gggggggggg");
    EXPECT_TRUE(state.analysed);
    EXPECT_EQ(state.caption, L"Corvane");
}

TEST_F(MainFrameTest, TheApplyBoxSelectsATweakAndTheSwitchTurnsIt)
{
    Open();
    Analyse();
    OpenTweaks(0);
    EXPECT_EQ(window_->State().title, L"A");
    EXPECT_EQ(window_->State().rows.size(), 3u);
    const struct {
        const wchar_t* name;
        GUI::Rect GUI::TweakRow::*box;
        const char* saved;
    } steps[] = {
        {L"plain", &GUI::TweakRow::selectBox, "n=\"plain\" enabled=\"0\""},
        {L"edit", &GUI::TweakRow::selectBox, "n=\"edit\" enabled=\"1\""},
        {L"plain", &GUI::TweakRow::selectBox, "n=\"plain\" enabled=\"1\""},
    };
    for (const auto& step : steps) {
        ClickRow(step.name, step.box);
        const std::string config = ReadFile(M().ConfigurationPath());
        EXPECT_TRUE(Has(config, step.saved)) << step.saved << "\n" << config;
    }
    const std::string before = ReadFile(M().ConfigurationPath());
    ASSERT_TRUE(window_->State().rows[RowOf(L"sw")].switchOn);
    ClickRow(L"sw", &GUI::TweakRow::switchBox);
    EXPECT_FALSE(window_->State().rows[RowOf(L"sw")].switchOn);
    EXPECT_NE(ReadFile(M().ConfigurationPath()), before);
    // The filter narrows the rows by name and description.
    SetWindowTextW(window_->tweaksView()->filterBox(), L"number");
    ASSERT_EQ(window_->State().rows.size(), 1u);
    EXPECT_EQ(window_->State().rows[0].name, L"edit");
    // Back re-evaluates without marking the sections analysed again.
    Command(5022);
    EXPECT_EQ(window_->State().view, L"tuning");
    EXPECT_TRUE(prompts_.shown.empty());
}

// Every change holds the change lock only while it is made, so the command
// line works beside the window; while another program holds it, nothing changes.
TEST_F(MainFrameTest, ChangesTakeTheChangeLockOnlyWhileTheyAreMade)
{
    Open();
    Analyse();
    OpenTweaks(0);
    const std::string before = ReadFile(M().ConfigurationPath());
    const std::wstring name = L"Local\\Corvane.Changes.MainFrameTest";
    // Another holder (a mutex is re-entered by its own thread).
    std::atomic<int> step{0};
    std::thread holder([&] {
        Platform::UniqueNamedLock held;
        step = Tweaker::TakeChangeLock(&held, name) == 0 ? 1 : -1;
        while (step == 1) {
            Sleep(5);
        }
    });
    while (step == 0) {
        Sleep(5);
    }
    ASSERT_EQ(step.load(), 1);
    ClickRow(L"plain", &GUI::TweakRow::selectBox);
    step = 2;
    holder.join();
    EXPECT_EQ(ReadFile(M().ConfigurationPath()), before);
    ASSERT_EQ(prompts_.shown.size(), 1u);
    EXPECT_EQ(prompts_.shown[0].rfind(L"Corvane|Another Corvane program", 0), 0u);
    // Free again: the click changes, and the window does not keep the lock.
    ClickRow(L"plain", &GUI::TweakRow::selectBox);
    EXPECT_NE(ReadFile(M().ConfigurationPath()), before);
    std::thread other([&] {
        Platform::UniqueNamedLock lock;
        EXPECT_EQ(Tweaker::TakeChangeLock(&lock, name), 0u);
    });
    other.join();
}

TEST_F(MainFrameTest, TuneUpShowsThePreviewChangesTheRegistryAndWritesABackupPoint)
{
    Open(true);
    // Before an analysis Tune Up asks for one; Cancel starts nothing.
    prompts_.buttons = {L"Cancel"};
    Command(5015);
    ASSERT_EQ(prompts_.shown.size(), 1u);
    EXPECT_EQ(prompts_.shown[0], L"You need to analyse system before tuning!|Start analysing? ");
    EXPECT_FALSE(M().IsRunning());
    Analyse();
    // The preview's Cancel changes nothing.
    prompts_.buttons = {L"Cancel"};
    Command(5015);
    ASSERT_EQ(prompts_.previews.size(), 1u);
    EXPECT_EQ(Dword(L"plain"), -1);
    EXPECT_FALSE(M().IsRunning());
    EXPECT_TRUE(BackupPoints().empty());
    const GUI::WindowState previewed = window_->State();
    ASSERT_FALSE(previewed.preview.empty());
    EXPECT_EQ(previewed.preview[0].name, L"sw");
    EXPECT_EQ(previewed.preview[1].name, L"plain");
    // "Tune Up!" runs it.
    Command(5015);
    ASSERT_EQ(prompts_.previews.size(), 2u);
    ASSERT_TRUE(Idle());
    ASSERT_TRUE(PumpUntil([&] { return window_->State().sections.at(0).mode == 5; }));
    EXPECT_EQ(Dword(L"plain"), 1);
    EXPECT_EQ(Dword(L"sw"), 1);
    EXPECT_EQ(BackupPoints().size(), 1u);
    const GUI::WindowState after = window_->State();
    EXPECT_EQ(after.view, L"tuning");
    EXPECT_EQ(after.buttons.size(), 3u);  // Settings, Exit, Tune Up! again
    EXPECT_EQ(after.sections[0].status, L"all selected tweaks were applied");
    ASSERT_TRUE(PumpUntil([&] { return prompts_.restarts == 1; }));
}

// The manager outlives the window: once the window is gone the manager holds
// no pointer to its tracer, so recomputing afterwards reaches nothing dead.
TEST_F(MainFrameTest, TheManagerForgetsTheWindowsTracerWhenTheWindowGoes)
{
    Open();
    Analyse();
    ASSERT_NE(M().Tracer(), nullptr);
    window_.reset();
    EXPECT_EQ(M().Tracer(), nullptr);
    M().RecomputeAll();
}

// After a tune-up the backups view lists its point; restoring it on the
// worker brings the registry back and says so truthfully; deleting asks first.
TEST_F(MainFrameTest, TheBackupsViewRestoresAndDeletesThePointOfATuneUp)
{
    Open(true);
    const int64_t plainBefore = Dword(L"plain");
    const int64_t swBefore = Dword(L"sw");
    Analyse();
    Command(5015);
    ASSERT_TRUE(Idle());
    ASSERT_TRUE(PumpUntil([&] { return prompts_.restarts == 1; }));
    ASSERT_EQ(Dword(L"plain"), 1);
    ASSERT_EQ(BackupPoints().size(), 1u);

    Command(5016);
    GUI::WindowState state = window_->State();
    EXPECT_EQ(state.view, L"backups");
    EXPECT_EQ(state.title, L"Backups");
    EXPECT_EQ(state.helpTopic, L"ID_BACKUPS");
    ASSERT_EQ(state.rows.size(), 1u);
    EXPECT_EQ(state.rows[0].name, BackupPoints()[0]);
    EXPECT_FALSE(state.rows[0].selected);
    ASSERT_EQ(state.buttons.size(), 3u);
    EXPECT_FALSE(state.buttons[1].enabled) << "nothing ticked: no restore";
    EXPECT_TRUE(GetWindowLongW(window_->backupsView()->hwnd(), GWL_STYLE) & WS_VISIBLE);

    // Ticking the point through its box enables Restore and Delete.
    auto tick = [&] {
        GUI::BackupsView& view = *window_->backupsView();
        const GUI::Rect box = view.list().Rows().at(0).checkBox;
        const GUI::Aqua::Scaler& s = view.scaler();
        Click(view.hwnd(), {s.Scale(box.left), s.Scale(box.top), s.Scale(box.width), s.Scale(box.height)});
    };
    tick();
    ASSERT_TRUE(PumpUntil([&] { return window_->State().buttons[1].enabled; })) << "5024 enables Restore";
    state = window_->State();
    EXPECT_TRUE(state.rows.at(0).selected);
    EXPECT_TRUE(state.buttons[2].enabled);

    // Restore: the worker ends with the truthful message and the restart offer.
    prompts_.shown.clear();
    Command(5017);
    ASSERT_TRUE(PumpUntil([&] { return !prompts_.shown.empty(); })) << GUI::ToJson(window_->State());
    EXPECT_EQ(prompts_.shown[0], L"Backups|Restoring complete");
    EXPECT_EQ(window_->lastRestoreProgress(), L"Restoring the backup point: 100%") << "the journal's progress";
    EXPECT_EQ(window_->State().title, L"Backups");
    EXPECT_EQ(window_->State().progress, L"");
    EXPECT_EQ(Dword(L"plain"), plainBefore) << "the registry is back";
    EXPECT_EQ(Dword(L"sw"), swBefore);
    ASSERT_TRUE(PumpUntil([&] { return prompts_.restarts == 2; }));
    EXPECT_TRUE(window_->State().rows.at(0).selected) << "the restored point stays ticked";

    // Delete asks first: Cancel keeps the point, OK deletes it.
    prompts_.shown.clear();
    prompts_.buttons = {L"Cancel"};
    Command(5018);
    ASSERT_EQ(prompts_.shown.size(), 1u);
    EXPECT_EQ(prompts_.shown[0].rfind(L"Backups|Delete 1 backup point? ", 0), 0u);
    EXPECT_EQ(BackupPoints().size(), 1u);
    Command(5018);
    EXPECT_TRUE(BackupPoints().empty());
    EXPECT_TRUE(window_->State().rows.empty());
    ASSERT_TRUE(PumpUntil([&] { return !window_->State().buttons[1].enabled; })) << "nothing left to restore";

    Command(5000);
    EXPECT_EQ(window_->State().view, L"tuning");
    EXPECT_FALSE(GetWindowLongW(window_->backupsView()->hwnd(), GWL_STYLE) & WS_VISIBLE);
}

// Each menu command shows its own view alone, with its title and help topic;
// Back returns to the sections.
TEST_F(MainFrameTest, EachViewCommandShowsItsViewAlone)
{
    Open();
    struct Case {
        int command;
        const wchar_t* view;
        const wchar_t* title;
        const wchar_t* topic;
        std::vector<int> buttons;
    };
    const Case cases[] = {
        {5016, L"backups", L"Backups", L"ID_BACKUPS", {5007, 5017, 5018}},
        {5025, L"profiles", L"Profiles", L"ID_PROFILES_VIEW", {5007, 5026, 5027, 5028}},
        {5035, L"tweaksets", L"Tweaks sets", L"ID_COLLECTIONS_INFO", {5007, 5038}},
        {5036, L"startup", L"Startup programs", L"ID_STARTUP_PROGRAMS", {5007}},
    };
    auto shown = [](GUI::WindowBase* w) { return (GetWindowLongW(w->hwnd(), GWL_STYLE) & WS_VISIBLE) != 0; };
    for (const Case& c : cases) {
        Command(c.command);
        const GUI::WindowState state = window_->State();
        EXPECT_EQ(state.view, c.view);
        EXPECT_EQ(state.title, c.title);
        EXPECT_EQ(state.helpTopic, c.topic);
        std::vector<int> ids;
        for (const auto& b : state.buttons) {
            ids.push_back(b.id);
        }
        EXPECT_EQ(ids, c.buttons) << c.command;
        EXPECT_EQ(shown(window_->backupsView()), c.command == 5016);
        EXPECT_EQ(shown(window_->profilesView()), c.command == 5025);
        EXPECT_EQ(shown(window_->tweakSetsView()), c.command == 5035);
        EXPECT_EQ(shown(window_->startupView()), c.command == 5036);
        EXPECT_FALSE(shown(window_->sectionWindows().at(0).Get()));
        Command(5007);
        EXPECT_EQ(window_->State().view, L"tuning");
        EXPECT_TRUE(shown(window_->sectionWindows().at(0).Get()));
    }
}

// Answers the first shown dialog of that title from another thread.
std::thread AnswerDialog(const wchar_t* title, std::function<void(HWND)> act)
{
    return std::thread([title, act] {
        for (int i = 0; i < 500; ++i) {
            HWND dialog = FindWindowW(L"#32770", title);
            if (dialog && IsWindowVisible(dialog)) {
                Sleep(200);  // after WM_INITDIALOG
                act(dialog);
                return;
            }
            Sleep(20);
        }
    });
}

// The profiles view: Default listed, a tick enables Set and Delete, "more..."
// shows the details and back keeps the tick; a profile saved through the
// "Profiles" dialog is listed, and deleted after the question.
TEST_F(MainFrameTest, TheProfilesViewSavesShowsAndDeletesProfiles)
{
    Open();
    Command(5025);
    GUI::WindowState state = window_->State();
    EXPECT_EQ(state.view, L"profiles");
    EXPECT_EQ(state.title, L"Profiles");
    ASSERT_FALSE(state.rows.empty());
    EXPECT_EQ(state.rows[0].name, L"Default");
    ASSERT_EQ(state.buttons.size(), 4u);
    EXPECT_FALSE(state.buttons[1].enabled) << "nothing ticked: no Set";

    GUI::ProfilesView& view = *window_->profilesView();
    auto click = [&](const GUI::Rect& r) {
        const GUI::Aqua::Scaler& s = view.scaler();
        Click(view.hwnd(), {s.Scale(r.left), s.Scale(r.top), s.Scale(r.width), s.Scale(r.height)});
    };
    const size_t last = view.list().Rows().size() - 1;
    click(view.list().Rows()[last].checkBox);
    ASSERT_TRUE(PumpUntil([&] { return window_->State().buttons[1].enabled; })) << "5030 enables Set";
    click(view.list().Rows()[last].more);
    ASSERT_TRUE(PumpUntil([&] { return window_->State().view == L"profile"; }));
    EXPECT_EQ(window_->State().details.rfind(view.list().Rows()[last].profile->name, 0), 0u);
    Command(5033);
    ASSERT_TRUE(PumpUntil([&] { return window_->State().view == L"profiles" && window_->State().buttons[1].enabled; }))
        << "back from the details keeps the tick";
    EXPECT_TRUE(window_->State().rows[last].selected);

    const size_t before = window_->State().rows.size();
    std::thread helper = AnswerDialog(L"Profiles", [](HWND d) {
        SetDlgItemTextW(d, GUI::ProfileDialog::kNameId, L"Evening");
        SetDlgItemTextW(d, GUI::ProfileDialog::kShortId, L"Dim");
        PostMessageW(d, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(d, IDOK)));
    });
    Command(5028);
    helper.join();
    state = window_->State();
    ASSERT_EQ(state.rows.size(), before + 1);
    EXPECT_EQ(state.rows.back().name, L"Evening");
    ASSERT_TRUE(PumpUntil([&] { return !window_->State().buttons[1].enabled; })) << "the reloaded list has no tick";

    click(view.list().Rows().back().checkBox);
    ASSERT_TRUE(PumpUntil([&] { return window_->State().buttons[2].enabled; }));
    helper = AnswerDialog(L"Profile deleting confirmation.", [](HWND d) { PostMessageW(d, WM_COMMAND, IDOK, 0); });
    Command(5027);
    helper.join();
    EXPECT_EQ(window_->State().rows.size(), before);
    ASSERT_TRUE(PumpUntil([&] { return !window_->State().buttons[2].enabled; }));
}

std::atomic<int> timerTicks{0};
void CALLBACK CountTick(HWND, UINT, UINT_PTR, DWORD)
{
    ++timerTicks;
}

std::wstring UserTweaksPath()
{
    wchar_t text[MAX_PATH] = {};
    DWORD size = sizeof text;
    if (RegGetValueW(HKEY_CURRENT_USER, GUI::kProgramKey, GUI::kUserTweaksValue, RRF_RT_REG_SZ, nullptr, text, &size) !=
        ERROR_SUCCESS) {
        return L"(none)";
    }
    return text;
}

// The profile dialog, the delete question and the file dialog run on a prompt
// thread: while one is open the window is disabled, answers the inspection
// hook and its timers tick, and a posted command waits until it has closed.
// Cancel changes nothing (no profile saved or deleted, UserTweaksPath kept).
TEST_F(MainFrameTest, DialogsRunOnThePromptThreadWhileTheWindowAnswers)
{
    Open();
    const struct {
        int view;
        int command;
        const wchar_t* title;  // nullptr: the file dialog, whatever its title
        const wchar_t* viewName;
    } cases[] = {
        {5025, 5028, L"Profiles", L"profiles"},
        {5025, 5027, L"Profile deleting confirmation.", L"profiles"},
        {5035, 5038, nullptr, L"tweaksets"},
    };
    const UINT_PTR timer = SetTimer(nullptr, 0, 20, &CountTick);
    const DWORD uiThread = GetCurrentThreadId();
    const std::wstring pathBefore = UserTweaksPath();
    for (const auto& c : cases) {
        Command(c.view);
        if (c.command == 5027) {  // a ticked profile to delete
            GUI::ProfilesView& view = *window_->profilesView();
            const GUI::Rect& r = view.list().Rows().back().checkBox;
            const GUI::Aqua::Scaler& s = view.scaler();
            Click(view.hwnd(), {s.Scale(r.left), s.Scale(r.top), s.Scale(r.width), s.Scale(r.height)});
            ASSERT_TRUE(PumpUntil([&] { return window_->State().buttons[2].enabled; }));
        }
        const size_t rows = window_->State().rows.size();
        HWND w = W();
        std::atomic<bool> otherThread{false}, disabled{false}, ticked{false};
        std::string during;
        std::thread helper = AnswerDialog(c.title, [&](HWND d) {
            otherThread = GetWindowThreadProcessId(d, nullptr) != uiThread;
            disabled = !IsWindowEnabled(w);
            PostMessageW(w, WM_COMMAND, 5007, 0);  // Back: waits for the dialog
            during = Inspector().Ask(w);
            const int ticks = timerTicks;
            for (int i = 0; i < 100 && timerTicks == ticks; ++i) {
                Sleep(20);
            }
            ticked = timerTicks != ticks;
            PostMessageW(d, WM_COMMAND, IDCANCEL, 0);
        });
        Command(c.command);
        helper.join();
        EXPECT_TRUE(otherThread) << c.command;
        EXPECT_TRUE(disabled) << c.command;
        EXPECT_TRUE(ticked) << c.command;
        const std::wstring viewName(c.viewName);
        EXPECT_TRUE(Has(during, "\"view\":\"" + std::string(viewName.begin(), viewName.end()) + "\""))
            << c.command << " " << during;
        EXPECT_TRUE(IsWindowEnabled(w)) << c.command;
        EXPECT_EQ(window_->State().view, c.viewName) << c.command << ": Back waited";
        EXPECT_EQ(window_->State().rows.size(), rows) << c.command << ": Cancel changed nothing";
        ASSERT_TRUE(PumpUntil([&] { return window_->State().view == L"tuning"; })) << c.command;
    }
    KillTimer(nullptr, timer);
    EXPECT_EQ(UserTweaksPath(), pathBefore);
}

TEST_F(MainFrameTest, DetailsChangeValuesOnlyOnOk)
{
    Open();
    Analyse();
    OpenTweaks(0);
    const std::string empty = ReadFile(M().ConfigurationPath());
    const struct {
        const wchar_t* typed;  // nullptr: "From Registry"
        int button;            // 5008 OK, 5010 Cancel
        const char* saved;     // in Config.xml afterwards; nullptr: unchanged
        size_t prompts;
    } steps[] = {
        {L"5", 5010, nullptr, 0},
        {nullptr, 5010, nullptr, 0},
        {L"not a number", 5008, nullptr, 1},
        {L"7", 5008, "val=\"7\"", 1},
    };
    for (size_t i = 0; i < std::size(steps); ++i) {
        const auto& step = steps[i];
        ClickRow(L"edit", &GUI::TweakRow::linkArea);
        ASSERT_EQ(window_->State().view, L"details") << i;
        ASSERT_EQ(window_->State().editors.size(), 1u) << i;
        EXPECT_EQ(window_->State().buttons.size(), 2u) << i;  // OK and Cancel
        if (step.typed) {
            SetWindowTextW(window_->infoView()->EditOf(0), step.typed);
            EXPECT_EQ(window_->State().editors[0].text, step.typed) << i;
        } else {
            SendMessageW(window_->infoView()->hwnd(), WM_COMMAND, GUI::TweakInfoView::kFirstButton + 1, 0);
        }
        Command(step.button);
        EXPECT_EQ(prompts_.shown.size(), step.prompts) << i;
        const std::string config = ReadFile(M().ConfigurationPath());
        if (step.saved) {
            EXPECT_TRUE(Has(config, step.saved)) << i << "\n" << config;
            EXPECT_EQ(window_->State().view, L"tweaks") << i;
        } else {
            EXPECT_EQ(config, empty) << i;
        }
        if (window_->State().view == L"details") {
            Command(5010);
        }
    }
    EXPECT_EQ(prompts_.shown.back(), L"Tweak Details|Some setting are wrong and could not be applied!");
}

TEST_F(MainFrameTest, WithoutACatalogueAnalyseAndTuneUpTellWhy)
{
    Open(false, false);
    Command(5001);
    Command(5015);
    ASSERT_EQ(prompts_.shown.size(), 2u);
    for (const std::wstring& shown : prompts_.shown) {
        EXPECT_EQ(shown.rfind(L"No tweaks loaded|", 0), 0u);
    }
    EXPECT_FALSE(M().IsRunning());
    Command(5039);
    EXPECT_EQ(opened_, std::vector<std::wstring>{L"https://corvane.example/help/help.html"});
}

TEST_F(MainFrameTest, KeyboardReachesTheRowsAndGoesBack)
{
    Open();
    SendMessageW(W(), WM_KEYDOWN, VK_F5, 0);
    ASSERT_TRUE(Idle());
    ASSERT_TRUE(PumpUntil([&] { return window_->State().sections.at(0).mode == 0; }));
    OpenTweaks(0);
    // Tab: the bar's "Back", then the first row's "Apply".
    for (int i = 0; i < 2; ++i) {
        SendMessageW(W(), WM_KEYDOWN, VK_TAB, 0);
    }
    const bool selected = window_->State().rows[0].selected;
    SendMessageW(W(), WM_KEYDOWN, VK_SPACE, 0);
    EXPECT_NE(window_->State().rows[0].selected, selected);
    SendMessageW(W(), WM_KEYDOWN, VK_ESCAPE, 0);
    EXPECT_EQ(window_->State().view, L"tuning");
}

}  // namespace

namespace {

TEST_F(MainFrameTest, AMoveToAnotherDpiRelaysOutTheViews)
{
    Open();
    RECT window{};
    GetWindowRect(W(), &window);
    const int dpi = 2 * window_->scaler().dpi();
    RECT suggested{window.left, window.top, window.left + 2 * (window.right - window.left),
                   window.top + 2 * (window.bottom - window.top)};
    SendMessageW(W(), 0x02E0 /* WM_DPICHANGED */, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(&suggested));
    const GUI::Aqua::Scaler s(dpi);
    auto placeOf = [&](HWND child) {
        RECT r{};
        GetWindowRect(child, &r);
        MapWindowPoints(nullptr, W(), reinterpret_cast<POINT*>(&r), 2);
        return r;
    };
    const RECT second = placeOf(window_->sectionWindows().at(1)->hwnd());
    EXPECT_EQ(second.top, s.Scale(29 + 75));
    EXPECT_EQ(second.right - second.left, s.Scale(388));
    const RECT bar = placeOf(window_->actions()->hwnd());
    EXPECT_EQ(bar.top, s.Scale(29 + 2 * 75));
    EXPECT_EQ(bar.bottom - bar.top, s.Scale(48));
    EXPECT_EQ(window_->tweaksView()->scaler().dpi(), dpi);
    RECT filter{};
    GetWindowRect(window_->tweaksView()->filterBox(), &filter);
    EXPECT_EQ(filter.bottom - filter.top, s.Scale(20));
}

}  // namespace

namespace {

// While a tune-up runs (paced here, so that it lasts), the rows only show and
// the details refuse OK; the run's end brings the tuning view back.
TEST_F(MainFrameTest, NothingChangesUnderARunningTuneUp)
{
    Open();
    Analyse();
    const std::string before = ReadFile(M().ConfigurationPath());
    Tweaker::SetPacing(Tweaker::Pacing::On);
    Command(5015);
    ASSERT_TRUE(M().IsRunning());
    Command(5005, reinterpret_cast<LPARAM>(M().Categories()[0].Get()));
    EXPECT_EQ(window_->State().view, L"tweaks");
    EXPECT_TRUE(window_->tweaksView()->list().IsDisabled());
    ClickRow(L"plain", &GUI::TweakRow::selectBox);
    ClickRow(L"sw", &GUI::TweakRow::switchBox);
    Command(5020, reinterpret_cast<LPARAM>(window_->tweaksView()->list().Rows()[2].tweak.Get()));
    Command(5008);
    const bool stillRunning = M().IsRunning();
    Tweaker::SetPacing(Tweaker::Pacing::Off);
    ASSERT_TRUE(stillRunning) << "the run ended before the checks";
    EXPECT_EQ(window_->State().view, L"details");
    ASSERT_EQ(prompts_.shown.size(), 1u);
    EXPECT_EQ(prompts_.shown[0], std::wstring(GUI::Navigator::kBusyCaption) + L"|" + GUI::Navigator::kBusyText);
    EXPECT_EQ(ReadFile(M().ConfigurationPath()), before);
    ASSERT_TRUE(Idle());
    EXPECT_TRUE(PumpUntil([&] { return window_->State().view == L"tuning"; }));
    // The rows take input again once the window has seen the run end.
    EXPECT_TRUE(PumpUntil([&] { return !window_->tweaksView()->list().IsDisabled(); }));
}

// The settings and support panels cover the views' area over the view that
// was showing, fade to 224, and OK or Cancel fades them out back to that view.
TEST_F(MainFrameTest, ThePanelsOpenOverTheViewThatWasShowingAndCloseBackToIt)
{
    Open();
    constexpr int kCloseBox = 0;
    const struct {
        int before;  // 0: the tuning view
        int panel;
        int close;
        const wchar_t* view;
        const wchar_t* name;
        const wchar_t* title;
        const wchar_t* topic;
        std::vector<int> buttons;
    } cases[] = {
        {0, 5002, 5008, L"tuning", L"settings", L"Settings", L"ID_SETTINGS", {5008, 5010}},
        {5016, 5003, 5010, L"backups", L"support", L"Support", L"ID_SUPPORT", {5008, 5010}},
        {5025, 5002, 5010, L"profiles", L"settings", L"Settings", L"ID_SETTINGS", {5008, 5010}},
        {5035, 5003, 5008, L"tweaksets", L"support", L"Support", L"ID_SUPPORT", {5008, 5010}},
        // The close box hides the window: an owned pop-up would stay on the screen.
        {5016, 5002, kCloseBox, L"backups", L"settings", L"Settings", L"ID_SETTINGS", {5008, 5010}},
    };
    auto shown = [](HWND w) { return (GetWindowLongW(w, GWL_STYLE) & WS_VISIBLE) != 0; };
    RECT views{};
    GetWindowRect(window_->tweaksView()->hwnd(), &views);  // the views' area
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.panel << " over " << c.before);
        if (c.before != 0) {
            Command(c.before);
        }
        const std::wstring titleBefore = window_->State().title;
        Command(c.panel);
        ASSERT_TRUE(PumpUntil([&] { return window_->State().panelOpacity == 224; })) << GUI::ToJson(window_->State());
        GUI::WindowState state = window_->State();
        EXPECT_EQ(state.panel, c.name);
        EXPECT_EQ(state.title, c.title);
        EXPECT_EQ(state.helpTopic, c.topic);
        std::vector<int> ids;
        for (const auto& b : state.buttons) {
            ids.push_back(b.id);
        }
        EXPECT_EQ(ids, c.buttons);
        GUI::FadingPanel* panel = c.panel == 5002 ? static_cast<GUI::FadingPanel*>(window_->settingsPanel())
                                                  : static_cast<GUI::FadingPanel*>(window_->supportPanel());
        RECT covered{};
        GetWindowRect(panel->hwnd(), &covered);
        EXPECT_TRUE(EqualRect(&covered, &views)) << "over the views' area, the action bar in sight";
        const HWND beneath = c.before == 5016   ? window_->backupsView()->hwnd()
                             : c.before == 5025 ? window_->profilesView()->hwnd()
                             : c.before == 5035 ? window_->tweakSetsView()->hwnd()
                                                : window_->sectionWindows().at(0)->hwnd();
        EXPECT_TRUE(shown(beneath)) << "the view stays beneath the translucent panel";

        if (c.close == kCloseBox) {
            SendMessageW(W(), WM_CLOSE, 0, 0);
            EXPECT_FALSE(shown(panel->hwnd())) << "hidden at once";
        } else {
            Command(c.close);
        }
        ASSERT_TRUE(PumpUntil([&] { return !shown(panel->hwnd()); })) << "faded out";
        state = window_->State();
        EXPECT_EQ(state.view, c.view);
        EXPECT_EQ(state.title, titleBefore);
        EXPECT_EQ(state.panel, L"");
        EXPECT_TRUE(shown(beneath));
        Flush();
        EXPECT_EQ(window_->State().view, c.view) << "the panel's own 5000 does not take the view away";
    }
    EXPECT_TRUE(reports_.empty());
}

// OK stores the boxes through the settings library, Cancel leaves them; with
// "Create backup registry" off a tune-up changes the registry and keeps no
// backup point.
TEST_F(MainFrameTest, TheSettingsPanelStoresOnOkAndATuneUpWithBackupOffWritesNoJournal)
{
    for (const wchar_t* name :
         {L"EnableBackup", L"ShowAtDesktop", L"AnalyseAtLaunch", L"EnableStartUpGuard", L"EnableBrowserGuard"}) {
        WriteDword(L"Corvane\\Settings", name, wcscmp(name, L"EnableBackup") == 0 ? 1 : 0);
    }
    backupFromSettings_ = true;
    Open();
    Analyse();
    const struct {
        int close;
        int64_t backupAfter;
        int64_t guardAfter;
    } cases[] = {
        {5010, 1, 0},  // Cancel: nothing stored
        {5008, 0, 1},  // OK: every box, the Protection ones too
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.close);
        Command(5002);
        ASSERT_TRUE(PumpUntil([&] { return window_->State().panelOpacity == 224; }));
        GUI::Settings& panel = *window_->settingsPanel();
        ASSERT_TRUE(panel.Box(GUI::SettingsBox::CreateBackup)->state().ticked()) << "read from the stored settings";
        panel.Box(GUI::SettingsBox::CreateBackup)->SetTicked(false);
        panel.Box(GUI::SettingsBox::StartupGuard)->SetTicked(true);
        Command(c.close);
        EXPECT_EQ(Setting(L"EnableBackup"), c.backupAfter);
        EXPECT_EQ(Setting(L"EnableStartUpGuard"), c.guardAfter);
        ASSERT_TRUE(PumpUntil([&] { return !IsWindowVisible(panel.hwnd()); }));
        EXPECT_EQ(window_->State().view, L"tuning");
    }
    EXPECT_TRUE(reports_.empty()) << "everything was saved";

    Command(5015);
    ASSERT_TRUE(Idle());
    ASSERT_TRUE(PumpUntil([&] { return prompts_.restarts == 1; }));
    EXPECT_EQ(Dword(L"plain"), 1) << "the tune-up ran";
    EXPECT_TRUE(BackupPoints().empty()) << "no journal with backup off";
}

// The strip lies below the action bar (the window 37 taller) and shows the
// display adapter Wine reports, each fact for 100 ticks of its timer.
TEST_F(MainFrameTest, TheStripBelowTheActionBarNamesWinesDisplayAdapter)
{
    std::wstring adapter;
    DISPLAY_DEVICEW device{};
    device.cb = sizeof device;
    for (DWORD i = 0; EnumDisplayDevicesW(nullptr, i, &device, 0); ++i) {
        if (device.StateFlags & DISPLAY_DEVICE_PRIMARY_DEVICE) {
            adapter = device.DeviceString;
        }
    }
    ASSERT_FALSE(adapter.empty()) << "Wine names no primary display adapter";
    probeSummary_ = true;
    Open();
    GUI::SystemInfo::Strip& strip = *window_->strip();
    RECT bar{}, placed{}, client{};
    GetWindowRect(window_->actions()->hwnd(), &bar);
    GetWindowRect(strip.hwnd(), &placed);
    GetClientRect(W(), &client);
    EXPECT_EQ(placed.top, bar.bottom);
    EXPECT_EQ(placed.right - placed.left, bar.right - bar.left);
    EXPECT_EQ(placed.bottom - placed.top, strip.scaler().Scale(37));
    POINT bottom{0, client.bottom};
    ClientToScreen(W(), &bottom);
    EXPECT_EQ(placed.bottom, bottom.y) << "the window grew by the strip";

    EXPECT_EQ(window_->State().strip.rfind(L"System Summary: ", 0), 0u) << GUI::ToJson(window_->State());
    const size_t lines = strip.summary().Lines().size();
    std::wstring seen;
    for (size_t line = 0; line < lines && seen.rfind(L"Video:", 0) != 0; ++line) {
        for (int tick = 0; tick < GUI::SystemSummary::kTicksPerLine; ++tick) {
            SendMessageW(strip.hwnd(), WM_TIMER, GUI::SystemInfo::Strip::kTimer, 0);
        }
        seen = window_->State().strip;
    }
    EXPECT_EQ(seen, L"Video: " + adapter);
}

// The startup programs view without the guard: the list is gathered on a
// worker while the view says so, then unticking an entry takes it off the Run
// key with its backup and ticking puts it back; the inspection hook shows
// each state.
TEST_F(MainFrameTest, TheStartupViewGathersItsListOnAWorkerAndUntickingKeepsABackup)
{
    const RunValue value(L"CorvaneViewTest" + std::to_wstring(GetCurrentProcessId()));
    value.Add();
    Open();
    Command(5036);
    GUI::WindowState state = window_->State();
    EXPECT_EQ(state.view, L"startup");
    EXPECT_TRUE(state.startupWorking) << "the worker's answer is still queued";
    EXPECT_TRUE(state.startup.empty());
    ASSERT_TRUE(PumpUntil([&] { return !window_->State().startupWorking; }, 60)) << "the list never came";

    GUI::StartupView& view = *window_->startupView();
    auto entry = [&]() -> std::optional<GUI::StartupEntryState> {
        for (const GUI::StartupEntryState& e : window_->State().startup) {
            if (e.name == value.name()) {
                return e;
            }
        }
        return std::nullopt;
    };
    const struct Step {
        const char* what;
        bool present;
        const wchar_t* check;
        bool disabled;
    } steps[] = {
        {"listed, ticked", true, L"on", false},
        {"unticked: off the Run key, its backup kept", false, L"off", true},
        {"ticked again: back", true, L"on", false},
    };
    for (size_t i = 0; i < std::size(steps); ++i) {
        const Step& step = steps[i];
        SCOPED_TRACE(step.what);
        const std::optional<size_t> row = view.Reveal(value.location()) ? view.model()->Selected() : std::nullopt;
        ASSERT_TRUE(row.has_value());
        if (i > 0) {
            view.ClickBox(*row);
            EXPECT_EQ(view.message(), L"");
        }
        EXPECT_EQ(value.Exists(), step.present);
        StartUp::Snapshot snapshot(StartUp::SnapshotPlace{PathOf(L"startup")});
        EXPECT_EQ(snapshot.Load(), 0u);
        EXPECT_EQ(snapshot.Records().size(), step.disabled ? 1u : 0u);
        const std::optional<GUI::StartupEntryState> shown = entry();
        ASSERT_TRUE(shown.has_value()) << GUI::ToJson(window_->State());
        EXPECT_EQ(shown->check, step.check);
        EXPECT_EQ(shown->disabled, step.disabled);
        EXPECT_TRUE(shown->selected);
    }
    Command(5007);
    EXPECT_EQ(window_->State().view, L"tuning");
    EXPECT_TRUE(window_->State().startup.empty());
}

}  // namespace
