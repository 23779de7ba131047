#pragma once
// Helpers of the main window's startup programs view and guard: the worker
// that gathers the startup catalogue while the guard has none, and the
// balloons' log that the inspection hook reads.
#include <windows.h>

#include <string>
#include <vector>

#include "core/platform/Handles.h"
#include "core/platform/Platform.h"
#include "gui/StartupGuardSwitch.h"
#include "startup/Catalogue.h"

namespace GUI {

// Builds and enumerates the whole catalogue on a worker (it walks every
// autostart place, the Startup folders and the shell's handlers included),
// then posts `done` to the window. Destroying it waits for the worker.
class StartupCatalogueJob {
public:
    StartupCatalogueJob(HWND window, UINT done)
    {
        thread_.reset(Platform::Current().Threads().StartThread([this, window, done] {
            StartUp::BuildCatalogue(roots_);
            PostMessageW(window, done, 0, 0);
        }));
    }
    // The catalogue, once `done` came (waits for the worker otherwise).
    StartUp::CategoryList Take()
    {
        thread_.reset();
        return std::move(roots_);
    }

private:
    StartUp::CategoryList roots_;
    Platform::UniqueThread thread_;
};

// Keeps what each balloon said and hands it on to the tray.
class BalloonLog final : public IBalloon {
public:
    explicit BalloonLog(IBalloon* tray) : tray_(tray) {}
    void Show(const std::wstring& title, const std::wstring& text) override
    {
        shown_.push_back(title + L"|" + text);
        if (tray_) {
            tray_->Show(title, text);
        }
    }
    const std::vector<std::wstring>& shown() const { return shown_; }

private:
    IBalloon* tray_;
    std::vector<std::wstring> shown_;
};

}  // namespace GUI
