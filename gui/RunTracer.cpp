#include "gui/RunTracer.h"

#include "tweaker/Group.h"
#include "tweaker/Manager.h"

namespace GUI {

using Tweaker::RunStage::Analysis;
using Tweaker::RunStage::AnalysisCategory;
using Tweaker::RunStage::Refreshed;
using Tweaker::RunStage::TuneUp;
using Tweaker::RunStage::TuneUpCategory;
constexpr unsigned kChildStage = 2;

Section* RunTracer::Find(const void* category) const
{
    for (const auto& section : sections_) {
        if (section->Category().Get() == category) {
            return section.get();
        }
    }
    return nullptr;
}

void RunTracer::SetAll(SectionMode mode, bool capture)
{
    for (const auto& section : sections_) {
        if (capture) {
            section->CaptureFigures();
        }
        section->SetMode(mode);
    }
}

void RunTracer::Begin(const void* subject, unsigned stage)
{
    if (subject == catalogue_) {
        if (stage == Analysis) {
            SetAll(SectionMode::NotAnalysed, true);
        } else if (stage == TuneUp) {
            SetAll(SectionMode::ApplyPending, true);
        }
        return;
    }
    if (stage != AnalysisCategory && stage != TuneUpCategory) {
        return;
    }
    target_ = Find(subject);
    position_ = 0;
    maximum_ = 0;
    if (target_) {
        target_->SetMode(stage == AnalysisCategory ? SectionMode::Analysing : SectionMode::Applying);
    }
}

void RunTracer::End(const void* subject, unsigned stage)
{
    if (stage == kChildStage) {
        ++position_;
        if (target_) {
            target_->SetProgress(position_, maximum_);
        }
        return;
    }
    if (subject == catalogue_) {
        // A whole run is over: every section shows the results, and the
        // window goes back to the tuning view once.
        if (stage == Analysis) {
            SetAll(SectionMode::Analysed, true);
        } else if (stage == TuneUp) {
            SetAll(SectionMode::Applied, true);
        } else if (stage == AnalysisCategory) {
            SetAll(SectionMode::NotAnalysed, true);  // the analysis was cancelled
        } else {
            return;
        }
        poster_.PostCommand(Command::Tuning, 0);
        return;
    }
    Section* section = Find(subject);
    if (!section) {
        return;
    }
    if (stage == AnalysisCategory || stage == TuneUpCategory) {
        target_ = nullptr;
        section->CaptureFigures();
        section->SetMode(stage == AnalysisCategory ? SectionMode::NotAnalysed : SectionMode::ApplyPending);
    } else if (stage == Refreshed || stage == Analysis) {
        // A recomputation without a run: new figures, the same mode. Only the
        // end of an analysis marks sections analysed.
        section->CaptureFigures();
    }
}

void RunTracer::Trace(uint32_t code, int32_t first, int32_t second)
{
    if (code == RTI::TraceCode::Max) {
        maximum_ = second;
        position_ = first;
    } else if (code == RTI::TraceCode::Done && target_) {
        target_->SetProgress(1, 1);
    }
}

}  // namespace GUI
