#pragma once
// Shared pieces of the profile tests: a catalogue read from XML text whose
// registry items live below the scratch key (@KEY@ in the text), a
// configuration folder of the test's own, prompts that answer from a script
// and record what they were told, and a store over it all.
#include <gtest/gtest.h>

#include <deque>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/system/ShellFolders.h"
#include "core/text/Utf.h"
#include "profiles/ProfileStore.h"
#include "tests/support/Scratch.h"
#include "tweaker/ITweakSetSource.h"
#include "tweaker/Key.h"
#include "tweaker/Manager.h"
#include "tweaker/RunControl.h"
#include "tweaker/SimpleTweak.h"

namespace ProfileTesting {

class ScriptedPrompts final : public Profiles::IProfilePrompts {
public:
    bool AskProfileDetails(Profiles::ProfileDetails* details) override
    {
        ++asked;
        if (answers.empty()) {
            return false;  // cancel
        }
        *details = answers.front();
        answers.pop_front();
        return true;
    }
    void ShowNameOccupied(const std::wstring& name) override { occupied.push_back(name); }
    bool ConfirmDelete() override { return confirm; }
    void ShowSetCompleted() override { ++completed; }
    void ShowFailure(const std::wstring& text) override { failures.push_back(text); }

    std::deque<Profiles::ProfileDetails> answers;
    bool confirm = true;
    int asked = 0;
    int completed = 0;
    std::vector<std::wstring> occupied;
    std::vector<std::wstring> failures;
};

class TextSets final : public Tweaker::ITweakSetSource {
public:
    uint32_t ReadSet(std::wstring_view setName, std::string* utf8, std::wstring* where) override
    {
        const auto found = sets.find(std::wstring(setName));
        if (found == sets.end()) {
            return 2;
        }
        *utf8 = found->second;
        *where = std::wstring(setName);
        return 0;
    }
    std::map<std::wstring, std::string> sets;
};

class ProfileTest : public Testing::ScratchTest {
protected:
    void SetUp() override
    {
        ScratchTest::SetUp();
        Tweaker::SetPacing(Tweaker::Pacing::Off);
        const std::wstring name = ScratchFolder().substr(ScratchFolder().rfind(L'\\') + 1);
        folderName_ = L"CorvaneTests-" + name;
        lockName_ = L"Local\\CorvaneTests.Profiles." + name;
#ifndef _WIN32
        Portable().System().SetSpecialFolder(Sys::Csidl::AppData, PathOf(L"AppData"));
#endif
        userTweaksPath_.emplace(Platform::CurrentUser(), L"Software\\Corvane", L"UserTweaksPath");
        ASSERT_EQ(0u, userTweaksPath_->SetString(L""));
    }
    void TearDown() override
    {
        store_.reset();
        const std::wstring folder = manager_ ? manager_->ConfigurationFolder() : std::wstring();
        manager_.reset();
        if (!folder.empty()) {
            (void)Testing::DeleteFolderTree(folder);
        }
        userTweaksPath_.reset();
        Tweaker::SetPacing(Tweaker::Pacing::On);
        ScratchTest::TearDown();
    }

public:
    // A new catalogue (a program start) from the tweak file text, with the
    // test's Config.xml; "@KEY@" stands for the scratch key's path. nullptr
    // text: the shipped tweak sets.
    Tweaker::Manager& Load(const wchar_t* catalogue, int systemCode = 14)
    {
        store_.reset();
        manager_ = std::make_unique<Tweaker::Manager>();
        manager_->SetSystemCodeOverride(systemCode);
        if (catalogue != nullptr) {
            std::wstring text(catalogue);
            for (size_t at = text.find(L"@KEY@"); at != std::wstring::npos; at = text.find(L"@KEY@", at)) {
                text.replace(at, 5, ScratchKeyPath());
            }
            std::string utf8;
            EXPECT_EQ(0u, Text::WideToUtf8(text, &utf8));
            sets_.sets[L"Free"] = utf8;
            manager_->SetTweakSetSource(&sets_);
        }
        EXPECT_TRUE(manager_->LoadCatalogue(folderName_));
        manager_->SetTweakSetSource(nullptr);
        return *manager_;
    }

    // The store over the loaded catalogue, its lists filled as the window
    // fills them. nullptr text: the PROFILES resource.
    Profiles::ProfileStore& Store(const char* builtIn = "<Profiles/>")
    {
        store_ = std::make_unique<Profiles::ProfileStore>(*manager_, prompts_, lockName_);
        store_->MakeDefaultProfile();
        if (builtIn != nullptr) {
            store_->LoadBuiltInProfiles(builtIn);
        } else {
            store_->LoadBuiltInProfiles();
        }
        store_->ReloadUserProfiles();
        return *store_;
    }

    Tweaker::TweakValuesMap Collect() const
    {
        Tweaker::TweakValuesMap map;
        manager_->CollectTweakValues(map);
        return map;
    }

    Tweaker::SimpleTweak& Tweak(std::wstring_view name) const
    {
        for (const auto& category : manager_->Categories()) {
            for (const auto& child : category->GetChildren()) {
                if (auto* tweak = dynamic_cast<Tweaker::SimpleTweak*>(child.Get()); tweak && tweak->GetName() == name) {
                    return *tweak;
                }
            }
        }
        ADD_FAILURE() << "no tweak " << Narrow(name);
        static Tweaker::SimpleTweak none;
        return none;
    }
    Tweaker::Key& KeyOf(std::wstring_view tweak, size_t index = 0) const
    {
        return *dynamic_cast<Tweaker::Key*>(Tweak(tweak).GetItems().at(index).Get());
    }

    // The shown profile of that name (the first one).
    Profiles::Profile* Shown(std::wstring_view name) const
    {
        for (const auto& profile : store_->ShownProfiles()) {
            if (profile->name == name) {
                return profile.Get();
            }
        }
        return nullptr;
    }
    std::vector<Profiles::Profile*> UserProfiles() const
    {
        std::vector<Profiles::Profile*> users;
        for (const auto& profile : store_->ShownProfiles()) {
            if (profile->kind == Profiles::ProfileKind::User) {
                users.push_back(profile.Get());
            }
        }
        return users;
    }
    uint32_t SetProfile(std::wstring_view name)
    {
        Profiles::Profile* profile = Shown(name);
        EXPECT_NE(nullptr, profile) << Narrow(name);
        if (profile == nullptr) {
            return 87;
        }
        profile->checked = true;
        return store_->SetCheckedProfiles();
    }
    uint32_t Save(std::wstring name, std::wstring shortText = L"", std::wstring extended = L"",
                  std::wstring* path = nullptr)
    {
        prompts_.answers.push_back({std::move(name), std::move(shortText), std::move(extended)});
        return store_->SaveCurrentAsProfile(path);
    }
    std::string ConfigText()
    {
        return ReadFile(manager_->ConfigurationPath());
    }

    static std::string Narrow(std::wstring_view text)
    {
        std::string utf8;
        (void)Text::WideToUtf8(text, &utf8);
        return utf8;
    }

    std::unique_ptr<Tweaker::Manager> manager_;
    std::unique_ptr<Profiles::ProfileStore> store_;
    ScriptedPrompts prompts_;
    TextSets sets_;
    std::wstring lockName_;

private:
    std::wstring folderName_;
    std::optional<Testing::SavedValue> userTweaksPath_;
};

}  // namespace ProfileTesting
