// How a profile's recorded values reach the items: pairing by value name and
// position, the choice and value checks, and the enabled flag of the file.
#include "core/xml/XmlDocument.h"
#include "profiles/ProfileFormat.h"
#include "tests/profiles/ProfileFixture.h"

namespace {

using ProfileTesting::ProfileTest;
using Tweaker::ItemValue;

constexpr const wchar_t* kCatalogue =
    LR"(<Tweaks><Category n="C">
  <Tweak n="Pair" enabled="1">
    <Key parent="HKCU" path="@KEY@" keyname="1" valuename="v" valuetype="REG_SZ" valueval="one"/>
    <Key parent="HKCU" path="@KEY@" keyname="2" valuename="v" valuetype="REG_SZ" valueval="two"/>
    <Key parent="HKCU" path="@KEY@" keyname="3" valuename="w" valuetype="REG_SZ" valueval="three"/></Tweak>
  <Tweak n="Choice" enabled="1">
    <Key parent="HKCU" path="@KEY@" valuename="Mode" valuetype="REG_DWORD" valueval="1" editable="set">
      <values><value val="1"/><value val="2" action="VALUE_SET"/><value action="VALUE_DELETE"/></values></Key></Tweak>
  <Tweak n="Typed" enabled="1">
    <Key parent="HKCU" path="@KEY@" valuename="Size" valuetype="REG_DWORD" valueval="16" editable="range"/></Tweak>
</Category></Tweaks>)";

// (value name, value, action) of a tweak's registry items.
std::vector<std::wstring> ValuesOf(const Tweaker::SimpleTweak& tweak)
{
    std::vector<std::wstring> texts;
    for (const ItemValue& value : tweak.RegistryItemValues()) {
        texts.push_back(value.n + L"=" + value.curval + L"/" + value.action);
    }
    return texts;
}

TEST_F(ProfileTest, TheKthValueOfANameGoesToTheKthItemOfThatName)
{
    struct Case {
        const char* what;
        std::vector<ItemValue> values;
        std::vector<std::wstring> expected;
    };
    const std::wstring set = L"VALUE_SET";
    const Case cases[] = {
        {"one value for two items",
         {{L"v", L"", L"x", set}},
         {L"v=x/VALUE_SET", L"v=x/VALUE_SET", L"w=three/VALUE_SET"}},
        {"one each",
         {{L"v", L"", L"x", set}, {L"v", L"", L"y", set}},
         {L"v=x/VALUE_SET", L"v=y/VALUE_SET", L"w=three/VALUE_SET"}},
        {"more values than items: the last item takes the last",
         {{L"v", L"", L"x", set},
          {L"v", L"", L"y", set},
          {L"v", L"", L"z", set},
          {L"w", L"", L"p", set},
          {L"w", L"", L"q", set}},
         {L"v=x/VALUE_SET", L"v=z/VALUE_SET", L"w=q/VALUE_SET"}},
        {"a value with a path applies to nothing",
         {{L"v", L"C:\\x", L"x", set}, {L"w", L"", L"p", L""}},
         {L"v=one/VALUE_SET", L"v=two/VALUE_SET", L"w=p/VALUE_SET"}},
        {"an unknown value name changes nothing",
         {{L"zz", L"", L"x", set}},
         {L"v=one/VALUE_SET", L"v=two/VALUE_SET", L"w=three/VALUE_SET"}},
    };
    for (const Case& c : cases) {
        Load(kCatalogue);
        Tweak(L"Pair").ApplyProfileValues(c.values);
        EXPECT_EQ(c.expected, ValuesOf(Tweak(L"Pair"))) << c.what;
    }
}

TEST_F(ProfileTest, ConfigXmlValuesPairTheSameWay)
{
    Load(kCatalogue);
    Tweak(L"Pair").ApplyProfileValues({{L"v", L"", L"x", L"VALUE_SET"}, {L"v", L"", L"y", L"VALUE_SET"}});
    manager_->ConfigTweakValues()[L"Pair"] = {true, Tweak(L"Pair").RegistryItemValues()};
    ASSERT_EQ(0u, manager_->SaveConfiguration());
    Load(kCatalogue);
    EXPECT_EQ((std::vector<std::wstring>{L"v=x/VALUE_SET", L"v=y/VALUE_SET", L"w=three/VALUE_SET"}),
              ValuesOf(Tweak(L"Pair")));
}

