#pragma once
// The main window's logic over a real catalogue: a Manager on the scratch
// key with categories of registry tweaks, one section per category, the run
// tracer, and a recorder of the commands posted to the window. Pacing is off.
#include <gtest/gtest.h>

#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "core/system/ShellFolders.h"
#include "gui/RunTracer.h"
#include "tests/tweaker/RunRecorders.h"
#include "tests/tweaker/TweakerFixture.h"

namespace GuiTesting {

class RecordingPoster final : public GUI::ICommandPoster {
public:
    void PostCommand(int command, intptr_t) override
    {
        std::lock_guard lock(mutex_);
        posted_.push_back(command);
    }
    std::vector<int> Posted() const
    {
        std::lock_guard lock(mutex_);
        return posted_;
    }

private:
    mutable std::mutex mutex_;
    std::vector<int> posted_;
};

struct CatalogueTweak {
    std::wstring name;
    bool selected = true;
    bool inEffect = false;             // the registry holds the tweak's value already
    std::wstring keyAttributes = L"";  // more attributes of its Key
    std::wstring keyInner = L"";       // and what its Key holds
    std::wstring description = L"";
};
struct CatalogueCategory {
    std::wstring name;
    std::vector<CatalogueTweak> tweaks;
};

class GuiTest : public TweakerTesting::TweakerTest {
protected:
    void SetUp() override
    {
        TweakerTest::SetUp();
        const std::wstring& scratch = ScratchFolder();
        const std::wstring folderName = L"CorvaneTests\\" + scratch.substr(scratch.rfind(L'\\') + 1);
#ifndef _WIN32
        Portable().System().SetSpecialFolder(Sys::Csidl::AppData, PathOf(L"AppData"));
#endif
        manager_ = std::make_unique<Tweaker::Manager>();
        manager_->SetFolderName(folderName);
        manager_->SetRefreshOnly(true);
    }
    void TearDown() override
    {
        if (manager_) {
            (void)manager_->WaitForRun(Platform::kInfinite);
            manager_.reset();
        }
        TweakerTest::TearDown();
    }

    Tweaker::Manager& M()
    {
        return *manager_;
    }

    // A tweak setting DWORD <name> of the scratch key to 1.
    std::wstring TweakXml(const CatalogueTweak& t)
    {
        return L"<Tweak n=\"" + t.name + L"\" enabled=\"" + (t.selected ? L"1" : L"0") + L"\"><d>" + t.description +
               L"</d><Key parent=\"HKCU\" path=\"" + ScratchKeyPath() + L"\" valuename=\"" + t.name +
               L"\" valuetype=\"REG_DWORD\" valueval=\"1\" " + t.keyAttributes + L">" + t.keyInner + L"</Key></Tweak>";
    }

    void Catalogue(const std::vector<CatalogueCategory>& categories)
    {
        std::wstring xml = L"<Tweaks>";
        for (const CatalogueCategory& category : categories) {
            xml += L"<Category n=\"" + category.name + L"\">";
            for (const CatalogueTweak& t : category.tweaks) {
                xml += TweakXml(t);
                if (t.inEffect) {
                    WriteDword(L"", t.name, 1);
                }
            }
            xml += L"</Category>";
        }
        for (auto& category : LoadTweaks(M(), xml + L"</Tweaks>")) {
            M().Categories().push_back(category);
        }
        int index = 0;
        for (auto& category : M().Categories()) {
            sections_.push_back(std::make_unique<GUI::Section>(category, index++));
        }
        tracer_ = std::make_unique<GUI::RunTracer>(&M(), sections_, poster_);
    }

    // The DWORD a tweak sets, or -1 when it is missing.
    int64_t Dword(const std::wstring& name)
    {
        uint32_t type = 0;
        std::vector<uint8_t> data;
        if (ReadValue(L"", name, &type, &data) != 0 || data.size() != 4) {
            return -1;
        }
        return data[0] | (data[1] << 8) | (data[2] << 16) | (int64_t(data[3]) << 24);
    }

    void RunAnalysis()
    {
        M().StartAnalysis(tracer_.get());
        ASSERT_EQ(M().WaitForRun(Platform::kInfinite), 0u);
    }
    void RunTuneUp()
    {
        ASSERT_EQ(M().StartTuneUp(tracer_.get(), false), 0u);
        ASSERT_EQ(M().WaitForRun(Platform::kInfinite), 0u);
    }
    std::vector<GUI::SectionMode> Modes() const
    {
        std::vector<GUI::SectionMode> modes;
        for (const auto& section : sections_) {
            modes.push_back(section->Mode());
        }
        return modes;
    }

    std::unique_ptr<Tweaker::Manager> manager_;
    GUI::SectionList sections_;
    RecordingPoster poster_;
    std::unique_ptr<GUI::RunTracer> tracer_;
};

}  // namespace GuiTesting
