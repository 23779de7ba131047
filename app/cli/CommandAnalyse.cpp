// analyse [--json] and list [--json]: the catalogue with its selections and,
// after an analysis, what is in effect.
#include <functional>
#include <string>
#include <vector>

#include "app/cli/Catalogue.h"
#include "core/system/OsVersion.h"
#include "core/text/JsonWriter.h"
#include "tweaker/Key.h"

namespace Cli {

using Text::JsonWriter;
namespace {

// The status codes of a tweak's registry items, in item order.
std::vector<std::wstring> RegistryStatusCodes(const Tweaker::SimpleTweak& tweak)
{
    std::vector<std::wstring> codes;
    for (const auto& item : tweak.GetItems()) {
        if (const auto* key = dynamic_cast<const Tweaker::Key*>(item.Get())) {
            codes.push_back(key->GetStatusCode());
        }
    }
    return codes;
}

int CountAppliedChildren(const Tweaker::Group& category)
{
    int applied = 0;
    for (const auto& child : category.GetChildren()) {
        applied += child->GetAppliedShare() != 0.0 ? 1 : 0;
    }
    return applied;
}

// Below a category, two spaces more for each nested group.
std::wstring Indent(size_t depth)
{
    return std::wstring(2 + 2 * depth, L' ');
}

// Prints the headers of the nested groups a tweak stands in that the
// previous tweak did not.
class GroupHeaders {
public:
    explicit GroupHeaders(const Output& out) : out_(out) {}
    void Before(const std::vector<std::wstring>& groups)
    {
        size_t same = 0;
        while (same < groups.size() && same < shown_.size() && groups[same] == shown_[same]) {
            ++same;
        }
        for (size_t i = same; i < groups.size(); ++i) {
            out_.Line(Indent(i) + groups[i] + L":");
        }
        shown_ = groups;
    }

private:
    const Output& out_;
    std::vector<std::wstring> shown_;
};

void WriteStrings(JsonWriter& json, std::wstring_view key, const std::vector<std::wstring>& texts)
{
    json.Key(key).BeginArray();
    for (const std::wstring& text : texts) {
        json.String(text);
    }
    json.EndArray();
}

// A category's "tweaks": each with its name, groups, selection and the
// versions it is offered on as written (ver, maxver), then what the command
// adds.
void WriteTweaks(JsonWriter& json, const Tweaker::Group& category,
                 const std::function<void(const Tweaker::SimpleTweak&)>& addFields)
{
    json.Key(L"tweaks").BeginArray();
    ForEachTweak(category, [&](Tweaker::SimpleTweak& tweak, const std::vector<std::wstring>& groups) {
        json.BeginObject();
        json.Key(L"name").String(tweak.GetName());
        WriteStrings(json, L"groups", groups);
        json.Key(L"selected").Bool(tweak.IsSelected());
        json.Key(L"ver").String(tweak.GetVersionText());
        json.Key(L"maxver").String(tweak.GetMaxVersionText());
        addFields(tweak);
        json.EndObject();
    });
    json.EndArray();
}

std::wstring AnalysisJson(Tweaker::Manager& manager)
{
    JsonWriter json;
    json.BeginObject();
    json.Key(L"system").BeginObject();
    json.Key(L"code").Number(Sys::GetOsVersionCode());
    json.Key(L"name").String(Sys::GetOsDisplayName());
    json.EndObject();
    json.Key(L"categories").BeginArray();
    for (const auto& category : manager.Categories()) {
        json.BeginObject();
        json.Key(L"name").String(category->GetName());
        json.Key(L"status").String(CategoryStatusText(*category));
        json.Key(L"statistics").String(category->FormatStatistics());
        json.Key(L"inGeneral").Number(category->CountChildren());
        json.Key(L"applied").Number(CountAppliedChildren(*category));
        WriteTweaks(json, *category, [&](const Tweaker::SimpleTweak& tweak) {
            json.Key(L"inEffect").Bool(IsInEffect(tweak));
            WriteStrings(json, L"registryStatus", RegistryStatusCodes(tweak));
        });
        json.EndObject();
    }
    json.EndArray();
    json.EndObject();
    return json.Take();
}

void WriteAnalysisText(Tweaker::Manager& manager, const Output& out)
{
    out.Line(L"System: " + Sys::GetOsDisplayName());
    for (const auto& category : manager.Categories()) {
        out.Line(L"");
        out.Line(category->GetName() + L": " + CategoryStatusText(*category) + L" (" + category->FormatStatistics() +
                 L")");
        GroupHeaders headers(out);
        ForEachTweak(*category, [&](Tweaker::SimpleTweak& tweak, const std::vector<std::wstring>& groups) {
            headers.Before(groups);
            std::wstring line = Indent(groups.size());
            line += tweak.IsSelected() ? L"[x] " : L"[ ] ";
            line += IsInEffect(tweak) ? L"in effect      " : L"not in effect  ";
            line += tweak.GetName();
            const std::vector<std::wstring> codes = RegistryStatusCodes(tweak);
            if (!codes.empty()) {
                line += L"  (";
                for (size_t i = 0; i < codes.size(); ++i) {
                    line += (i ? L" " : L"") + codes[i];
                }
                line += L")";
            }
            out.Line(line);
        });
    }
}

std::wstring ListJson(Tweaker::Manager& manager)
{
    JsonWriter json;
    json.BeginObject();
    json.Key(L"categories").BeginArray();
    for (const auto& category : manager.Categories()) {
        json.BeginObject();
        json.Key(L"name").String(category->GetName());
        WriteTweaks(json, *category, [&](const Tweaker::SimpleTweak& tweak) {
            json.Key(L"description").String(tweak.GetDescription());
        });
        json.EndObject();
    }
    json.EndArray();
    json.EndObject();
    return json.Take();
}

void WriteListText(Tweaker::Manager& manager, const Output& out)
{
    bool first = true;
    for (const auto& category : manager.Categories()) {
        if (!first) {
            out.Line(L"");
        }
        first = false;
        out.Line(category->GetName() + L":");
        GroupHeaders headers(out);
        ForEachTweak(*category, [&](Tweaker::SimpleTweak& tweak, const std::vector<std::wstring>& groups) {
            headers.Before(groups);
            out.Line(Indent(groups.size()) + (tweak.IsSelected() ? L"[x] " : L"[ ] ") + tweak.GetName());
        });
    }
}

// analyse --check: what a tune-up would apply decides the exit code.
int ReportCheck(const Context& context, Tweaker::Manager& manager)
{
    int pending = 0;
    for (const auto& category : manager.Categories()) {
        pending += category->CountSelectedNotApplied();
    }
    if (context.invocation.json) {
        context.out.Text(AnalysisJson(manager));
    } else if (pending == 0) {
        context.out.Line(L"Every selected tweak is in effect.");
    } else {
        context.out.Line(std::to_wstring(pending) + (pending == 1 ? L" selected tweak is not in effect:"
                                                                  : L" selected tweaks are not in effect:"));
        for (const auto& category : manager.Categories()) {
            ForEachTweak(*category, [&](Tweaker::SimpleTweak& tweak, const std::vector<std::wstring>&) {
                if (tweak.IsSelected() && !IsInEffect(tweak)) {
                    context.out.Line(L"  " + category->GetName() + L": " + tweak.GetName());
                }
            });
        }
    }
    return pending == 0 ? Exit::Done : Exit::NotApplied;
}

}  // namespace

int RunAnalyse(const Context& context)
{
    Tweaker::Manager manager;
    if (const int failed = LoadCatalogue(context, &manager)) {
        return failed;
    }
    if (const int failed = Analyse(context, manager)) {
        return failed;
    }
    if (context.invocation.check) {
        return ReportCheck(context, manager);
    }
    if (context.invocation.json) {
        context.out.Text(AnalysisJson(manager));
    } else {
        if (!manager.Categories().empty()) {
            context.out.Line(L"");  // after the progress
        }
        WriteAnalysisText(manager, context.out);
    }
    return Exit::Done;
}

int RunList(const Context& context)
{
    Tweaker::Manager manager;
    if (const int failed = LoadCatalogue(context, &manager)) {
        return failed;
    }
    if (context.invocation.json) {
        context.out.Text(ListJson(manager));
    } else {
        WriteListText(manager, context.out);
    }
    return Exit::Done;
}

}  // namespace Cli
