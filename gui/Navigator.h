#pragma once
// The main window's navigation without the window: which view a command
// shows, the action-bar buttons and which of them are enabled, the help
// topic, the selected main-menu item, the title strip, the current view's
// leave guard and command hook, and the run buttons. What needs the engine,
// the prompts or the other libraries is asked of the host; the window draws
// what the navigator holds.
#include <cstdint>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "gui/Commands.h"
#include "gui/Section.h"

namespace GUI {

enum class ViewId { Tuning, Tweaks, TweakInfo, Backups, Profiles, ProfileInfo, TweakSets, Settings, Support, Startup };

// Called before another view replaces the current one; every guard lets go.
enum class LeaveGuard { None, Analysing, Tuning, Tweaks, TweakInfo };
// Handles commands before the dispatcher while its view is shown.
enum class CommandHook { None, Analysis, TuneUp, TweakInfo, Panel };

// The action-bar buttons, in the order the bar is built.
extern const int kActionButtons[20];

// The window's caption: "Corvane 2.3 (519 tweaks)".
std::wstring WindowCaption(int tweakCount);

// What the window does after a command the navigator handled.
enum class Effect { None, Quit, OpenHelp };

class INavigationHost {
public:
    virtual int SectionCount() = 0;
    virtual SectionMode FirstSectionMode() = 0;
    // Why the catalogue has no categories (the load problems as text).
    virtual std::wstring LoadProblemText() = 0;
    virtual int CountSelectedNotApplied() = 0;
    virtual bool IsRunning() = 0;
    // 0 when the run started, else the reason it did not as an error code.
    virtual uint32_t StartAnalysis() = 0;
    virtual uint32_t StartTuneUp() = 0;
    virtual void PauseRun() = 0;
    virtual void ResumeRun() = 0;
    virtual void StopRun() = 0;
    virtual void RecomputeAll() = 0;
    // Prompts on the user-interface thread; Ask is true for OK.
    virtual bool Ask(const std::wstring& caption, const std::wstring& text) = 0;
    virtual void Tell(const std::wstring& caption, const std::wstring& text) = 0;
    // The tweaks view: analyses the category (waiting for it) and fills the
    // rows; returns the category's name for the title strip.
    virtual std::wstring OpenTweaks(intptr_t category) = 0;
    // The details: fills them for the tweak; true when they edit values
    // (OK and Cancel), false for just "Back to tweaks list".
    virtual bool OpenDetails(intptr_t tweak) = 0;
    // OK in the details: true when the values were taken.
    virtual bool ApplyDetails() = 0;
    // Restore, delete points, set/delete/save profiles, choose the user's
    // tweak file: the operations other libraries own.
    virtual void Perform(int command) = 0;
    virtual void ShowHelpTopic(const std::wstring& topic) = 0;

protected:
    ~INavigationHost() = default;
};

class Navigator {
public:
    explicit Navigator(INavigationHost& host);

    // Runs one command (the hook first); returns what the window does next.
    Effect Dispatch(int command, intptr_t parameter);

    ViewId View() const { return view_; }
    // The view shown under the settings or support panel (closing the panel
    // returns to it as it was); View() when no panel is shown.
    ViewId Beneath() const { return beneath_ ? beneath_->view : view_; }
    // The shown buttons in ascending order; 5003 asks for none.
    const std::vector<int>& Buttons() const { return buttons_; }
    bool IsEnabled(int button) const { return disabled_.count(button) == 0; }
    const std::wstring& HelpTopic() const { return helpTopic_; }
    int MenuSelection() const { return menu_; }
    const std::wstring& Title() const { return title_; }
    LeaveGuard Guard() const { return guard_; }
    CommandHook Hook() const { return hook_; }

    // Refusal texts.
    static const wchar_t* const kBusyCaption;
    static const wchar_t* const kBusyText;

private:
    // Everything a view sets, kept while a panel covers it.
    struct Shown {
        ViewId view;
        std::vector<int> buttons;
        std::set<int> disabled;
        std::wstring helpTopic;
        int menu;
        std::wstring title;
        LeaveGuard guard;
        CommandHook hook;
    };

    bool HookHandles(int command);
    void ClosePanel();
    bool Leave();
    void Show(ViewId view, const std::wstring* title = nullptr);
    void SetButtons(std::vector<int> buttons);
    void BeginAnalysis();
    void BeginTuneUp();
    bool RefuseWhileRunning();
    bool NoCatalogue();

    INavigationHost& host_;
    ViewId view_ = ViewId::Tuning;
    std::vector<int> buttons_;
    std::set<int> disabled_;
    std::wstring helpTopic_;
    int menu_ = Command::TuningMenu;
    std::wstring title_ = L"Tuning";
    LeaveGuard guard_ = LeaveGuard::None;
    CommandHook hook_ = CommandHook::None;
    std::optional<Shown> beneath_;  // set while a panel is shown
};

}  // namespace GUI
