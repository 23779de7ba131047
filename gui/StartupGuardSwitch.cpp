#include "gui/StartupGuardSwitch.h"

namespace GUI {

BalloonText NewEntriesBalloon(const std::vector<NewEntry>& appeared)
{
    BalloonText balloon;
    if (appeared.empty()) {
        return balloon;
    }
    constexpr size_t kNamed = 3;  // a balloon holds a few lines only
    balloon.title = appeared.size() == 1 ? L"A new program starts with Windows"
                                         : std::to_wstring(appeared.size()) + L" new programs start with Windows";
    if (appeared.size() == 1) {
        balloon.text = L"\"" + appeared.front().name + L"\" (" + appeared.front().category + L")";
    } else {
        for (size_t i = 0; i < appeared.size() && i < kNamed; ++i) {
            balloon.text += (i == 0 ? L"\"" : L", \"") + appeared[i].name + L"\"";
        }
        if (appeared.size() > kNamed) {
            balloon.text += L" and " + std::to_wstring(appeared.size() - kNamed) + L" more";
        }
    }
    balloon.text += L"\nClick here to review the startup programs.";
    return balloon;
}

void StartupGuardSwitch::SetStartupGuard(bool enabled)
{
    lastError_ = guard_.SetEnabled(enabled);
    if (timerSwitch_) {
        timerSwitch_(guard_.IsEnabled());
    }
}

std::vector<StartUp::ListedEntry> StartupGuardSwitch::OnTick()
{
    std::vector<StartUp::ListedEntry> appeared = guard_.Tick();
    std::vector<NewEntry> named;
    for (const StartUp::ListedEntry& listed : appeared) {
        named.push_back({listed.entry->Name(), listed.category});
    }
    const BalloonText balloon = NewEntriesBalloon(named);
    if (!balloon.title.empty()) {
        balloon_.Show(balloon.title, balloon.text);
    }
    return appeared;
}

void StartupGuardSwitch::OnBalloonClicked()
{
    poster_.PostCommand(Command::StartupPrograms, 0);
}

}  // namespace GUI
