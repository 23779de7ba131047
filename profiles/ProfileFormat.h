#pragma once
// The two profile formats.
//
// The built-in catalogue (the PROFILES resource):
//   <Profiles>
//     <Profile n="name"><d>short</d><dex>extended</dex>
//       <Tweak name="tweak"><ItmKeyVal n="" action="" curval="" path=""/></Tweak>
//     </Profile>
//   </Profiles>
//
// A user profile (one .pfs file, UTF-8 without a byte-order mark):
//   <Profile name="name"><d>short</d><dex>extended</dex>
//     <Tweak name="tweak" enabled="1"><ItmKeyVal n="" curval="" action="" path=""/></Tweak>
//   </Profile>
//
// `d` and `dex` are written only when not empty, `path` only when not empty.
// On reading, all four ItmKeyVal attributes are taken (absent ones as empty),
// and a Tweak's `enabled` is "1" = selected, any other text = not selected,
// absent = selected (files written before it existed, and the built-in
// profiles). A second Tweak of the same name in one profile is ignored.
#include <string>
#include <vector>

#include "core/rti/Reference.h"
#include "core/xml/XmlDocument.h"
#include "profiles/Profile.h"

namespace Profiles {

// Appends one built-in profile per Profile element of the document. False
// when the root is not Profiles.
bool ReadBuiltInProfiles(XmlDocument& document, std::vector<RTI::Reference<Profile>>* profiles);

// Fills name, descriptions and values from a user profile document. False
// when the root is not Profile (the profile is then unchanged).
bool ReadUserProfile(XmlDocument& document, Profile* profile);

// The document text of a user profile.
std::wstring WriteUserProfile(const std::wstring& name, const std::wstring& shortDescription,
                              const std::wstring& extendedDescription, const Tweaker::TweakValuesMap& values);

}  // namespace Profiles
