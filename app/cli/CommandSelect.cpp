// select NAME... and deselect NAME...: selections change as the tweaks
// view's check boxes change them, and Config.xml keeps them. A name stands
// for every tweak of that name (sets may list a tweak twice); one unknown
// name changes nothing.
#include <map>
#include <set>
#include <string>
#include <vector>

#include "app/cli/Catalogue.h"

namespace Cli {

int RunSelect(const Context& context, bool select)
{
    Platform::UniqueNamedLock lock;
    if (const int failed = TakeLock(context, &lock)) {
        return failed;
    }
    Tweaker::Manager manager;
    if (const int failed = LoadCatalogue(context, &manager)) {
        return failed;
    }

    std::map<std::wstring, std::vector<Tweaker::SimpleTweak*>> byName;
    for (const std::wstring& name : context.invocation.names) {
        byName[name];
    }
    for (const auto& category : manager.Categories()) {
        ForEachTweak(*category, [&](Tweaker::SimpleTweak& tweak, const std::vector<std::wstring>&) {
            const auto found = byName.find(tweak.GetName());
            if (found != byName.end()) {
                found->second.push_back(&tweak);
            }
        });
    }
    bool unknown = false;
    for (const std::wstring& name : context.invocation.names) {
        if (byName[name].empty() && !unknown) {
            context.out.Error(L"no tweak named " + Quoted(name) + L" in the catalogue; nothing was changed");
            unknown = true;
        } else if (byName[name].empty()) {
            context.out.Error(L"no tweak named " + Quoted(name) + L" in the catalogue");
        }
    }
    if (unknown) {
        return Exit::BadUsage;
    }

    for (const auto& [name, tweaks] : byName) {
        for (Tweaker::SimpleTweak* tweak : tweaks) {
            tweak->SetSelected(select);
            manager.UpdateConfigRecord(*tweak);
        }
    }
    // One write for all the names: either every change is kept or none.
    if (const uint32_t status = manager.SaveConfiguration()) {
        context.out.Error(L"cannot save the selections to " + manager.ConfigurationPath() + L": " + ErrorText(status));
        return Exit::Failed;
    }
    std::set<std::wstring> told;
    for (const std::wstring& name : context.invocation.names) {
        if (!told.insert(name).second) {
            continue;
        }
        const size_t count = byName[name].size();
        context.out.Line(std::wstring(select ? L"Selected: " : L"Deselected: ") + name +
                         (count > 1 ? L" (" + std::to_wstring(count) + L" tweaks of that name)" : L""));
    }
    return Exit::Done;
}

}  // namespace Cli
