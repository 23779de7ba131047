#include "profiles/ProfileFormat.h"

#include "tweaker/Configuration.h"

namespace Profiles {
namespace {

// One Tweak element, the current child, into `values`.
void ReadTweak(XmlDocument& document, Tweaker::TweakValuesMap* values)
{
    Tweaker::TweakValues entry;
    entry.enabled = !document.HasChildAttrib(L"enabled") || document.GetChildAttrib(L"enabled") == L"1";
    const std::wstring name = document.GetChildAttrib(L"name");
    Tweaker::ReadItemValues(document, &entry.items);
    Tweaker::InsertKeepingExisting(*values, name, std::move(entry));
}

// The children of the current element (whose child position is clear): the
// first d and dex, and every Tweak.
void ReadBody(XmlDocument& document, Profile* profile)
{
    bool shortFound = false;
    bool extendedFound = false;
    while (document.FindChildElem()) {
        const std::wstring tag = document.GetChildTagName();
        if (tag == L"d" && !shortFound) {
            profile->shortDescription = document.GetChildData();
            shortFound = true;
        } else if (tag == L"dex" && !extendedFound) {
            profile->extendedDescription = document.GetChildData();
            extendedFound = true;
        } else if (tag == L"Tweak") {
            ReadTweak(document, &profile->values);
        }
    }
}

}  // namespace

bool ReadBuiltInProfiles(XmlDocument& document, std::vector<RTI::Reference<Profile>>* profiles)
{
    document.ResetPos();
    if (!document.FindElem() || document.GetTagName() != L"Profiles") {
        return false;
    }
    while (document.FindChildElem(L"Profile")) {
        RTI::Reference<Profile> profile(new Profile());
        profile->kind = ProfileKind::BuiltIn;
        profile->name = document.GetChildAttrib(L"n");
        if (!document.IntoElem()) {
            continue;
        }
        ReadBody(document, profile.Get());
        (void)document.OutOfElem();
        profiles->push_back(std::move(profile));
    }
    return true;
}

bool ReadUserProfile(XmlDocument& document, Profile* profile)
{
    document.ResetPos();
    if (!document.FindElem() || document.GetTagName() != L"Profile") {
        return false;
    }
    profile->name = document.GetAttrib(L"name");
    ReadBody(document, profile);
    return true;
}

std::wstring WriteUserProfile(const std::wstring& name, const std::wstring& shortDescription,
                              const std::wstring& extendedDescription, const Tweaker::TweakValuesMap& values)
{
    XmlDocument document;
    (void)document.AddElem(L"Profile");
    (void)document.SetAttrib(L"name", name);
    if (!shortDescription.empty()) {
        (void)document.AddChildElem(L"d", shortDescription);
    }
    if (!extendedDescription.empty()) {
        (void)document.AddChildElem(L"dex", extendedDescription);
    }
    Tweaker::WriteTweakElements(document, L"name", values);
    return document.GetDoc();
}

}  // namespace Profiles
