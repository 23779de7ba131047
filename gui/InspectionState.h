#pragma once
// What the main window's inspection hook answers, as plain data, and its
// JSON text. The window fills a WindowState from what it shows; tests read
// the JSON through WM_COPYDATA.
#include <string>
#include <vector>

namespace GUI {

// A point in the main window's client area where a click reaches a part, so
// that a test driver in another process can click it as a person would.
struct ClickPoint {
    int x = 0;
    int y = 0;
    bool reachable = false;  // the part is shown and in sight
    bool operator==(const ClickPoint&) const = default;
};

struct ButtonState {
    int id = 0;
    std::wstring caption;
    bool enabled = true;
};

struct SectionState {
    std::wstring name;
    int mode = 0;
    std::wstring status;
    std::wstring summary;
    int litCells = 0;
    std::wstring cells;  // one letter a cell: G grey, g green, y yellow, r red
    bool grey = false;
    ClickPoint customize;  // the "Customize..." link while it is active
};

struct RowState {
    std::wstring name;
    bool selected = false;
    bool twoState = false;
    bool switchOn = false;
    bool applied = false;  // the applied fraction is not zero
    bool noAccess = false;
};

// Where the parts of a tweaks view row can be clicked.
struct RowPoints {
    ClickPoint selectBox;  // the "Apply" box
    ClickPoint switchBox;  // two-state tweaks: the switch
};

struct EditorState {
    bool range = false;
    std::wstring text;
    std::vector<std::wstring> presets;
    int ticked = -1;
};

struct PreviewState {
    std::wstring category;
    std::wstring name;
    std::vector<std::wstring> lines;
};

// A row of the startup programs view.
struct StartupEntryState {
    std::wstring name;
    int depth = 0;
    std::wstring check;     // "on", "off" or "mixed"
    bool greyed = false;    // read-only: shown, never changed
    bool disabled = false;  // taken off by Corvane, its backup kept
    bool selected = false;
};

struct WindowState {
    std::wstring view;
    std::wstring caption;  // the window's own text
    std::wstring title;    // the title strip
    std::wstring helpTopic;
    int menu = 0;
    bool visible = false;
    bool running = false;
    bool analysed = false;  // every section shows the end of a whole analysis
    std::vector<ButtonState> buttons;
    std::vector<SectionState> sections;
    std::wstring filter;
    std::vector<RowState> rows;
    std::vector<RowPoints> rowPoints;  // by the index of `rows`, for the tweaks view's rows
    std::wstring details;
    std::vector<std::wstring> detailLines;
    std::vector<EditorState> editors;
    std::vector<PreviewState> preview;  // the last preview shown
    std::wstring panel;                 // the open panel: "settings", "support" or empty
    int panelOpacity = 0;               // its layered opacity now (224 when fully shown)
    std::wstring strip;                 // the system-information strip's line now ("Video: ...")
    std::wstring progress;              // a running restore's progress in the title strip
    bool guardWatching = false;         // the startup guard has its catalogue and ticks
    bool startupWorking = false;        // the startup view gathers its list
    std::vector<StartupEntryState> startup;
    std::vector<std::wstring> balloons;  // "title|text" of the balloons asked for so far
    std::vector<std::wstring> prompts;   // captions of the prompts shown so far
};

// UTF-8 JSON with the field names of WindowState.
std::string ToJson(const WindowState& state);

}  // namespace GUI
