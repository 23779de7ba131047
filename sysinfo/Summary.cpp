#include "sysinfo/Summary.h"

#include "core/system/OsVersion.h"
#include "sysinfo/Probes.h"

namespace GUI::SystemInfo {

uint32_t OS::Probe()
{
    text_ = Sys::GetOsDisplayName();
    return 0;
}

uint32_t Computer::Probe()
{
    const std::optional<uint64_t> bytes = ::SysInfo::ProbeMemory();
    text_ = bytes ? ::SysInfo::FormatMemory(*bytes) : std::wstring();
    return 0;
}

uint32_t Video::Probe()
{
    text_ = ::SysInfo::ProbeDisplayAdapter();
    return 0;
}

uint32_t HDD::Probe()
{
    text_ = ::SysInfo::FormatDisks(::SysInfo::ProbeDisks());
    return 0;
}

std::vector<RTI::Reference<IItem>> ProbedItems()
{
    std::vector<RTI::Reference<IItem>> items = {RTI::Reference<IItem>(new OS), RTI::Reference<IItem>(new Computer),
                                                RTI::Reference<IItem>(new Video), RTI::Reference<IItem>(new HDD)};
    std::vector<RTI::Reference<IItem>> kept;
    for (auto& item : items) {
        (void)item->Probe();
        if (item->HasText()) {
            kept.push_back(item);
        }
    }
    return kept;
}

}  // namespace GUI::SystemInfo

namespace SysInfo {

Summary ProbeSummary()
{
    Summary summary;
    summary.osCode = Sys::GetOsVersionCode();
    summary.osName = Sys::GetOsDisplayName();
    summary.memoryBytes = ProbeMemory();
    summary.displayAdapter = ProbeDisplayAdapter();
    summary.disks = ProbeDisks();
    return summary;
}

}  // namespace SysInfo