TEST_F(ProfileTest, ItemsWithChoicesOrChecksTakeOnlyValuesTheyAccept)
{
    struct Case {
        const wchar_t* tweak;
        ItemValue value;
        std::wstring expected;
    };
    const Case cases[] = {
        {L"Choice", {L"Mode", L"", L"2", L"VALUE_SET"}, L"Mode=2/VALUE_SET"},
        {L"Choice", {L"Mode", L"", L"2", L""}, L"Mode=2/VALUE_SET"},  // empty action: VALUE_SET
        {L"Choice", {L"Mode", L"", L"7", L"VALUE_SET"}, L"Mode=1/VALUE_SET"},
        {L"Choice", {L"Mode", L"", L"2", L"KEY_DELETE"}, L"Mode=1/VALUE_SET"},
        // A chosen deletion comes back as a deletion whatever value it kept.
        {L"Choice", {L"Mode", L"", L"", L"VALUE_DELETE"}, L"Mode=/VALUE_DELETE"},
        {L"Choice", {L"Mode", L"", L"2", L"VALUE_DELETE"}, L"Mode=2/VALUE_DELETE"},
        {L"Typed", {L"Size", L"", L"32", L"VALUE_SET"}, L"Size=32/VALUE_SET"},
        {L"Typed", {L"Size", L"", L"0", L"VALUE_SET"}, L"Size=16/VALUE_SET"},
        {L"Typed", {L"Size", L"", L"lots", L"VALUE_SET"}, L"Size=16/VALUE_SET"},
    };
    for (const Case& c : cases) {
        Load(kCatalogue);
        Tweak(c.tweak).ApplyProfileValues({c.value});
        EXPECT_EQ(std::vector<std::wstring>{c.expected}, ValuesOf(Tweak(c.tweak)))
            << Narrow(c.value.curval + L" " + c.value.action);
    }
}

TEST(ProfileFormat, EveryAttributeIsReadAndEnabledIsOnlyOffWhenWrittenSo)
{
    XmlDocument document;
    ASSERT_TRUE(
        document.SetDoc(LR"(<Profile name="p &amp; q"><dex>x</dex><d>short</d>
        <Tweak name="on" enabled="1"><ItmKeyVal n="v" curval="" action="VALUE_DELETE"/></Tweak>
        <Tweak name="off" enabled="0"/><Tweak name="yes" enabled="yes"/><Tweak name="empty" enabled=""/>
        <Tweak name="absent"><ItmKeyVal n="" curval="1" action="VALUE_SET" path="C:\p"/></Tweak>
        <Tweak name="on" enabled="0"/></Profile>)"));
    Profiles::Profile profile;
    ASSERT_TRUE(Profiles::ReadUserProfile(document, &profile));
    EXPECT_EQ(L"p & q", profile.name);
    EXPECT_EQ(L"short", profile.shortDescription);
    EXPECT_EQ(L"x", profile.extendedDescription);
    const Tweaker::TweakValuesMap expected = {
        {L"on", {true, {{L"v", L"", L"", L"VALUE_DELETE"}}}},  // the second "on" is ignored
        {L"off", {false, {}}},
        {L"yes", {false, {}}},
        {L"empty", {false, {}}},
        {L"absent", {true, {{L"", L"C:\\p", L"1", L"VALUE_SET"}}}},
    };
    EXPECT_EQ(expected, profile.values);

    // Written back: descriptions only when not empty, the flag on every tweak.
    const std::wstring text = Profiles::WriteUserProfile(L"n", L"", L"", expected);
    EXPECT_EQ(std::wstring::npos, text.find(L"<d>"));
    EXPECT_NE(std::wstring::npos, text.find(LR"(<Tweak name="off" enabled="0"/>)"));
    EXPECT_NE(std::wstring::npos, text.find(LR"(<ItmKeyVal n="" curval="1" action="VALUE_SET" path="C:\p"/>)"));
    ASSERT_TRUE(document.SetDoc(text));
    Profiles::Profile again;
    ASSERT_TRUE(Profiles::ReadUserProfile(document, &again));
    EXPECT_EQ(expected, again.values);
}

}  // namespace
