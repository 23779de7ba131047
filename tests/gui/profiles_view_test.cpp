// The profiles view's logic: rows of the shown list, at most one profile
// ticked, the commands a click sends, the Default profile's lower title and
// the details text.
#include <gtest/gtest.h>

#include "gui/Commands.h"
#include "gui/ProfilesList.h"

namespace {

using GUI::ProfilesList;

RTI::Reference<Profiles::Profile> MakeProfile(std::wstring name, std::wstring date = L"", std::wstring extended = L"")
{
    RTI::Reference<Profiles::Profile> p(new Profiles::Profile());
    p->name = std::move(name);
    p->dateText = date;
    p->timeText = date.empty() ? L"" : L"9:05";
    p->shortDescription = L"short";
    p->extendedDescription = std::move(extended);
    return p;
}

TEST(ProfilesView, AtMostOneProfileIsTickedAndEveryClickSendsTheCommand)
{
    ProfilesList list;
    list.Show({MakeProfile(L"Default"), MakeProfile(L"Security and Privacy"), MakeProfile(L"Mine", L"2026.12.09")},
              417);
    ASSERT_EQ(list.Rows().size(), 3u);
    EXPECT_EQ(list.Rows()[0].titleTop, 18) << "Default stands lower";
    EXPECT_EQ(list.Rows()[1].titleTop, 58 + 4);
    EXPECT_EQ(list.Rows()[2].title, L"2026.12.09 Mine");
    EXPECT_EQ(list.Rows()[2].subtitle, L"9:05 short");
    EXPECT_EQ(list.Rows()[1].icon, L"AQUA.MENU.PROFILEODD");
    EXPECT_EQ(list.Rows()[1].checkBox, (GUI::Rect{55, 58 + 19, 16, 16}));
    EXPECT_EQ(list.Rows()[1].more, (GUI::Rect{400 - 45, 62, 40, 16}));

    const struct {
        int x, y;
        int command;
        int row;
        int ticked;
    } clicks[] = {
        {60, 58 + 22, GUI::Command::ProfileChecked, -1, 1},
        {60, 116 + 22, GUI::Command::ProfileChecked, -1, 2},     // a second tick unticks the first
        {200, 30, GUI::Command::ProfileChecked, -1, 2},          // the row beside the box
        {360, 62 + 4, GUI::Command::ShowProfile, 1, 2},          // "more..."
        {60, 116 + 22, GUI::Command::NoProfileChecked, -1, -1},  // unticking the only one
        {60, 500, 0, -1, -1},
    };
    for (const auto& c : clicks) {
        SCOPED_TRACE(c.y);
        const GUI::ProfileClick click = list.Click(c.x, c.y);
        EXPECT_EQ(click.command, c.command);
        EXPECT_EQ(click.row, c.row);
        EXPECT_EQ(list.TickedRow(), c.ticked);
    }
}

TEST(ProfilesView, TheDetailsAreTheNameAndTheExtendedDescription)
{
    EXPECT_EQ(GUI::ProfileInfoText(*MakeProfile(L"Mine", L"", L"All of it.")), L"Mine\n\nAll of it.");
    EXPECT_EQ(GUI::ProfileInfoText(*MakeProfile(L"Bare")), L"Bare\n\nNo detailed information");
}

}  // namespace
