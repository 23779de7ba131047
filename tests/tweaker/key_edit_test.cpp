// The editable side of registry items and tweaks: choices, switches, typed
// values, profile values and taking values from the registry.
#include <gtest/gtest.h>

#include "tests/tweaker/TweakerFixture.h"

namespace {

using namespace TweakerTesting;
using Tweaker::SimpleTweak;

class KeyEditTest : public TweakerTest {
protected:
    RTI::Reference<SimpleTweak> Tweak(const std::wstring& attributes, const std::wstring& items)
    {
        auto categories = LoadTweaks(manager_, L"<Tweaks><Category n=\"C\"><Tweak n=\"t\" " + attributes + L">" +
                                                   items + L"</Tweak></Category></Tweaks>");
        return categories.at(0)->GetChildren().at(0).As<SimpleTweak>();
    }
    std::wstring SwitchKey(const std::wstring& value, int choices = 2)
    {
        std::wstring xml = L"<Key parent=\"HKCU\" path=\"" + ScratchKeyPath() + L"\" keyname=\"K\" valuename=\"" +
                           value + L"\" valuetype=\"REG_DWORD\" valueval=\"1\" editable=\"set\"><values>";
        xml += L"<value val=\"1\" descr=\"On\" main=\"1\"/>";
        if (choices >= 2) {
            xml += L"<value val=\"0\" descr=\"Off\"/>";
        }
        if (choices >= 3) {
            xml += L"<value action=\"VALUE_DELETE\" descr=\"Gone\"/>";
        }
        return xml + L"</values></Key>";
    }
    Tweaker::Key& KeyOf(const SimpleTweak& tweak, size_t index = 0)
    {
        return *dynamic_cast<Tweaker::Key*>(tweak.GetItems().at(index).Get());
    }

