#pragma once
// The system summary: four items, each with the label the summary shows and
// its text, probed once. The window draws them; the command line prints them.
//
//   for (auto& item : GUI::SystemInfo::ProbedItems()) draw(item->Label(), item->Text());
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "core/rti/Dynamic.h"
#include "core/rti/Reference.h"
#include "sysinfo/DiskIdentity.h"

namespace GUI::SystemInfo {

class IItem : public RTI::Dynamic {
public:
    virtual const wchar_t* Label() const = 0;
    // Fills the text from the system; 0.
    virtual uint32_t Probe() = 0;
    const std::wstring& Text() const { return text_; }
    bool HasText() const { return !text_.empty(); }

protected:
    std::wstring text_;
};

class OS final : public IItem {
public:
    const wchar_t* Label() const override { return L"System Summary:"; }
    uint32_t Probe() override;
};

class Computer final : public IItem {
public:
    const wchar_t* Label() const override { return L"Computer:"; }
    uint32_t Probe() override;
};

class Video final : public IItem {
public:
    const wchar_t* Label() const override { return L"Video:"; }
    uint32_t Probe() override;
};

class HDD final : public IItem {
public:
    const wchar_t* Label() const override { return L"HDD:"; }
    uint32_t Probe() override;
};

// The four items in the order shown, each probed once, without those that
// found nothing.
std::vector<RTI::Reference<IItem>> ProbedItems();

}  // namespace GUI::SystemInfo

namespace SysInfo {

// The same facts with their parts, for reports.
struct Summary {
    int osCode = 0;
    std::wstring osName;
    std::optional<uint64_t> memoryBytes;
    std::wstring displayAdapter;
    std::vector<DiskIdentity> disks;
};

Summary ProbeSummary();

}  // namespace SysInfo
