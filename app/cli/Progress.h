#pragma once
// Progress of a run, fed by the worker through the tracer: on a terminal a
// bar per category, redrawn in place; on a pipe or file one plain line per
// category when it is done; or nothing.
#include <cstdint>
#include <map>
#include <string>

#include "app/cli/Console.h"
#include "core/rti/ITracer.h"
#include "tweaker/Manager.h"

namespace Cli {

enum class ProgressStyle { None, Bars, Lines };

struct ProgressPlace {
    Stream stream = Stream::Out;
    ProgressStyle style = ProgressStyle::None;
};

// Text reports show progress on standard output; JSON keeps standard output
// for the document and shows bars on standard error only when that is a
// terminal.
ProgressPlace ChooseProgress(const IConsole& console, bool json);

class ProgressDisplay final : public RTI::ITracer {
public:
    // `done` names what happened to a category: "Analysed", "Tuned up".
    ProgressDisplay(IConsole& console, ProgressPlace place, Tweaker::Manager& manager, std::wstring done);

    void Begin(const void* subject, unsigned stage) override;
    void End(const void* subject, unsigned stage) override;
    void Trace(uint32_t code, int32_t first, int32_t second) override;

    // The bar of a category: name padded to `width`, twenty cells, the count.
    static std::wstring Bar(const std::wstring& name, size_t width, int32_t done, int32_t total);

private:
    bool IsCategory(const void* subject) const { return names_.count(subject) != 0; }
    void Draw(bool last);

    IConsole& console_;
    ProgressPlace place_;
    std::wstring done_;
    std::map<const void*, std::wstring> names_;  // category -> name
    size_t width_ = 0;
    const void* current_ = nullptr;
    int32_t steps_ = 0;
    int32_t total_ = 0;
    size_t drawn_ = 0;    // length of the bar on the screen
    std::wstring shown_;  // the bar last drawn, not drawn again
};

}  // namespace Cli
