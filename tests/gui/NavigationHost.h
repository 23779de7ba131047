#pragma once
// The navigator's host over the test's real catalogue: runs start on the
// Manager with the run tracer (or a tracer the test puts in front of it),
// prompts are answered from a queue and recorded, the other libraries'
// operations are recorded.
#include <deque>
#include <string>
#include <vector>

#include "gui/Navigator.h"
#include "tweaker/Manager.h"

namespace GuiTesting {

class TestHost final : public GUI::INavigationHost {
public:
    TestHost(Tweaker::Manager& manager, GUI::SectionList& sections) : manager_(manager), sections_(sections) {}

    int SectionCount() override { return static_cast<int>(sections_.size()); }
    GUI::SectionMode FirstSectionMode() override { return sections_.at(0)->Mode(); }
    std::wstring LoadProblemText() override { return problem; }
    int CountSelectedNotApplied() override
    {
        int n = 0;
        for (const auto& category : manager_.Categories()) {
            n += category->CountSelectedNotApplied();
        }
        return n;
    }
    bool IsRunning() override { return manager_.IsRunning(); }
    uint32_t StartAnalysis() override
    {
        manager_.StartAnalysis(tracer);
        return 0;
    }
    uint32_t StartTuneUp() override { return manager_.StartTuneUp(tracer, journal); }
    void PauseRun() override { manager_.PauseRun(); }
    void ResumeRun() override { manager_.ResumeRun(); }
    void StopRun() override
    {
        ++stops;
        manager_.StopRun();
    }
    void RecomputeAll() override
    {
        ++recomputes;
        manager_.RecomputeAll();
    }
    bool Ask(const std::wstring& caption, const std::wstring& text) override
    {
        prompts.push_back(caption + L"|" + text);
        const bool ok = !answers.empty() && answers.front();
        if (!answers.empty()) {
            answers.pop_front();
        }
        return ok;
    }
    void Tell(const std::wstring& caption, const std::wstring& text) override
    {
        prompts.push_back(caption + L"|" + text);
    }
    std::wstring OpenTweaks(intptr_t category) override
    {
        return reinterpret_cast<Tweaker::Group*>(category)->GetName();
    }
    bool OpenDetails(intptr_t tweak) override
    {
        const auto* t = reinterpret_cast<Tweaker::ITweak*>(tweak);
        return t->IsEditable() && !t->IsSwitch();
    }
    bool ApplyDetails() override
    {
        ++detailsApplied;
        return true;
    }
    void Perform(int command) override { performed.push_back(command); }
    void ShowHelpTopic(const std::wstring& topic) override { topics.push_back(topic); }

    RTI::ITracer* tracer = nullptr;
    bool journal = false;
    std::wstring problem;
    std::deque<bool> answers;
    std::vector<std::wstring> prompts;
    std::vector<std::wstring> topics;
    std::vector<int> performed;
    int stops = 0;
    int recomputes = 0;
    int detailsApplied = 0;

private:
    Tweaker::Manager& manager_;
    GUI::SectionList& sections_;
};

}  // namespace GuiTesting
