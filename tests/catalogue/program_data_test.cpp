// The program data shipped beside the tweak sets: the built-in profiles, the
// help texts, the tweak-set list and the starter user tweak file.
#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>
#include <variant>
#include <vector>

#include "tests/catalogue/ShippedCatalogue.h"
#include "tests/catalogue/ShippedData.h"
#include "tweaker/File.h"
#include "tweaker/Key.h"
#include "tweaker/SimpleTweak.h"

namespace {

using Shipped::Narrow;

struct Profile {
    std::wstring name;
    std::wstring d;
    std::wstring dex;
    std::vector<std::wstring> order;  // tweak names in file order
    Tweaker::TweakValuesMap values;
};

// Reads the PROFILES resource as the profile store does, and checks the
// layout it relies on: in each Profile, d, then dex, then only Tweak elements.
std::vector<Profile> ReadProfiles()
{
    std::vector<Profile> profiles;
    XmlDocument document;
    if (!Shipped::Parse(Shipped::ResourceText(L"PROFILES"), &document)) {
        return profiles;
    }
    EXPECT_TRUE(document.FindElem(L"Profiles"));
    EXPECT_EQ(L"Profiles", document.GetTagName());
    document.IntoElem();
    while (document.FindElem()) {
        EXPECT_EQ(L"Profile", document.GetTagName());
        Profile& profile = profiles.emplace_back();
        profile.name = document.GetAttrib(L"n");
        std::vector<std::wstring> tags;
        while (document.FindChildElem()) {
            const std::wstring tag = document.GetChildTagName();
            tags.push_back(tag);
            if (tag == L"d") {
                profile.d = document.GetChildData();
            } else if (tag == L"dex") {
                profile.dex = document.GetChildData();
            } else if (tag == L"Tweak") {
                document.IntoElem();
                Tweaker::TweakValues values{true, {}};
                while (document.FindChildElem()) {
                    EXPECT_EQ(L"ItmKeyVal", document.GetChildTagName()) << Narrow(profile.name);
                    values.items.push_back({document.GetChildAttrib(L"n"), document.GetChildAttrib(L"path"),
                                            document.GetChildAttrib(L"curval"), document.GetChildAttrib(L"action")});
                }
                const std::wstring name = document.GetAttrib(L"name");
                EXPECT_TRUE(profile.values.emplace(name, values).second)
                    << Narrow(profile.name) << " lists " << Narrow(name) << " twice";
                profile.order.push_back(name);
                document.OutOfElem();
            }
        }
        EXPECT_GE(tags.size(), 3u) << Narrow(profile.name);
        for (size_t i = 0; i < tags.size(); ++i) {
            EXPECT_EQ(i == 0 ? L"d" : i == 1 ? L"dex" : L"Tweak", tags[i]) << Narrow(profile.name) << " child " << i;
        }
    }
    return profiles;
}

std::wstring ActionOf(const std::wstring& action)
{
    return action.empty() ? L"VALUE_SET" : action;
}

// Whether a registry item takes this value as a profile sets it: one of its
// choices, a typed value it accepts, or, for an item without choice, the
// value and action it always has.
bool Accepts(const Tweaker::Key& key, const Tweaker::ItemValue& value)
{
    switch (key.GetEditKind()) {
        case Tweaker::EditKind::Choices:
            for (const Tweaker::Choice& choice : key.GetChoices()) {
                if (ActionOf(choice.action) == ActionOf(value.action) && choice.val == value.curval) {
                    return true;
                }
            }
            return false;
        case Tweaker::EditKind::Range:
            return value.action == key.GetActionText() && !value.curval.empty() && key.IsValidValue(value.curval);
        default:
            return value.action == key.GetActionText() && value.curval == key.GetRecommendedValue();
    }
}

std::vector<Tweaker::Key*> KeysOf(const Tweaker::SimpleTweak& tweak)
{
    std::vector<Tweaker::Key*> keys;
    for (const auto& item : tweak.GetItems()) {
        if (auto* key = dynamic_cast<Tweaker::Key*>(item.Get())) {
            keys.push_back(key);
        }
    }
    return keys;
}

bool DeletesFiles(const Tweaker::SimpleTweak& tweak)
{
    for (const auto& item : tweak.GetItems()) {
        const auto* file = dynamic_cast<const Tweaker::File*>(item.Get());
        if (file != nullptr && file->GetActionText() == L"FILE_DELETE") {
            return true;
        }
    }
    return false;
}

class ShippedProfiles : public Shipped::ShippedCatalogueTest {
protected:
    std::map<std::wstring, Tweaker::SimpleTweak*> TweaksByName()
    {
        std::map<std::wstring, Tweaker::SimpleTweak*> tweaks;
        for (const auto& category : manager_->Categories()) {
            for (const auto& child : category->GetChildren()) {
                if (auto* tweak = dynamic_cast<Tweaker::SimpleTweak*>(child.Get())) {
                    tweaks.emplace(tweak->GetName(), tweak);
                }
            }
        }
        return tweaks;
    }
};

TEST_F(ShippedProfiles, TheSixBuiltInProfilesAreThereWithBothDescriptions)
{
    const std::vector<std::wstring> expected = {
        L"Windows Appearance",     L"IE and Explorer appearance and functionality",
        L"Security and Privacy",   L"Speedup and increase free disk space",
        L"Enhanced customization", L"Internet and Network"};
    const std::vector<Profile> profiles = ReadProfiles();
    ASSERT_EQ(expected.size(), profiles.size());
    for (size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(expected[i], profiles[i].name);
        EXPECT_FALSE(profiles[i].d.empty()) << Narrow(expected[i]);
        EXPECT_GT(profiles[i].dex.size(), profiles[i].d.size()) << Narrow(expected[i]);
        EXPECT_GE(profiles[i].values.size(), 5u) << Narrow(expected[i]);
    }
}

TEST_F(ShippedProfiles, EveryValueOfAProfileBelongsToItsTweakAndIsOneTheKeyAccepts)
{
    Load();
    auto tweaks = TweaksByName();
    for (const Profile& profile : ReadProfiles()) {
        for (const auto& [name, values] : profile.values) {
            const std::string where = Narrow(profile.name + L": " + name);
            const auto found = tweaks.find(name);
            ASSERT_NE(tweaks.end(), found) << where << " is no tweak of the catalogue";
            const std::vector<Tweaker::Key*> keys = KeysOf(*found->second);
            std::set<std::wstring> covered;
            for (const Tweaker::ItemValue& value : values.items) {
                EXPECT_TRUE(value.path.empty()) << where << ": a path makes the value apply to nothing";
                int matched = 0;
                for (const Tweaker::Key* key : keys) {
                    if (key->GetValueName() == value.n) {
                        ++matched;
                        EXPECT_TRUE(Accepts(*key, value))
                            << where << ": " << Narrow(value.n) << " = " << Narrow(value.curval) << " ("
                            << Narrow(value.action) << ")";
                    }
                }
                EXPECT_GT(matched, 0) << where << ": no value " << Narrow(value.n);
                covered.insert(value.n);
            }
            for (const Tweaker::Key* key : keys) {
                EXPECT_TRUE(covered.contains(key->GetValueName()))
                    << where << ": no value given for " << Narrow(key->GetValueName());
            }
        }
    }
}

TEST_F(ShippedProfiles, SettingAProfileSelectsItsTweaksWithExactlyItsValues)
{
    for (const Profile& profile : ReadProfiles()) {
        Load();
        for (const auto& category : manager_->Categories()) {
            manager_->ApplyTweakValues(*category, profile.values);
        }
        auto tweaks = TweaksByName();
        for (const auto& [name, values] : profile.values) {
            Tweaker::SimpleTweak* tweak = tweaks[name];
            ASSERT_NE(nullptr, tweak) << Narrow(name);
            EXPECT_TRUE(tweak->IsSelected()) << Narrow(name);
            for (const Tweaker::ItemValue& now : tweak->RegistryItemValues()) {
                const auto given = std::find_if(values.items.begin(), values.items.end(),
                                                [&](const Tweaker::ItemValue& v) { return v.n == now.n; });
                ASSERT_NE(values.items.end(), given) << Narrow(name);
                EXPECT_EQ(given->curval, now.curval) << Narrow(profile.name + L": " + name);
                EXPECT_EQ(given->action, now.action) << Narrow(profile.name + L": " + name);
            }
        }
    }
}

TEST_F(ShippedProfiles, AProfileThatDeletesFilesSaysSoInItsShortDescription)
{
    Load();
    auto tweaks = TweaksByName();
    for (const Profile& profile : ReadProfiles()) {
        for (const auto& [name, values] : profile.values) {
            if (tweaks.contains(name) && DeletesFiles(*tweaks[name])) {
                EXPECT_NE(std::wstring::npos, profile.d.find(L"cannot be restored")) << Narrow(profile.name);
            }
        }
    }
}

TEST(ShippedTips, TheSevenShippedTopicsHaveTheirTexts)
{
    XmlDocument document;
    ASSERT_TRUE(Shipped::Parse(Shipped::ResourceText(L"TIPS"), &document));
    ASSERT_TRUE(document.FindElem(L"Tips"));
    EXPECT_EQ(L"Tips", document.GetTagName());
    std::map<std::wstring, std::wstring> tips;
    while (document.FindChildElem()) {
        EXPECT_EQ(L"Tip", document.GetChildTagName());
        const std::wstring name = document.GetChildAttrib(L"name");
        const std::wstring text = document.GetChildData();
        EXPECT_TRUE(tips.emplace(name, text).second) << Narrow(name) << " twice";
        // The help control shows the text as it stands, line breaks included.
        EXPECT_FALSE(text.empty()) << Narrow(name);
        EXPECT_FALSE(text.front() == L'\n' || text.front() == L' ' || text.back() == L'\n' || text.back() == L' ')
            << Narrow(name) << ": blank at an end";
        EXPECT_EQ(std::wstring::npos, text.find(L"\n ")) << Narrow(name) << ": an indented line";
    }
    const std::set<std::wstring> expected = {L"ID_TUNING",   L"ID_TWEAKS_VIEW",     L"ID_TWEAK_INFO",
                                             L"ID_BACKUPS",  L"ID_PROFILE_INFO",    L"ID_COLLECTIONS_INFO",
                                             L"ID_SETTINGS", L"ID_STARTUP_PROGRAMS"};
    std::set<std::wstring> names;
    for (const auto& [name, text] : tips) {
        names.insert(name);
    }
    EXPECT_EQ(expected, names);
    EXPECT_NE(std::wstring::npos, tips[L"ID_COLLECTIONS_INFO"].find(L"\"Path to my tweaks\""));
}

TEST(ShippedCollections, TheFourTweakSetsAreListedWithTheirIcons)
{
    XmlDocument document;
    ASSERT_TRUE(Shipped::Parse(Shipped::ResourceText(L"COLLECTIONS"), &document));
    ASSERT_TRUE(document.FindElem(L"Collections"));
    EXPECT_EQ(L"Collections", document.GetTagName());
    const std::vector<std::pair<std::wstring, std::wstring>> expected = {
        {L"Free", L"AQUA.MENU.COLLECTIONFREE"},
        {L"Silver", L"AQUA.MENU.COLLECTIONSILVER"},
        {L"Gold", L"AQUA.MENU.COLLECTIONGOLD"},
        {L"Custom", L"AQUA.MENU.COLLECTIONCUSTOM"},
    };
    document.IntoElem();
    size_t index = 0;
    while (document.FindElem()) {
        ASSERT_LT(index, expected.size());
        EXPECT_EQ(L"Set", document.GetTagName());
        EXPECT_EQ(expected[index].first, document.GetAttrib(L"n"));
        EXPECT_EQ(expected[index].second, document.GetAttrib(L"i"));
        EXPECT_TRUE(document.FindChildElem(L"d"));
        EXPECT_FALSE(document.GetChildData().empty()) << Narrow(expected[index].first);
        ++index;
    }
    EXPECT_EQ(expected.size(), index);
}

TEST(ShippedStarterFile, TheUserTweakFileStartsWithTheEightEmptyCategories)
{
    const std::string text = Shipped::SourceFile("resources/tweaks/tweaks.xml");
    // The format allows neither a byte-order mark nor an XML declaration.
    ASSERT_TRUE(text.starts_with("<Tweaks>"));
    XmlDocument document;
    ASSERT_TRUE(Shipped::Parse(text, &document));
    ASSERT_TRUE(document.FindElem(L"Tweaks"));
    document.IntoElem();
    size_t index = 0;
    while (document.FindElem()) {
        ASSERT_LT(index, std::size(Shipped::kCategories));
        EXPECT_EQ(L"Category", document.GetTagName());
        EXPECT_EQ(Shipped::kCategories[index].name, document.GetAttrib(L"n"));
        EXPECT_EQ(Shipped::kCategories[index].icon, document.GetAttrib(L"i"));
        EXPECT_FALSE(document.FindChildElem()) << "category " << index << " is not empty";
        ++index;
    }
    EXPECT_EQ(std::size(Shipped::kCategories), index);
}

}  // namespace
