#include "app/cli/Progress.h"

#include <algorithm>
#include <utility>

namespace Cli {
namespace {

constexpr size_t kCells = 20;
constexpr size_t kMaxNameWidth = 40;

// Stages of the runs around a category.
bool IsCategoryStage(unsigned stage)
{
    return stage == Tweaker::RunStage::AnalysisCategory || stage == Tweaker::RunStage::TuneUpCategory;
}

}  // namespace

ProgressPlace ChooseProgress(const IConsole& console, bool json)
{
    if (json) {
        return {Stream::Err, console.IsTerminal(Stream::Err) ? ProgressStyle::Bars : ProgressStyle::None};
    }
    return {Stream::Out, console.IsTerminal(Stream::Out) ? ProgressStyle::Bars : ProgressStyle::Lines};
}

ProgressDisplay::ProgressDisplay(IConsole& console, ProgressPlace place, Tweaker::Manager& manager, std::wstring done)
    : console_(console), place_(place), done_(std::move(done))
{
    for (const auto& category : manager.Categories()) {
        names_[category.Get()] = category->GetName();
        width_ = std::max(width_, std::min(category->GetName().size(), kMaxNameWidth));
    }
}

std::wstring ProgressDisplay::Bar(const std::wstring& name, size_t width, int32_t done, int32_t total)
{
    std::wstring text = name;
    if (text.size() < width) {
        text.append(width - text.size(), L' ');
    }
    const int32_t shown = std::clamp(done, 0, std::max(total, 0));
    const size_t lit = total > 0 ? static_cast<size_t>(shown) * kCells / static_cast<size_t>(total) : 0;
    text += L"  [";
    text.append(lit, L'#');
    text.append(kCells - lit, L'-');
    text += L"]  " + std::to_wstring(shown) + L"/" + std::to_wstring(std::max(total, 0));
    return text;
}

void ProgressDisplay::Draw(bool last)
{
    if (place_.style != ProgressStyle::Bars || current_ == nullptr || total_ <= 0) {
        return;  // the bar starts once the run told the category's steps
    }
    std::wstring bar = Bar(names_[current_], width_, steps_, total_);
    if (bar == shown_ && !last) {
        return;
    }
    shown_ = last ? std::wstring() : bar;
    const size_t length = bar.size();
    if (length < drawn_) {
        bar.append(drawn_ - length, L' ');  // wipe what a longer bar left
    }
    drawn_ = last ? 0 : length;
    console_.Write(place_.stream, L"\r" + bar + (last ? L"\n" : L""));
}

void ProgressDisplay::Begin(const void* subject, unsigned stage)
{
    if (!IsCategoryStage(stage) || !IsCategory(subject)) {
        return;
    }
    current_ = subject;
    steps_ = 0;
    total_ = 0;
}

void ProgressDisplay::End(const void* subject, unsigned stage)
{
    if (stage == Tweaker::kChildStage) {
        if (current_ != nullptr) {
            ++steps_;
            Draw(false);
        }
        return;
    }
    if (!IsCategoryStage(stage) || subject != current_) {
        return;
    }
    steps_ = total_;
    if (place_.style == ProgressStyle::Bars) {
        Draw(true);
    } else if (place_.style == ProgressStyle::Lines) {
        console_.Write(place_.stream, done_ + L" " + names_[current_] + L"\n");
    }
    current_ = nullptr;
}

void ProgressDisplay::Trace(uint32_t code, int32_t /*first*/, int32_t second)
{
    if (current_ == nullptr) {
        return;
    }
    if (code == RTI::TraceCode::Max) {
        total_ = second;
        Draw(false);
    } else if (code == RTI::TraceCode::Done) {
        steps_ = total_;
        Draw(false);
    }
}

}  // namespace Cli
