// The six profiles the program ships, set over the catalogue it ships: each
// sets exactly its own tweaks' selections and values and leaves every other
// tweak's selection as it was.
#include "tests/profiles/ProfileFixture.h"

namespace {

using ProfileTesting::ProfileTest;

TEST_F(ProfileTest, EachShippedProfileSetsExactlyItsOwnTweaks)
{
    Load(nullptr);
    Store(nullptr);
    EXPECT_TRUE(store_->BuiltInProblem().empty()) << Narrow(store_->BuiltInProblem());
    std::vector<std::wstring> names;
    for (const auto& profile : store_->FixedProfiles()) {
        names.push_back(profile->name);
    }
    ASSERT_EQ(
        (std::vector<std::wstring>{L"Default", L"Windows Appearance", L"IE and Explorer appearance and functionality",
                                   L"Security and Privacy", L"Speedup and increase free disk space",
                                   L"Enhanced customization", L"Internet and Network"}),
        names);

    for (size_t index = 1; index < names.size(); ++index) {
        SCOPED_TRACE(Narrow(names[index]));
        Load(nullptr);
        Store(nullptr);
        const Tweaker::TweakValuesMap before = Collect();
        const Tweaker::TweakValuesMap profile = store_->FixedProfiles()[index]->values;
        ASSERT_EQ(0u, SetProfile(names[index]));
        const Tweaker::TweakValuesMap after = Collect();
        size_t listed = 0;
        for (const auto& [name, now] : after) {
            const auto given = profile.find(name);
            if (given == profile.end()) {
                EXPECT_EQ(before.at(name).enabled, now.enabled) << Narrow(name);
                continue;
            }
            ++listed;
            EXPECT_EQ(given->second.enabled, now.enabled) << Narrow(name);
            // Every shipped value is one its key accepts, so each item holds
            // the value paired with it.
            std::vector<Tweaker::Key*> keys;
            for (const auto& item : Tweak(name).GetItems()) {
                if (auto* key = dynamic_cast<Tweaker::Key*>(item.Get())) {
                    keys.push_back(key);
                }
            }
            const std::vector<const Tweaker::ItemValue*> paired =
                Tweaker::PairValuesWithItems(keys, given->second.items);
            for (size_t i = 0; i < keys.size(); ++i) {
                ASSERT_NE(nullptr, paired[i]) << Narrow(name) << " item " << i << " has no value";
                EXPECT_EQ(paired[i]->curval, now.items.at(i).curval) << Narrow(name) << " item " << i;
                EXPECT_EQ(paired[i]->action.empty() ? L"VALUE_SET" : paired[i]->action, now.items.at(i).action)
                    << Narrow(name) << " item " << i;
            }
        }
        EXPECT_EQ(profile.size(), listed) << "the profile names tweaks the catalogue does not have";
    }
    EXPECT_EQ(static_cast<int>(names.size()) - 1, prompts_.completed);
    EXPECT_TRUE(prompts_.failures.empty());
}

}  // namespace
