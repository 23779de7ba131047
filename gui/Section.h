#pragma once
// GUI::Section without its window: one row of the tuning view per top-level
// category. It keeps the run mode and progress the tracer gives it and a copy
// of its category's results taken when the worker is done with the category,
// so that painting never reads what the worker is writing. Painting asks for
// a SectionView: one consistent copy with the texts, colours and cells.
#include <cstdint>
#include <mutex>
#include <string>

#include "core/rti/Reference.h"
#include "tweaker/Group.h"

namespace GUI {

enum class SectionMode : int {
    Analysed = 0,
    NotAnalysed = 1,
    Analysing = 2,
    Applying = 3,
    ApplyPending = 4,
    Applied = 5,
};

// ARGB colours of the section texts.
namespace SectionColour {
constexpr uint32_t Blue = 0xFF0074FF;
constexpr uint32_t Red = 0xFFFF1E00;
constexpr uint32_t Orange = 0xFFDA8A00;
constexpr uint32_t Grey = 0xFF969696;
constexpr uint32_t EvenRow = 0xFFFFFFFF;
constexpr uint32_t OddRow = 0xFFE7F5FD;
}  // namespace SectionColour

enum class SectionFont { Title, Status };
enum class Cell { Gray, Green, Yellow, Red };

// The category's results as the section last copied them.
struct CategoryFigures {
    bool analysed = false;
    int state = 0;       // 0 none, 1 some, 2 all selected in effect
    double share = 0.0;  // applied fraction 0..1
    int children = 0;
    int selected = 0;
    int inEffect = 0;  // children whose applied fraction is not zero
};

// Everything one paint needs, taken at once.
struct SectionView {
    SectionMode mode = SectionMode::NotAnalysed;
    int32_t position = 0;
    int32_t maximum = 1;
    CategoryFigures figures;
    std::wstring name;
    std::wstring status;
    uint32_t statusColour = 0;
    SectionFont statusFont = SectionFont::Status;
    std::wstring summary;  // empty unless analysed
    bool grey = false;     // drawn through the desaturating attributes
    Cell cells[10] = {};
    int litCells = 0;
    uint32_t rowColour = SectionColour::EvenRow;
    bool customizeActive = false;  // "Customize..." opens the tweaks view
};

// The number of lit indicator cells for an applied fraction: anything above
// nothing lights one cell, anything short of all leaves one dark.
int CellsForShare(double share);

// Texts, colours and cells of a section in `mode` over `figures`.
SectionView Describe(SectionMode mode, int32_t position, int32_t maximum, const CategoryFigures& figures);

class Section {
public:
    Section(RTI::Reference<Tweaker::Group> category, int index);

    const RTI::Reference<Tweaker::Group>& Category() const { return category_; }
    int Index() const { return index_; }

    // Entering Analysing or Applying resets the progress to 0 of 1.
    void SetMode(SectionMode mode);
    void SetProgress(int32_t position, int32_t maximum);
    // Copies the category's results; called by whoever may read the model
    // now: the worker at a category's end, the user-interface thread when no
    // run is active.
    void CaptureFigures();

    SectionMode Mode() const;
    SectionView View() const;

private:
    RTI::Reference<Tweaker::Group> category_;
    int index_;
    std::wstring name_;
    mutable std::mutex mutex_;
    SectionMode mode_ = SectionMode::NotAnalysed;
    int32_t position_ = 0;
    int32_t maximum_ = 1;
    CategoryFigures figures_;
};

}  // namespace GUI
