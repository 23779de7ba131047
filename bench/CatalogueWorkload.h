#pragma once
// A synthetic catalogue for the loading benchmarks: `tweaks` tweaks spread
// over the eight categories, each with a description, a longer description
// and three registry items (one of them a switch with two choices), split
// into a built-in set (70%) and the sets "Silver" and "Gold" (15% each), the
// built-in set enciphered as the program stores it.
#include <cstdio>
#include <map>
#include <string>

#include "core/resources/CatalogueFormat.h"
#include "tweaker/ITweakSetSource.h"

namespace Bench {

inline const char* const kCategoryNames[8] = {"Windows/System",   "Filesystem",    "Network/Internet",
                                              "Configuration/Appearance", "Security Leaks", "Privacy Leaks",
                                              "Applications Tuning", "CPU/Memory/Hardware"};

inline std::string MakeTweakSet(int first, int count)
{
    std::string categories[8];
    for (int i = first; i < first + count; ++i) {
        char tweak[1400];
        std::snprintf(tweak, sizeof tweak,
                      "    <Tweak n=\"Synthetic tweak %05d\" i=\"AQUA.MENU.WINDOWSSYS\" ver=\"WIN_XP\" enabled=\"%d\">\n"
                      "      <d>Turns synthetic setting %d on for every user of the machine.</d>\n"
                      "      <dex>Changes the value under the bench key. Restore the backup point of the run, or "
                      "choose the other setting, to undo it.</dex>\n"
                      "      <Key parent=\"HKCU\" path=\"Software\\CorvaneBench\\Tweak%05d\" action=\"VALUE_SET\" "
                      "valuename=\"Dword\" valuetype=\"REG_DWORD\" valueval=\"0x%08x\"/>\n"
                      "      <Key parent=\"HKCU\" path=\"Software\\CorvaneBench\\Tweak%05d\" action=\"VALUE_SET\" "
                      "valuename=\"Text\" valuetype=\"REG_SZ\" valueval=\"value %d\"/>\n"
                      "      <Key parent=\"HKLM\" path=\"SOFTWARE\\Policies\\CorvaneBench\" action=\"VALUE_SET\" "
                      "valuename=\"Switch%05d\" valuetype=\"REG_DWORD\" valueval=\"1\" editable=\"set\">\n"
                      "        <values><value val=\"1\" descr=\"On\" main=\"1\"/><value action=\"VALUE_DELETE\" "
                      "descr=\"Not configured\"/></values>\n"
                      "      </Key>\n"
                      "    </Tweak>\n",
                      i, i % 3 == 0, i, i, i, i, i, i);
        categories[i % 8] += tweak;
    }
    std::string text = "<Tweaks>\n";
    for (int c = 0; c < 8; ++c) {
        text += std::string("  <Category n=\"") + kCategoryNames[c] + "\" i=\"AQUA.MENU.WINDOWSSYS\">\n"
                "    <d>Synthetic category.</d>\n" + categories[c] + "  </Category>\n";
    }
    return text + "</Tweaks>\n";
}

// The three sets; the built-in one is deciphered on every read, as the
// program deciphers its resource.
class SyntheticSets final : public Tweaker::ITweakSetSource {
public:
    explicit SyntheticSets(int tweaks)
    {
        const int builtIn = tweaks * 7 / 10;
        const int silver = (tweaks - builtIn) / 2;
        builtInText_ = MakeTweakSet(0, builtIn);
        (void)Resources::EncipherCatalogue(builtInText_, enciphered_);
        sets_[L"Silver"] = MakeTweakSet(builtIn, silver);
        sets_[L"Gold"] = MakeTweakSet(builtIn + silver, tweaks - builtIn - silver);
    }
    uint32_t ReadSet(std::wstring_view setName, std::string* utf8, std::wstring* where) override
    {
        *where = std::wstring(setName);
        if (setName == Tweaker::kBuiltInSet) {
            return Resources::DecipherCatalogue(enciphered_, *utf8);
        }
        const auto found = sets_.find(std::wstring(setName));
        if (found == sets_.end()) {
            return 2;
        }
        *utf8 = found->second;
        return 0;
    }
    const std::string& BuiltInText() const { return builtInText_; }

private:
    std::string builtInText_;
    std::string enciphered_;
    std::map<std::wstring, std::string> sets_;
};

}  // namespace Bench
