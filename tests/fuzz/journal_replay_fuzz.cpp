// libFuzzer entry point for the journal reader's Replay over the portable
// platform, with every journal command registered, built by the fuzz preset
// and run briefly as a test there; for a longer run:
//   cmake --preset fuzz && cmake --build --preset fuzz && build/fuzz/tests/journal_replay_fuzz -max_total_time=60
// The input is a journal after its header and start record. Besides not
// crashing, the report must hold together: damaged ranges lie inside the
// file and in order, and a complete replay reports nothing damaged or failed.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "core/platform/FileIO.h"
#include "core/platform/portable/PortablePlatform.h"
#include "remover/Format.h"
#include "remover/Processor.h"
#include "remover/Reader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    Platform::Portable::PortablePlatform platform;
    Platform::IPlatform* previous = Platform::Install(&platform);
    auto& files = Platform::Current().Files();
    (void)files.CreateDirectory(L"C:\\backup");
    (void)files.CreateDirectory(L"C:\\backup\\Files");
    std::string journal(reinterpret_cast<const char*>(Remover::Format::kProductHeader),
                        Remover::Format::kProductHeaderLength);
    journal.push_back(static_cast<char>(Remover::Format::Record::JournalStart));
    journal.append(reinterpret_cast<const char*>(data), size);
    if (Platform::WriteWholeFile(L"C:\\backup\\1.arch", journal) != 0) {
        std::abort();
    }
    Remover::Processor commands;
    (void)commands.RegisterCommands();
    Remover::Reader reader;
    Remover::ReplayReport report;
    const uint32_t status = reader.Replay(L"C:\\backup\\1.arch", Remover::Format::kProductHeader,
                                          Remover::Format::kProductHeaderLength, commands, nullptr, nullptr, &report);
    uint64_t last = 0;
    for (const Remover::ReplayReport::DamagedRange& range : report.damaged) {
        if (range.begin < last || range.begin >= range.end || range.end > journal.size()) {
            std::abort();
        }
        last = range.end;
    }
    if (report.restored > report.blocks || (status == 0 && !report.Complete())) {
        std::abort();
    }
    Platform::Install(previous);
    return 0;
}
