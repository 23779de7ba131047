#include "gui/Section.h"

namespace GUI {

int CellsForShare(double share)
{
    double tenths = share * 10.0;
    if (tenths > 0.0 && tenths < 1.0) {
        tenths = 1.0;
    } else if (tenths > 9.0 && tenths < 10.0) {
        tenths = 9.0;
    }
    if (tenths < 0.0) {
        return 0;
    }
    return tenths > 10.0 ? 10 : static_cast<int>(tenths);
}

namespace {

void SetStatus(SectionView& view, const wchar_t* text, uint32_t colour, SectionFont font)
{
    view.status = text;
    view.statusColour = colour;
    view.statusFont = font;
}

void ResultStatus(SectionView& view, const CategoryFigures& f)
{
    if (f.state == 2) {
        SetStatus(view, L"all selected tweaks were applied", SectionColour::Blue, SectionFont::Title);
    } else if (f.state == 1) {
        SetStatus(view, L"part of tweaks were applied", SectionColour::Blue, SectionFont::Title);
    } else if (f.selected > 0) {
        SetStatus(view, L"no tweaks were applied", SectionColour::Red, SectionFont::Title);
    } else {
        SetStatus(view, L"no selected tweaks for applying", SectionColour::Red, SectionFont::Title);
    }
}

}  // namespace

SectionView Describe(SectionMode mode, int32_t position, int32_t maximum, const CategoryFigures& f)
{
    SectionView view;
    view.mode = mode;
    view.position = position;
    view.maximum = maximum;
    view.figures = f;
    switch (mode) {
        case SectionMode::Analysed:
        case SectionMode::Applied:
            ResultStatus(view, f);
            break;
        case SectionMode::NotAnalysed:
            if (f.analysed) {
                SetStatus(view, L"completed", SectionColour::Blue, SectionFont::Title);
            } else {
                SetStatus(view, L"not analysed", SectionColour::Red, SectionFont::Status);
            }
            break;
        case SectionMode::Analysing:
        case SectionMode::Applying:
            SetStatus(view, L"processing...", SectionColour::Orange, SectionFont::Status);
            break;
        case SectionMode::ApplyPending:
            SetStatus(view, f.analysed ? L"completed" : L"not processed", SectionColour::Blue, SectionFont::Title);
            break;
    }
    if (mode == SectionMode::Analysed) {
        view.summary = std::to_wstring(f.children) + L" in general/" + std::to_wstring(f.inEffect) + L" applied";
    }
    view.grey = mode == SectionMode::NotAnalysed || mode == SectionMode::ApplyPending;

    Cell lit = Cell::Gray;
    int n = 0;
    if (mode == SectionMode::Analysing || mode == SectionMode::Applying) {
        // A maximum of zero or less (no 'max' yet) lights nothing.
        if (maximum > 0 && position > 0) {
            const int64_t cells = int64_t(position) * 10 / maximum;
            n = cells > 10 ? 10 : static_cast<int>(cells);
        }
        lit = Cell::Green;
    } else if (mode == SectionMode::ApplyPending || mode == SectionMode::Applied || f.analysed) {
        n = CellsForShare(f.share);
        lit = f.state == 1 ? Cell::Yellow : f.state == 2 ? Cell::Green : Cell::Red;
    }
    view.litCells = n;
    for (int i = 0; i < 10; ++i) {
        view.cells[i] = i < n ? lit : Cell::Gray;
    }
    view.customizeActive = (mode == SectionMode::Analysed || mode == SectionMode::Applied) && f.children > 0;
    return view;
}

Section::Section(RTI::Reference<Tweaker::Group> category, int index)
    : category_(std::move(category)), index_(index), name_(category_ ? category_->GetName() : std::wstring())
{
    CaptureFigures();
}

void Section::SetMode(SectionMode mode)
{
    std::lock_guard lock(mutex_);
    mode_ = mode;
    if (mode == SectionMode::Analysing || mode == SectionMode::Applying) {
        position_ = 0;
        maximum_ = 1;
    }
}

void Section::SetProgress(int32_t position, int32_t maximum)
{
    std::lock_guard lock(mutex_);
    position_ = position;
    maximum_ = maximum;
}

void Section::CaptureFigures()
{
    CategoryFigures f;
    if (category_) {
        f.analysed = category_->IsAnalysed();
        f.state = category_->GetState();
        f.share = category_->GetAppliedShare();
        f.children = category_->CountChildren();
        f.selected = category_->CountSelected();
        for (const auto& child : category_->GetChildren()) {
            if (child->GetAppliedShare() != 0.0) {
                ++f.inEffect;
            }
        }
    }
    std::lock_guard lock(mutex_);
    figures_ = f;
}

SectionMode Section::Mode() const
{
    std::lock_guard lock(mutex_);
    return mode_;
}

SectionView Section::View() const
{
    SectionMode mode;
    int32_t position;
    int32_t maximum;
    CategoryFigures figures;
    {
        std::lock_guard lock(mutex_);
        mode = mode_;
        position = position_;
        maximum = maximum_;
        figures = figures_;
    }
    SectionView view = Describe(mode, position, maximum, figures);
    view.name = name_;
    view.rowColour = index_ % 2 == 0 ? SectionColour::EvenRow : SectionColour::OddRow;
    return view;
}

}  // namespace GUI
