#pragma once
// Profiles::ProfileStore: the fixed list (Default, then the built-in
// profiles), the shown list (the fixed list and the user's .pfs files in
// <AppData>\<program folder>\profiles\), and saving, deleting and setting
// profiles over the catalogue of a Tweaker::Manager.
//
//   ProfileStore store(manager, prompts);
//   store.MakeDefaultProfile();
//   store.LoadBuiltInProfiles();
//   store.ReloadUserProfiles();
//   store.ShownProfiles()[2]->checked = true;
//   uint32_t status = store.SetCheckedProfiles();
//
// Saving, deleting and setting take the change lock for their time and ask
// or tell the user through the prompts; every failure is told there too and
// returned as its error code.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "core/rti/Reference.h"
#include "profiles/IProfilePrompts.h"
#include "profiles/Profile.h"
#include "tweaker/ChangeLock.h"
#include "tweaker/Manager.h"

namespace Profiles {

inline constexpr std::wstring_view kProfileExtension = L".pfs";
// Setting a profile while an analysis or a tune-up runs (ERROR_BUSY).
inline constexpr uint32_t kRunActive = 170;

class ProfileStore {
public:
    // `lockName` empty: the caller holds the change lock itself.
    ProfileStore(Tweaker::Manager& manager, IProfilePrompts& prompts,
                 std::wstring lockName = std::wstring(Tweaker::kChangeLockName));

    // Appends the Default profile to the fixed list: each tweak's selection
    // and registry values as the tweak files give them, before Config.xml.
    void MakeDefaultProfile();
    // Appends the profiles of the PROFILES resource to the fixed list. A
    // missing or unparsable resource adds none; Problem() then says why.
    void LoadBuiltInProfiles();
    // The same from a document's UTF-8 text.
    void LoadBuiltInProfiles(std::string_view utf8);
    const std::wstring& BuiltInProblem() const { return builtInProblem_; }

    // Unchecks the fixed profiles and lists them again, followed by the
    // user's .pfs files in directory order. A file whose creation time cannot
    // be read is left out; one that cannot be read or parsed is listed as
    // not readable, with an empty name.
    void ReloadUserProfiles();

    const std::vector<RTI::Reference<Profile>>& FixedProfiles() const { return fixed_; }
    const std::vector<RTI::Reference<Profile>>& ShownProfiles() const { return shown_; }
    // The user's profile folder with a trailing backslash; empty when the
    // application-data folder is unknown.
    std::wstring UserFolder() const;

    // Asks for a name and descriptions (a name shown in the list is refused
    // as occupied and asked again) and writes the current selections and
    // values to a new file, never replacing one. 0 with `savedPath` set;
    // 1223 when the dialog was cancelled (nothing written); 183 when another
    // program holds the change lock; else the error of the folder or file.
    // The list is reloaded whenever something was written.
    [[nodiscard]] uint32_t SaveCurrentAsProfile(std::wstring* savedPath = nullptr);

    // After the confirmation, deletes the files of the checked user profiles
    // (read-only ones too); Default and built-in profiles are skipped. 0;
    // 1223 when not confirmed; 183 when the lock is held; else the first
    // error of a file that stays. The list is reloaded in every case.
    [[nodiscard]] uint32_t DeleteCheckedProfiles();

    // Lays the checked profiles (merged in list order, the first one's entry
    // winning for a tweak) over the catalogue: each listed tweak takes the
    // entry's selection and values, the others keep their selection and
    // discard values the registry does not hold; then every category is
    // analysed, Config.xml saved and the results recomputed. 0 and "Profile
    // setting completed"; kRunActive while a run is active; 183 when the lock
    // is held; 87 when nothing is checked; -1 when a checked profile is not
    // readable (nothing changed in these cases); else the error of saving
    // Config.xml.
    [[nodiscard]] uint32_t SetCheckedProfiles();

private:
    [[nodiscard]] uint32_t TakeLock(Platform::UniqueNamedLock* lock);
    // Runs the dialog until a free name or a cancel; false on cancel.
    bool AskDetails(ProfileDetails* details);
    [[nodiscard]] uint32_t WriteProfileFile(const std::wstring& text, std::wstring* path);
    RTI::Reference<Profile> ReadUserFile(const std::wstring& path);

    Tweaker::Manager& manager_;
    IProfilePrompts& prompts_;
    std::wstring lockName_;
    std::vector<RTI::Reference<Profile>> fixed_;
    std::vector<RTI::Reference<Profile>> shown_;
    std::wstring builtInProblem_;
};

}  // namespace Profiles
