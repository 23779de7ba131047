#include "gui/InspectionState.h"

#include "core/text/JsonWriter.h"
#include "core/text/Utf.h"

namespace GUI {

namespace {

void Strings(Text::JsonWriter& j, const wchar_t* name, const std::vector<std::wstring>& texts)
{
    j.Key(name).BeginArray();
    for (const std::wstring& t : texts) {
        j.String(t);
    }
    j.EndArray();
}

// [x,y], or null when the part cannot be clicked now.
void Point(Text::JsonWriter& j, const wchar_t* name, const ClickPoint& p)
{
    j.Key(name);
    if (!p.reachable) {
        j.Null();
        return;
    }
    j.BeginArray().Number(p.x).Number(p.y).EndArray();
}

}  // namespace

std::string ToJson(const WindowState& s)
{
    Text::JsonWriter j(Text::JsonWriter::Layout::Compact);
    j.BeginObject();
    j.Key(L"view").String(s.view);
    j.Key(L"caption").String(s.caption);
    j.Key(L"title").String(s.title);
    j.Key(L"helpTopic").String(s.helpTopic);
    j.Key(L"menu").Number(s.menu);
    j.Key(L"visible").Bool(s.visible);
    j.Key(L"running").Bool(s.running);
    j.Key(L"analysed").Bool(s.analysed);
    j.Key(L"buttons").BeginArray();
    for (const ButtonState& b : s.buttons) {
        j.BeginObject();
        j.Key(L"id").Number(b.id);
        j.Key(L"caption").String(b.caption);
        j.Key(L"enabled").Bool(b.enabled);
        j.EndObject();
    }
    j.EndArray();
    j.Key(L"sections").BeginArray();
    for (const SectionState& c : s.sections) {
        j.BeginObject();
        j.Key(L"name").String(c.name);
        j.Key(L"mode").Number(c.mode);
        j.Key(L"status").String(c.status);
        j.Key(L"summary").String(c.summary);
        j.Key(L"litCells").Number(c.litCells);
        j.Key(L"cells").String(c.cells);
        j.Key(L"grey").Bool(c.grey);
        Point(j, L"customize", c.customize);
        j.EndObject();
    }
    j.EndArray();
    j.Key(L"filter").String(s.filter);
    j.Key(L"rows").BeginArray();
    for (size_t i = 0; i < s.rows.size(); ++i) {
        const RowState& r = s.rows[i];
        const RowPoints points = i < s.rowPoints.size() ? s.rowPoints[i] : RowPoints{};
        j.BeginObject();
        j.Key(L"name").String(r.name);
        j.Key(L"selected").Bool(r.selected);
        j.Key(L"twoState").Bool(r.twoState);
        j.Key(L"switchOn").Bool(r.switchOn);
        j.Key(L"applied").Bool(r.applied);
        j.Key(L"noAccess").Bool(r.noAccess);
        Point(j, L"selectBox", points.selectBox);
        Point(j, L"switchBox", points.switchBox);
        j.EndObject();
    }
    j.EndArray();
    j.Key(L"details").String(s.details);
    Strings(j, L"detailLines", s.detailLines);
    j.Key(L"editors").BeginArray();
    for (const EditorState& e : s.editors) {
        j.BeginObject();
        j.Key(L"range").Bool(e.range);
        j.Key(L"text").String(e.text);
        Strings(j, L"presets", e.presets);
        j.Key(L"ticked").Number(e.ticked);
        j.EndObject();
    }
    j.EndArray();
    j.Key(L"preview").BeginArray();
    for (const PreviewState& p : s.preview) {
        j.BeginObject();
        j.Key(L"category").String(p.category);
        j.Key(L"name").String(p.name);
        Strings(j, L"lines", p.lines);
        j.EndObject();
    }
    j.EndArray();
    j.Key(L"panel").String(s.panel);
    j.Key(L"panelOpacity").Number(s.panelOpacity);
    j.Key(L"strip").String(s.strip);
    j.Key(L"progress").String(s.progress);
    j.Key(L"guardWatching").Bool(s.guardWatching);
    j.Key(L"startupWorking").Bool(s.startupWorking);
    j.Key(L"startup").BeginArray();
    for (const StartupEntryState& e : s.startup) {
        j.BeginObject();
        j.Key(L"name").String(e.name);
        j.Key(L"depth").Number(e.depth);
        j.Key(L"check").String(e.check);
        j.Key(L"greyed").Bool(e.greyed);
        j.Key(L"disabled").Bool(e.disabled);
        j.Key(L"selected").Bool(e.selected);
        j.EndObject();
    }
    j.EndArray();
    Strings(j, L"balloons", s.balloons);
    Strings(j, L"prompts", s.prompts);
    j.EndObject();
    std::string utf8;
    // Unpaired surrogates are escaped by the writer: the text always converts.
    (void)Text::WideToUtf8(j.Take(), &utf8);
    return utf8;
}

}  // namespace GUI
