// info [--json]: the system summary the window shows (system, memory,
// display adapter, disks with model and serial number), for support requests
// and inventories. It only reads, so it takes no lock.
#include <string>

#include "app/cli/Context.h"
#include "core/text/JsonWriter.h"
#include "sysinfo/Probes.h"
#include "sysinfo/Summary.h"

namespace Cli {

using Text::JsonWriter;

int RunInfo(const Context& context)
{
    const SysInfo::Summary summary = SysInfo::ProbeSummary();
    const std::wstring memory = summary.memoryBytes ? SysInfo::FormatMemory(*summary.memoryBytes) : std::wstring();
    if (context.invocation.json) {
        JsonWriter json;
        json.BeginObject();
        json.Key(L"system").BeginObject();
        json.Key(L"code").Number(summary.osCode);
        json.Key(L"name").String(summary.osName);
        json.EndObject();
        if (summary.memoryBytes) {
            json.Key(L"memory").BeginObject();
            json.Key(L"bytes").Number(static_cast<int64_t>(*summary.memoryBytes));
            json.Key(L"text").String(memory);
            json.EndObject();
        }
        json.Key(L"displayAdapter").String(summary.displayAdapter);
        json.Key(L"disks").BeginArray();
        for (const SysInfo::DiskIdentity& disk : summary.disks) {
            json.BeginObject();
            json.Key(L"model").String(disk.model);
            json.Key(L"serial").String(disk.serial);
            json.EndObject();
        }
        json.EndArray();
        json.EndObject();
        context.out.Text(json.Take());
        return Exit::Done;
    }
    const auto line = [&](const wchar_t* label, const std::wstring& text) {
        context.out.Line(std::wstring(label) + (text.empty() ? L"unknown" : text));
    };
    line(L"System:          ", summary.osName + L" (code " + std::to_wstring(summary.osCode) + L")");
    line(L"Memory:          ", memory);
    line(L"Display adapter: ", summary.displayAdapter);
    if (summary.disks.empty()) {
        line(L"Disks:           ", L"none could be asked (no disk answered)");
    }
    for (const SysInfo::DiskIdentity& disk : summary.disks) {
        line(L"Disk:            ", disk.serial.empty() ? disk.model : disk.model + L", S/N " + disk.serial);
    }
    return Exit::Done;
}

}  // namespace Cli
