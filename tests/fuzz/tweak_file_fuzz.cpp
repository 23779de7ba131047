// libFuzzer entry point for the tweak engine's loader: the user's own tweak
// file is merged at every start, so no file may crash the program. Each input
// is loaded as a tweak file, and the categories it gives are counted,
// collected and analysed over an empty portable platform.
//   build/fuzz/tests/tweak_file_fuzz -max_total_time=60
#include <cstdint>
#include <string_view>
#include <vector>

#include "core/platform/Platform.h"
#include "core/platform/portable/PortablePlatform.h"
#include "core/xml/XmlDocument.h"
#include "tweaker/Manager.h"
#include "tweaker/RunControl.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    XmlDocument document;
    if (document.LoadFromUtf8(std::string_view(reinterpret_cast<const char*>(data), size)) != 0) {
        return 0;
    }
    Platform::Portable::PortablePlatform platform;
    Platform::IPlatform* previous = Platform::Install(&platform);
    Tweaker::SetPacing(Tweaker::Pacing::Off);
    {
        Tweaker::Manager manager;
        manager.RegisterFactories();
        manager.SetSystemCodeOverride(14);
        std::vector<RTI::Reference<Tweaker::Group>> categories;
        if (manager.LoadCategories(document, &categories)) {
            Tweaker::TweakValuesMap values;
            for (const auto& category : categories) {
                (void)category->CountNodes();
                category->CollectTweakValues(values);
                (void)category->Analyse(nullptr, nullptr, nullptr);
                (void)category->FormatStatistics();
            }
        }
    }
    Platform::Install(previous);
    return 0;
}
