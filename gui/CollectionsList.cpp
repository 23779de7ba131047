#include "gui/CollectionsList.h"

#include <algorithm>

#include "core/xml/XmlDocument.h"

namespace GUI {

namespace {

constexpr int kIconLeft = 13;
constexpr int kIconTop = 18;
constexpr int kIconWidth = 39;
constexpr int kIconHeight = 33;
constexpr int kTextLeft = 77;
constexpr int kLinkHeight = 16;
constexpr int kRunKnobsetWidth = 80;
constexpr int kSelectFileWidth = 70;
constexpr int kLinkGap = 20;
constexpr int kLinkBottomMargin = 8;

}  // namespace

uint32_t CollectionsList::Load(std::string_view utf8)
{
    rows_.clear();
    problem_.clear();
    XmlDocument doc;
    if (const uint32_t s = doc.LoadFromUtf8(utf8)) {
        problem_ = doc.GetError();
        return s;
    }
    if (!doc.FindElem(L"Collections")) {
        problem_ = L"the root element is not Collections";
        return 0xFFFFFFFFu;
    }
    while (doc.FindChildElem(L"Set")) {
        CollectionRow row;
        row.name = doc.GetChildAttrib(L"n");
        row.icon = doc.GetChildAttrib(L"i");
        row.custom = row.name == L"Custom";
        if (doc.IntoElem()) {
            if (doc.FindChildElem(L"d")) {
                row.description = doc.GetChildData();
            }
            (void)doc.OutOfElem();
        }
        rows_.push_back(std::move(row));
    }
    return 0;
}

void CollectionsList::Show(int width)
{
    width_ = width;
    scroll_ = 0;
    const int rowWidth = std::max(0, width_ - kScrollBarWidth);
    for (size_t i = 0; i < rows_.size(); ++i) {
        CollectionRow& row = rows_[i];
        const int y = static_cast<int>(i) * kRowHeight;
        row.background = i % 2 == 1 ? kOddColour : 0xFFFFFFFF;
        row.row = {0, y, rowWidth, kRowHeight};
        row.iconArea = {kIconLeft, y + kIconTop, kIconWidth, kIconHeight};
        const int linkTop = y + kRowHeight - kLinkHeight - kLinkBottomMargin;
        row.runKnobset = row.custom ? Rect{kTextLeft, linkTop, kRunKnobsetWidth, kLinkHeight} : Rect{};
        row.selectFile =
            row.custom ? Rect{kTextLeft + kRunKnobsetWidth + kLinkGap, linkTop, kSelectFileWidth, kLinkHeight} : Rect{};
    }
}

void CollectionsList::SetScroll(int position)
{
    scroll_ = std::clamp(position, 0, std::max(0, ScrollRange() - kRowHeight));
}

CollectionAction CollectionsList::Click(int x, int y) const
{
    const int listY = y + scroll_;
    for (const CollectionRow& row : rows_) {
        if (!row.custom) {
            continue;
        }
        if (row.runKnobset.Contains(x, listY)) {
            return CollectionAction::RunKnobset;
        }
        if (row.selectFile.Contains(x, listY)) {
            return CollectionAction::SelectFile;
        }
    }
    return CollectionAction::None;
}

}  // namespace GUI
