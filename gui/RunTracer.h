#pragma once
// The progress sink of the analyse and tune-up runs: turns the stages the
// worker reports into section modes and progress, copies each category's
// results into its section when the worker is done with it, and posts one
// Tuning command (5000) when a whole run ends, cancelled or not. Called on the
// worker, except for refreshes, which come on the user-interface thread.
#include <memory>
#include <vector>

#include "core/rti/ITracer.h"
#include "gui/Commands.h"
#include "gui/Section.h"

namespace GUI {

using SectionList = std::vector<std::unique_ptr<Section>>;

class RunTracer final : public RTI::ITracer {
public:
    // `catalogue` is the subject of whole-run stages (the Manager).
    RunTracer(const void* catalogue, SectionList& sections, ICommandPoster& poster)
        : catalogue_(catalogue), sections_(sections), poster_(poster)
    {
    }

    void Begin(const void* subject, unsigned stage) override;
    void End(const void* subject, unsigned stage) override;
    void Trace(uint32_t code, int32_t first, int32_t second) override;

private:
    Section* Find(const void* category) const;
    void SetAll(SectionMode mode, bool capture);

    const void* catalogue_;
    SectionList& sections_;
    ICommandPoster& poster_;
    // Written and read by the worker only.
    Section* target_ = nullptr;
    int32_t position_ = 0;
    int32_t maximum_ = 0;
};

}  // namespace GUI
