#pragma once
// The startup guard: the catalogue of autostart locations kept loaded while
// the program runs, built on a worker so that the window appears at once,
// and a periodic look for changes. The look only reads: it compares the
// last-write times of the Run and RunOnce keys (both views) and of
// StartupApproved, and the listings of the Startup folders, with the last
// look; a place that changed is enumerated again and the entries that
// appeared there are returned, for the window to show in a tray balloon.
// Nothing is ever removed by the guard itself.
//
//   StartUp::Guard guard;
//   guard.SetEnabled(true);              // the worker builds the catalogue
//   ...every kGuardTickMilliseconds:
//   for (auto& appeared : guard.Tick()) ShowBalloon(appeared.entry->Name());
#include <atomic>
#include <cstdint>
#include <string>
#include <vector>

#include "core/platform/Handles.h"
#include "startup/Catalogue.h"
#include "startup/IEntry.h"
#include "startup/Snapshot.h"

namespace StartUp {

// The window timer of the guard's tick.
inline constexpr uint32_t kGuardTimerId = 12357;
inline constexpr uint32_t kGuardTickMilliseconds = 30000;

// The two guard settings under HKCU\Software\Corvane\Settings. A setting is
// on only when it exists as a REG_DWORD that is not 0. The browser guard is
// a setting only: it is stored and shown, and nothing acts on it.
struct GuardSettings {
    bool startupGuard = false;
    bool browserGuard = false;
};
GuardSettings ReadGuardSettings(std::wstring_view settingsKey = L"Software\\Corvane\\Settings");

class Guard {
public:
    // place: where the snapshot and its Files\ live.
    explicit Guard(SnapshotPlace place = DefaultSnapshotPlaceForGuard());
    ~Guard();
    Guard(const Guard&) = delete;
    Guard& operator=(const Guard&) = delete;

    // The guard's on/off switch. On: makes <snapshot>\Files (its error is
    // returned, the guard still starts: only removing files needs it) and
    // starts the worker that builds and enumerates the catalogue. Off: waits
    // for the worker and empties the catalogue. Switching to the state it is
    // in does nothing.
    [[nodiscard]] Platform::Status SetEnabled(bool enabled);
    bool IsEnabled() const { return enabled_; }
    // True once the worker has built the catalogue.
    bool IsReady() const { return ready_.load(std::memory_order_acquire); }
    // Waits for the worker; 0 when it has ended, 258 when the time ran out.
    Platform::Status WaitUntilReady(uint32_t milliseconds);

    // The catalogue; empty until ready.
    const CategoryList& Catalogue() const;
    const SnapshotPlace& Place() const { return place_; }

    // The look of one tick (on the window's thread): the entries that
    // appeared in places that changed since the last look. Nothing before the
    // catalogue is ready.
    std::vector<ListedEntry> Tick();

    static SnapshotPlace DefaultSnapshotPlaceForGuard();

private:
    struct Watch {
        std::wstring path;  // "Group / Category"
        RTI::Reference<ICategory> category;
        std::vector<uint64_t> fingerprint;
    };
    void Build();
    void TakeFingerprints();
    static std::vector<uint64_t> Fingerprint(const ICategory& category);

    SnapshotPlace place_;
    bool enabled_ = false;
    std::atomic<bool> ready_{false};
    Platform::UniqueThread worker_;
    CategoryList roots_;
    std::vector<Watch> watches_;
};

}  // namespace StartUp
