// The tweak details without the window: text, the "what it changes" lines,
// and editors that change the item only on OK (From Registry fills the
// editor; a ticked preset is applied as the whole choice).
#include <gtest/gtest.h>

#include <functional>

#include "gui/TweakDetails.h"
#include "tests/gui/GuiFixture.h"

namespace {

using namespace GuiTesting;

// Three presets: not a switch.
const std::wstring kPresets =
    L"<values><value val=\"1\" descr=\"On\" main=\"1\"/><value val=\"0\" descr=\"Off\"/>"
    L"<value action=\"VALUE_DELETE\" descr=\"Gone\"/></values>";

class TweakDetailsTest : public GuiTest {
protected:
    void Build()
    {
        Catalogue({{L"A",
                    {{L"range", true, false, L"editable=\"range\""},
                     {L"presets", true, false, L"editable=\"set\"", kPresets},
                     {L"plain"}}}});
        WriteFile(M().ConfigurationPath(), std::string(Tweaker::Manager::kEmptyConfiguration));
    }
    RTI::Reference<Tweaker::ITweak> Tweak(int i) { return M().Categories()[0]->GetChildren()[i]; }
    Tweaker::Key& KeyOf() { return *details_.Editors().at(0).item; }
    GUI::TweakDetails details_;
};

TEST_F(TweakDetailsTest, TextAndChangeLines)
{
    Build();
    WriteDword(L"", L"plain", 5);
    details_.Show(Tweak(2));
    EXPECT_EQ(details_.Text(), L"plain\n\nNo detailed information");
    EXPECT_FALSE(details_.EditsValues());
    ASSERT_EQ(details_.ChangeLines().size(), 1u);
    EXPECT_EQ(details_.ChangeLines()[0], L"HKCU\\" + ScratchKeyPath() + L" [plain] REG_DWORD: 5 -> 1");
    const struct {
        std::wstring text;
        int height;
    } heights[] = {{L"", 20},
                   {L"12345678901234567890123", 20},
                   {L"123456789012345678901234", 40},
                   {std::wstring(200, L'x'), 80}};
    for (const auto& h : heights) {
        EXPECT_EQ(GUI::TweakDetails::EditHeight(h.text), h.height);
    }
}

TEST_F(TweakDetailsTest, EditorsChangeTheItemOnlyOnOk)
{
    Build();
    WriteDword(L"", L"range", 7);
    const struct {
        int tweak;
        std::function<void(GUI::TweakDetails&)> edit;
        bool ok;
        uint32_t status;
        bool changed;  // the item's value or action after the step
    } steps[] = {
        {0, [](GUI::TweakDetails& d) { d.FromRegistry(0); }, false, 0, false},  // Cancel undoes it
        {0, [](GUI::TweakDetails& d) { d.Type(0, L"not a number"); }, true, 87, false},
        {0, [](GUI::TweakDetails& d) { d.FromRegistry(0); }, true, 0, true},
        {1, [](GUI::TweakDetails& d) { d.Tick(0, 2); }, false, 0, false},
        {1, [](GUI::TweakDetails& d) { d.Tick(0, 2); }, true, 0, true},
    };
    for (size_t i = 0; i < std::size(steps); ++i) {
        const auto& step = steps[i];
        details_.Show(Tweak(step.tweak));
        ASSERT_TRUE(details_.EditsValues()) << i;
        Tweaker::Key& key = KeyOf();
        const std::wstring value = key.GetConfiguredValue();
        const std::wstring action = key.GetActionText();
        step.edit(details_);
        EXPECT_EQ(key.GetConfiguredValue(), value) << i;  // the editor only
        std::wstring refused;
        if (step.ok) {
            EXPECT_EQ(details_.Ok(M(), &refused), step.status) << i;
            EXPECT_EQ(refused, step.status ? GUI::TweakDetails::kRefusedText : L"") << i;
        }
        const bool changed = key.GetConfiguredValue() != value || key.GetActionText() != action;
        EXPECT_EQ(changed, step.changed) << i;
    }
    EXPECT_EQ(KeyOf().GetActionText(), L"VALUE_DELETE");  // the whole preset, not only its value
    details_.Show(Tweak(0));
    EXPECT_EQ(details_.Editors()[0].text, KeyOf().GetConfiguredValue());
    const std::string saved = ReadFile(M().ConfigurationPath());
    EXPECT_NE(saved.find("action=\"VALUE_DELETE\""), std::string::npos) << saved;
}

}  // namespace
