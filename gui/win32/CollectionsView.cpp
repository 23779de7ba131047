#include "gui/win32/CollectionsView.h"

#include "core/resources/ResourceBytes.h"
#include "gui/Commands.h"
#include "gui/win32/UserFileSeam.h"

namespace GUI {

uint32_t CollectionsView::Load(const std::wstring& programFolder, const std::wstring& userTweaksPath,
                               IUserFileSeam* seam)
{
    std::span<const uint8_t> bytes;
    const uint32_t found = Resources::FindResourceBytes(L"COLLECTIONS", Resources::kBinaryType, bytes);
    const std::string_view text =
        found == 0 ? std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()) : std::string_view();
    const uint32_t loaded = LoadText(text, programFolder, userTweaksPath, seam);
    return found != 0 ? found : loaded;
}

uint32_t CollectionsView::LoadText(std::string_view utf8, const std::wstring& programFolder,
                                   const std::wstring& userTweaksPath, IUserFileSeam* seam)
{
    programFolder_ = programFolder;
    userTweaksPath_ = userTweaksPath;
    seam_ = seam;
    const uint32_t status = utf8.empty() ? 0 : list_.Load(utf8);
    Relayout();
    return status;
}

void CollectionsView::Show()
{
    ResetScroll();
    Relayout();
    ShowWindow(hwnd(), SW_SHOW);
}

void CollectionsView::OnClick(int x, int y)
{
    switch (list_.Click(x, y)) {
        case CollectionAction::RunKnobset: {
            Win32UserFileSeam system(hwnd());
            knobsetStatus_ = RunKnobset(programFolder_, userTweaksPath_, seam_ ? *seam_ : system);
            break;
        }
        case CollectionAction::SelectFile:
            Post(Command::UserTweaksPath, reinterpret_cast<LPARAM>(hwnd()));
            break;
        case CollectionAction::None:
            break;
    }
}

void CollectionsView::Paint(Aqua::DrawList& list, Aqua::Rect size)
{
    list.Add(Aqua::FillOp{size, 0xFFFFFFFF});
    for (const CollectionRow& row : list_.Rows()) {
        const Aqua::Rect place = Place(row.row);
        if (place.bottom() < 0 || place.y > size.height) {
            continue;
        }
        const int y = row.row.top;
        const int textWidth = row.row.width - 77 - 16;
        list.Add(Aqua::FillOp{place, row.background});
        list.Add(Aqua::ImageOp{row.icon, {}, Place(row.iconArea)});
        list.Add(Aqua::TextOp{Place(77, y + 12, textWidth, 18), row.name, TextFont(10, Aqua::kBold), 0xFF000000});
        // Wrapped under the name: the row has room for the whole description.
        list.Add(Aqua::TextOp{Place(77, y + 34, textWidth, row.custom ? 68 : 93), row.description, TextFont(8),
                              CollectionsList::kDescriptionColour});
        if (row.custom) {
            list.Add(Aqua::TextOp{Place(row.runKnobset), CollectionsList::kRunKnobsetText,
                                  TextFont(8, Aqua::kUnderline), CollectionsList::kLinkColour});
            list.Add(Aqua::TextOp{Place(row.selectFile), CollectionsList::kSelectFileText,
                                  TextFont(8, Aqua::kUnderline), CollectionsList::kLinkColour});
        }
    }
}

}  // namespace GUI
