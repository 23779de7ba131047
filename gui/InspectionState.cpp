#include "gui/InspectionState.h"

#include <cstdio>

#include "core/text/Utf.h"

namespace GUI {

namespace {

class Json {
public:
    void Key(const char* name)
    {
        Separate();
        out_ += '"';
        out_ += name;
        out_ += "\":";
        first_ = true;  // the value follows without a comma
    }
    void String(const std::wstring& text)
    {
        Separate();
        std::string utf8;
        if (Text::WideToUtf8(text, &utf8) != 0) {
            utf8.assign(1, '?');  // an unpaired surrogate; the hook only reads
        }
        out_ += '"';
        for (const char c : utf8) {
            switch (c) {
                case '"':
                    out_ += "\\\"";
                    break;
                case '\\':
                    out_ += "\\\\";
                    break;
                case '\n':
                    out_ += "\\n";
                    break;
                case '\r':
                    out_ += "\\r";
                    break;
                case '\t':
                    out_ += "\\t";
                    break;
                default:
                    if (static_cast<unsigned char>(c) < 0x20) {
                        char escaped[8];
                        std::snprintf(escaped, sizeof escaped, "\\u%04x", static_cast<unsigned char>(c));
                        out_ += escaped;
                    } else {
                        out_ += c;
                    }
            }
        }
        out_ += '"';
    }
    void Number(long long n)
    {
        Separate();
        out_ += std::to_string(n);
    }
    void Bool(bool b)
    {
        Separate();
        out_ += b ? "true" : "false";
    }
    void Open(char bracket)
    {
        Separate();
        out_ += bracket;
        first_ = true;
    }
    void Close(char bracket)
    {
        out_ += bracket;
        first_ = false;
    }
    void Strings(const char* name, const std::vector<std::wstring>& texts)
    {
        Key(name);
        Open('[');
        for (const std::wstring& t : texts) {
            String(t);
        }
        Close(']');
    }
    // [x,y], or null when the part cannot be clicked now.
    void Point(const char* name, const ClickPoint& p)
    {
        Key(name);
        if (!p.reachable) {
            Separate();
            out_ += "null";
            return;
        }
        Open('[');
        Number(p.x);
        Number(p.y);
        Close(']');
    }
    std::string Take() { return std::move(out_); }

private:
    void Separate()
    {
        if (!first_) {
            out_ += ',';
        }
        first_ = false;
    }
    std::string out_;
    bool first_ = true;
};

}  // namespace

std::string ToJson(const WindowState& s)
{
    Json j;
    j.Open('{');
    j.Key("view");
    j.String(s.view);
    j.Key("caption");
    j.String(s.caption);
    j.Key("title");
    j.String(s.title);
    j.Key("helpTopic");
    j.String(s.helpTopic);
    j.Key("menu");
    j.Number(s.menu);
    j.Key("visible");
    j.Bool(s.visible);
    j.Key("running");
    j.Bool(s.running);
    j.Key("analysed");
    j.Bool(s.analysed);
    j.Key("buttons");
    j.Open('[');
    for (const ButtonState& b : s.buttons) {
        j.Open('{');
        j.Key("id");
        j.Number(b.id);
        j.Key("caption");
        j.String(b.caption);
        j.Key("enabled");
        j.Bool(b.enabled);
        j.Close('}');
    }
    j.Close(']');
    j.Key("sections");
    j.Open('[');
    for (const SectionState& c : s.sections) {
        j.Open('{');
        j.Key("name");
        j.String(c.name);
        j.Key("mode");
        j.Number(c.mode);
        j.Key("status");
        j.String(c.status);
        j.Key("summary");
        j.String(c.summary);
        j.Key("litCells");
        j.Number(c.litCells);
        j.Key("cells");
        j.String(c.cells);
        j.Key("grey");
        j.Bool(c.grey);
        j.Point("customize", c.customize);
        j.Close('}');
    }
    j.Close(']');
    j.Key("filter");
    j.String(s.filter);
    j.Key("rows");
    j.Open('[');
    for (size_t i = 0; i < s.rows.size(); ++i) {
        const RowState& r = s.rows[i];
        const RowPoints points = i < s.rowPoints.size() ? s.rowPoints[i] : RowPoints{};
        j.Open('{');
        j.Key("name");
        j.String(r.name);
        j.Key("selected");
        j.Bool(r.selected);
        j.Key("twoState");
        j.Bool(r.twoState);
        j.Key("switchOn");
        j.Bool(r.switchOn);
        j.Key("applied");
        j.Bool(r.applied);
        j.Key("noAccess");
        j.Bool(r.noAccess);
        j.Point("selectBox", points.selectBox);
        j.Point("switchBox", points.switchBox);
        j.Close('}');
    }
    j.Close(']');
    j.Key("details");
    j.String(s.details);
    j.Strings("detailLines", s.detailLines);
    j.Key("editors");
    j.Open('[');
    for (const EditorState& e : s.editors) {
        j.Open('{');
        j.Key("range");
        j.Bool(e.range);
        j.Key("text");
        j.String(e.text);
        j.Strings("presets", e.presets);
        j.Key("ticked");
        j.Number(e.ticked);
        j.Close('}');
    }
    j.Close(']');
    j.Key("preview");
    j.Open('[');
    for (const PreviewState& p : s.preview) {
        j.Open('{');
        j.Key("category");
        j.String(p.category);
        j.Key("name");
        j.String(p.name);
        j.Strings("lines", p.lines);
        j.Close('}');
    }
    j.Close(']');
    j.Key("panel");
    j.String(s.panel);
    j.Key("panelOpacity");
    j.Number(s.panelOpacity);
    j.Key("strip");
    j.String(s.strip);
    j.Key("progress");
    j.String(s.progress);
    j.Strings("prompts", s.prompts);
    j.Close('}');
    return j.Take();
}

}  // namespace GUI
