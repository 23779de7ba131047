// libFuzzer entry point for the startup snapshot, a file in the user's own
// folder that the program may read elevated. Whatever it holds, reading it
// must not crash, and restoring its entries against a catalogue that watches
// nothing must write nothing. Each entry's own restore then runs over an
// empty in-memory machine, to drive the element readers (deep keys, odd
// types, Base64 junk) through to the registry and disk.
//   build/fuzz/tests/startup_snapshot_fuzz -max_total_time=60
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "core/platform/Errors.h"
#include "core/platform/FileIO.h"
#include "core/platform/portable/PortablePlatform.h"
#include "core/system/Caches.h"
#include "startup/Snapshot.h"

namespace {

bool RegistryIsEmpty()
{
    Platform::KeyInfo info;
    for (Platform::KeyHandle root : {Platform::CurrentUser(), Platform::LocalMachine(), Platform::ClassesRoot()}) {
        if (Platform::Current().Registry().QueryKeyInfo(root, &info) != Err::Success || info.subkeys != 0 ||
            info.values != 0) {
            return false;
        }
    }
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    Platform::Portable::PortablePlatform os;
    Platform::IPlatform* previous = Platform::Install(&os);
    Sys::ResetSystemCachesForTesting();
    const StartUp::SnapshotPlace place{L"C:\\snapshot"};
    if (Platform::Current().Files().CreateDirectory(place.folder) != Err::Success ||
        Platform::WriteWholeFile(place.folder + L"\\snapshot.xml",
                                 std::string_view(reinterpret_cast<const char*>(data), size)) != Err::Success) {
        std::abort();
    }
    StartUp::Snapshot snapshot(place);
    if (snapshot.Load() == Err::Success) {
        const StartUp::CategoryList nothingWatched;
        for (size_t i = 0; i < snapshot.Records().size(); ++i) {
            const StartUp::Snapshot::Record& record = snapshot.Records()[i];
            if (record.entry) {
                (void)record.entry->Location();
                (void)record.entry->Name();
            }
            std::wstring message;
            const uint32_t status = snapshot.Restore(nothingWatched, i, &message);
            if (status == Err::Success || !RegistryIsEmpty()) {
                std::abort();  // a restore wrote where nothing is watched
            }
        }
        for (const StartUp::Snapshot::Record& record : snapshot.Records()) {
            if (record.entry) {
                (void)record.entry->Restore(place);
            }
        }
    }
    Sys::ResetSystemCachesForTesting();
    Platform::Install(previous);
    return 0;
}
