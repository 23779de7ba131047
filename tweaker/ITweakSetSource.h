#pragma once
// Where the catalogue's tweak sets come from: the built-in set and the sets
// "Silver" and "Gold". The program reads them from its enciphered resources;
// an organisation's own catalogue file or a test can stand in.
#include <cstdint>
#include <string>
#include <string_view>

namespace Tweaker {

inline constexpr std::wstring_view kBuiltInSet = L"Free";
inline constexpr std::wstring_view kSilverSet = L"Silver";
inline constexpr std::wstring_view kGoldSet = L"Gold";

class ITweakSetSource {
public:
    // The set's tweak file text in UTF-8. 2 when the set is not present; any
    // other error when it is present but cannot be read. `where` names the
    // set for messages (a resource or a file path).
    [[nodiscard]] virtual uint32_t ReadSet(std::wstring_view setName, std::string* utf8, std::wstring* where) = 0;

protected:
    ~ITweakSetSource() = default;
};

// The sets enciphered in the program: "TWEAKSDB" (the built-in set),
// "SILVER" and "GOLD".
ITweakSetSource& ResourceTweakSets();

}  // namespace Tweaker
