#pragma once
// Profiles::Profile: one named set of tweak values, as the profiles list
// shows it. Profiles are shared between the store's lists and whoever shows
// them, and are never changed in place except for `checked`.
#include <string>

#include "core/rti/Dynamic.h"
#include "tweaker/TweakValues.h"

namespace Profiles {

enum class ProfileKind {
    Default,  // the values every tweak had in the tweak files
    BuiltIn,  // from the program's PROFILES resource
    User,     // a .pfs file in the user's profile folder
};

class Profile final : public RTI::Dynamic {
public:
    ProfileKind kind = ProfileKind::User;
    std::wstring name;
    std::wstring filePath;  // the .pfs file; empty for Default and built-in profiles
    std::wstring dateText;  // the file's creation time in local time: "2006.12.07"
    std::wstring timeText;  // "9:05"
    std::wstring shortDescription;
    std::wstring extendedDescription;
    Tweaker::TweakValuesMap values;
    bool checked = false;
    // False for a user file that could not be read or parsed: it has no
    // values, cannot be set, and can still be deleted. `problem` says why.
    bool readable = true;
    std::wstring problem;
};

}  // namespace Profiles
