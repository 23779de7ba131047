// The help texts read from TIPS, and the inspection hook's JSON.
#include <gtest/gtest.h>

#include "gui/InspectionState.h"
#include "gui/Tips.h"

namespace {

TEST(TipsTest, EntriesWithNameAndTextFirstOfANameWins)
{
    const struct {
        const char* xml;
        GUI::TipsMap tips;
    } cases[] = {
        {"<Tips><Tip name=\"ID_A\">one\nline two</Tip><Tip name=\"ID_B\">b</Tip></Tips>",
         {{L"ID_A", L"one\nline two"}, {L"ID_B", L"b"}}},
        {"<Tips><Tip name=\"ID_A\">first</Tip><Tip name=\"ID_A\">second</Tip></Tips>", {{L"ID_A", L"first"}}},
        {"<Tips><Tip name=\"\">no name</Tip><Tip name=\"ID_E\"></Tip><Tip name=\"ID_E\">later</Tip></Tips>",
         {{L"ID_E", L"later"}}},
        {"<Tips><Tip name=\"ID_X\">a &amp; b \xC3\xA9</Tip></Tips>", {{L"ID_X", L"a & b \u00E9"}}},
        {"<Tips><Tip name=\"ID_A\">unclosed</Tips>", {}},
        {"<Other><Tip name=\"ID_A\">x</Tip></Other>", {}},
        {"", {}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(GUI::ParseTips(c.xml), c.tips) << c.xml;
    }
}

TEST(TipsTest, TheShippedTipsHaveTheTopicsTheViewsUse)
{
    std::FILE* file = std::fopen(CORVANE_SOURCE_DIR "/resources/tips.xml", "rb");
    ASSERT_NE(file, nullptr);
    std::string bytes;
    char buffer[4096];
    for (size_t n; (n = std::fread(buffer, 1, sizeof buffer, file)) > 0;) {
        bytes.append(buffer, n);
    }
    std::fclose(file);
    const GUI::TipsMap tips = GUI::ParseTips(bytes);
    for (const wchar_t* topic : {L"ID_TUNING", L"ID_TWEAKS_VIEW", L"ID_TWEAK_INFO"}) {
        EXPECT_EQ(tips.count(topic), 1u) << std::string(topic, topic + wcslen(topic));
    }
}

TEST(InspectionJsonTest, FieldsAndEscapes)
{
    GUI::WindowState state;
    state.view = L"tweaks";
    state.title = L"Say \"hi\"\\ \u00E9\n\t\x01";
    state.filter = L"a" + std::wstring(1, static_cast<wchar_t>(0xD800)) + L"b";  // typed half a pair
    state.menu = 5031;
    state.visible = true;
    state.buttons = {{5022, L"Back", true}, {5017, L"Restore Point(s)", false}};
    state.sections = {{L"A", 0, L"completed", L"3 in general/1 applied", 4, L"yyyyGGGGGG", false, {}}};
    state.rows = {{L"sw", true, true, false, true, false}};
    state.rowPoints = {{{12, 340, true}, {}}};
    state.editors = {{false, L"", {L"On", L"Off"}, 1}};
    state.preview = {{L"A", L"sw", {L"HKCU\\K [v] REG_DWORD: 0 -> 1"}}};
    state.panel = L"settings";
    state.panelOpacity = 224;
    state.strip = L"Video: Wine";
    state.guardWatching = true;
    state.startupWorking = true;
    state.startup = {{L"Run", 0, L"mixed", false, false, false}, {L"App", 1, L"off", false, true, true}};
    state.balloons = {L"A new program starts with Windows|\"App\""};
    state.prompts = {L"Tweak Details"};
    const std::string json = GUI::ToJson(state);
    const char* parts[] = {
        "{\"view\":\"tweaks\",\"caption\":\"\",\"title\":\"Say \\\"hi\\\"\\\\ "
        "\xC3\xA9\\n\\t\\u0001\",\"helpTopic\":\"\",\"menu\":5031,"
        "\"visible\":true,\"running\":false,\"analysed\":false,",
        "\"buttons\":[{\"id\":5022,\"caption\":\"Back\",\"enabled\":true},"
        "{\"id\":5017,\"caption\":\"Restore Point(s)\",\"enabled\":false}],",
        "\"sections\":[{\"name\":\"A\",\"mode\":0,\"status\":\"completed\",\"summary\":\"3 in general/1 applied\","
        "\"litCells\":4,\"cells\":\"yyyyGGGGGG\",\"grey\":false,\"customize\":null}],",
        "\"filter\":\"a\\ud800b\",\"rows\":[{\"name\":\"sw\",\"selected\":true,\"twoState\":true,\"switchOn\":false,"
        "\"applied\":true,\"noAccess\":false,\"selectBox\":[12,340],\"switchBox\":null}],",
        "\"detailLines\":[],\"editors\":[{\"range\":false,\"text\":\"\",\"presets\":[\"On\",\"Off\"],\"ticked\":1}],",
        "\"preview\":[{\"category\":\"A\",\"name\":\"sw\",\"lines\":[\"HKCU\\\\K [v] REG_DWORD: 0 -> 1\"]}],",
        "\"panel\":\"settings\",\"panelOpacity\":224,\"strip\":\"Video: Wine\",\"progress\":\"\",",
        "\"guardWatching\":true,\"startupWorking\":true,\"startup\":[{\"name\":\"Run\",\"depth\":0,"
        "\"check\":\"mixed\",\"greyed\":false,\"disabled\":false,\"selected\":false},{\"name\":\"App\",\"depth\":1,"
        "\"check\":\"off\",\"greyed\":false,"
        "\"disabled\":true,\"selected\":true}],\"balloons\":[\"A new program starts with Windows|\\\"App\\\"\"],",
        "\"prompts\":[\"Tweak Details\"]}",
    };
    for (const char* part : parts) {
        EXPECT_NE(json.find(part), std::string::npos) << part << "\n" << json;
    }
    EXPECT_EQ(GUI::ToJson(GUI::WindowState{}).back(), '}');
}

}  // namespace
