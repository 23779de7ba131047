#include "gui/win32/ProfilesView.h"

namespace GUI {

void ProfilesView::Show(Profiles::ProfileStore& store)
{
    store.ReloadUserProfiles();
    shown_ = store.ShownProfiles();
    list_.Show(shown_, ListWidth());
    ResetScroll();
    Relayout();
    ShowWindow(hwnd(), SW_SHOW);
}

void ProfilesView::ShowAgain()
{
    Relayout();
    ShowWindow(hwnd(), SW_SHOW);
}

void ProfilesView::OnLayout()
{
    list_.Show(shown_, ListWidth());  // the ticks live in the profiles and stay
}

RTI::Reference<Profiles::Profile> ProfilesView::ProfileAt(int row) const
{
    if (row < 0 || static_cast<size_t>(row) >= list_.Rows().size()) {
        return {};
    }
    return list_.Rows()[static_cast<size_t>(row)].profile;
}

void ProfilesView::OnClick(int x, int y)
{
    const ProfileClick click = list_.Click(x, y);
    Invalidate();
    if (click.command == 0) {
        return;
    }
    Post(click.command, click.row >= 0 ? static_cast<LPARAM>(click.row) : reinterpret_cast<LPARAM>(hwnd()));
}

void ProfilesView::Paint(Aqua::DrawList& list, Aqua::Rect size)
{
    list.Add(Aqua::FillOp{size, 0xFFFFFFFF});
    for (const ProfileRow& row : list_.Rows()) {
        const Aqua::Rect place = Place(row.row);
        if (place.bottom() < 0 || place.y > size.height) {
            continue;
        }
        const int y = row.row.top;
        list.Add(Aqua::FillOp{place, row.background});
        list.Add(Aqua::ImageOp{row.icon, {}, Place(13, y + 8, 32, 32)});
        const int textWidth = row.row.width - 77 - 50;
        list.Add(Aqua::TextOp{Place(77, row.titleTop, textWidth, 16), row.title, TextFont(8, Aqua::kBold), 0xFF000000,
                              Aqua::TextAlign::Left, true});
        list.Add(Aqua::TextOp{Place(row.more), ProfilesList::kMoreText, TextFont(8, Aqua::kUnderline),
                              ProfilesList::kLinkColour});
        list.Add(Aqua::TextOp{Place(77, row.titleTop + 16, textWidth, 35), row.subtitle, TextFont(8), kSecondLineColour,
                              Aqua::TextAlign::Left, true});
        const int frame = row.profile->checked ? 4 : 0;
        list.Add(Aqua::ImageOp{L"XP.CHECKBOX", {0, 16 * frame, 16, 16}, Place(row.checkBox)});
    }
}

bool ProfileInfo::Create(HWND parent, Aqua::Rect place)
{
    return CreateHandle(0, L"", WS_CHILD, place.x, place.y, place.width, place.height, parent, 0);
}

void ProfileInfo::Show(const Profiles::Profile& profile)
{
    text_ = ProfileInfoText(profile);
    Invalidate();
    ShowWindow(hwnd(), SW_SHOW);
}

void ProfileInfo::Paint(Aqua::DrawList& list, Aqua::Rect size)
{
    list.Add(Aqua::FillOp{size, kBackground});
    const int inset = scaler().Scale(20);
    list.Add(Aqua::TextOp{{inset, inset, size.width - 2 * inset, size.height - 2 * inset},
                          text_,
                          {std::wstring(Aqua::kTahoma), 8},
                          0xFF000000});
}

}  // namespace GUI