    Tweaker::Manager manager_;
};

TEST_F(KeyEditTest, OneKeyWithTwoChoicesIsASwitchAndThreeChoicesAreNot)
{
    auto two = Tweak(L"", SwitchKey(L"a"));
    EXPECT_TRUE(two->IsEditable());
    EXPECT_TRUE(two->IsSwitch());
    EXPECT_TRUE(Tweak(L"", SwitchKey(L"a", 1))->IsSwitch());
    auto three = Tweak(L"", SwitchKey(L"a", 3));
    EXPECT_TRUE(three->IsEditable());
    EXPECT_FALSE(three->IsSwitch());
    EXPECT_EQ(three->GetSwitchPosition(), -1);
}

TEST_F(KeyEditTest, SeveralKeysAreASwitchOnlyWhenNotManageable)
{
    EXPECT_FALSE(Tweak(L"", SwitchKey(L"a") + SwitchKey(L"b"))->IsSwitch());
    EXPECT_TRUE(Tweak(L"manageable=\"0\"", SwitchKey(L"a") + SwitchKey(L"b"))->IsSwitch());
    const std::wstring plain = L"<Key parent=\"HKCU\" path=\"p\" valuename=\"c\" valuetype=\"REG_SZ\" valueval=\"x\"/>";
    EXPECT_FALSE(Tweak(L"manageable=\"0\"", SwitchKey(L"a") + plain)->IsSwitch());
    EXPECT_FALSE(Tweak(L"", plain)->IsEditable());
}

TEST_F(KeyEditTest, SwitchMovesEveryKeyToItsOtherChoiceAndThePositionFollows)
{
    auto tweak = Tweak(L"manageable=\"0\"", SwitchKey(L"a") + SwitchKey(L"b"));
    EXPECT_EQ(tweak->GetSwitchPosition(), 0);
    tweak->Switch();
    EXPECT_EQ(KeyOf(*tweak, 0).GetConfiguredValue(), L"0");
    EXPECT_EQ(KeyOf(*tweak, 1).GetConfiguredValue(), L"0");
    EXPECT_EQ(KeyOf(*tweak, 0).GetValueDescription(), L"Off");
    EXPECT_EQ(tweak->GetSwitchPosition(), 1);
    EXPECT_NE(KeyOf(*tweak, 0).GetStatusCode(), L"-");  // re-analysed
    tweak->Switch();
    EXPECT_EQ(KeyOf(*tweak, 0).GetConfiguredValue(), L"1");
    EXPECT_EQ(tweak->GetSwitchPosition(), 0);
}

TEST_F(KeyEditTest, SwitchBetweenActionsIsToldByTheActionText)
{
    const std::wstring key = L"<Key parent=\"HKCU\" path=\"" + ScratchKeyPath() +
                             L"\" keyname=\"K\" valuename=\"v\" valuetype=\"REG_SZ\" valueval=\"on\" editable=\"set\">"
                             L"<values><value val=\"on\"/><value val=\"on\" action=\"VALUE_DELETE\" main=\"1\"/>"
                             L"</values></Key>";
    auto tweak = Tweak(L"", key);
    EXPECT_EQ(tweak->GetSwitchPosition(), 1);
    tweak->Switch();
    EXPECT_EQ(KeyOf(*tweak).GetActionText(), L"VALUE_DELETE");
    EXPECT_EQ(tweak->GetSwitchPosition(), 0);
    WriteString(L"K", L"v", L"on");
    EXPECT_TRUE(KeyOf(*tweak).Apply(nullptr, nullptr));
    uint32_t type = 0;
    std::vector<uint8_t> data;
    EXPECT_EQ(ReadValue(L"K", L"v", &type, &data), Err::FileNotFound);
}

TEST_F(KeyEditTest, TakeValuesFromRegistryPicksTheMatchingChoiceOrTheDeleteAction)
{
    auto tweak = Tweak(L"", SwitchKey(L"v", 3));
    Tweaker::Key& key = KeyOf(*tweak);
    WriteDword(L"K", L"v", 0);
    EXPECT_TRUE(key.TakeValuesFromRegistry());
    EXPECT_EQ(key.GetConfiguredValue(), L"0");
    WriteDword(L"K", L"v", 7);
    EXPECT_FALSE(key.TakeValuesFromRegistry());
    EXPECT_EQ(key.GetConfiguredValue(), L"0");  // no choice holds 7
    DeleteKey(L"K");
    WriteString(L"K", L"other", L"x");
    EXPECT_TRUE(key.TakeValuesFromRegistry());
    EXPECT_EQ(key.GetActionText(), L"VALUE_DELETE");
}

TEST_F(KeyEditTest, TakeValuesFromRegistryReadsATypedValue)
{
    auto key = KeyItem(
        L"keyname=\"K\" valuename=\"v\" valuetype=\"REG_MULTI_SZ\" valueval=\"a\" editable=\"range\" "
        L"valuedescr=\"Any text\"");
    EXPECT_EQ(key->GetValueDescription(), L"Any text");
    WriteValue(L"K", L"v", Platform::RegType::MultiSz, Testing::StringBytes(std::wstring(L"x\0y\0", 4)));
    EXPECT_TRUE(key->TakeValuesFromRegistry());
    EXPECT_EQ(key->GetConfiguredValue(), L"x\ny");
    EXPECT_EQ(key->GetRecommendedValue(), L"a");
}

TEST_F(KeyEditTest, ValidDwordTextsAreDecimalOrEightHexadecimalDigitsAndNeitherZeroNorAllOnes)
{
    auto key = KeyItem(L"keyname=\"K\" valuename=\"v\" valuetype=\"REG_DWORD\" valueval=\"1\" editable=\"range\"");
    EXPECT_TRUE(key->IsValidValue(L"16"));
    EXPECT_TRUE(key->IsValidValue(L"0x0000ABcd"));
    EXPECT_FALSE(key->IsValidValue(L""));
    EXPECT_FALSE(key->IsValidValue(L"0"));
    EXPECT_FALSE(key->IsValidValue(L"4294967295"));
    EXPECT_FALSE(key->IsValidValue(L"0xFFFFFFFF"));
    EXPECT_FALSE(key->IsValidValue(L"0x10"));
    EXPECT_FALSE(key->IsValidValue(L"-5"));
    EXPECT_FALSE(key->IsValidValue(L"99999999999"));
    auto text = KeyItem(L"keyname=\"K\" valuename=\"v\" valuetype=\"REG_SZ\" valueval=\"1\" editable=\"range\"");
    EXPECT_TRUE(text->IsValidValue(L""));
}

TEST_F(KeyEditTest, ProfileValuesReplaceValueAndActionOfMatchingKeysOnly)
{
    auto tweak = Tweak(L"", SwitchKey(L"a") + SwitchKey(L"b"));
    tweak->ApplyProfileValues({{L"a", L"", L"0", L"VALUE_SET"},
                               {L"b", L"C:\\other", L"5", L"VALUE_DELETE"},
                               {L"zz", L"", L"9", L"VALUE_DELETE"}});
    EXPECT_EQ(KeyOf(*tweak, 0).GetConfiguredValue(), L"0");
    EXPECT_EQ(KeyOf(*tweak, 1).GetConfiguredValue(), L"1");
    EXPECT_EQ(KeyOf(*tweak, 1).GetActionText(), L"VALUE_SET");
    EXPECT_EQ(tweak->RegistryItemValues(),
              (std::vector<Tweaker::ItemValue>{{L"a", L"", L"0", L"VALUE_SET"}, {L"b", L"", L"1", L"VALUE_SET"}}));
}

TEST_F(KeyEditTest, DiscardProfileValuesTakesTheRegistrysValuesForKeysNotInEffect)
{
    auto tweak = Tweak(L"", SwitchKey(L"a"));
    WriteDword(L"K", L"a", 0);
    tweak->DiscardProfileValues();
    EXPECT_EQ(KeyOf(*tweak).GetConfiguredValue(), L"0");
    EXPECT_EQ(KeyOf(*tweak).GetRecommendedValue(), L"1");
}

TEST_F(KeyEditTest, SetActionTextKeepsTheCodeForTextsThatAreNoKeyword)
{
    auto key = KeyItem(L"keyname=\"K\" action=\"KEY_SET\"");
    key->SetActionText(L"BOGUS");
    EXPECT_EQ(key->GetActionText(), L"BOGUS");
    EXPECT_EQ(key->GetActionCode(), Tweaker::Action::KeySet);
    key->SetActionText(L"");
    EXPECT_EQ(key->GetActionText(), L"VALUE_SET");
    EXPECT_EQ(key->GetActionCode(), Tweaker::Action::ValueSet);
}

}  // namespace
