// The whole shipped catalogue (the built-in set, "Silver" and "Gold"), every
// tweak selected, analysed and tuned up with a backup, then the backup point
// restored: every registry key the tweaks name comes back byte-identical and
// every shortcut they made is gone; only the files of cleanup tweaks stay
// removed. Natively over the portable platform, and under Wine over the real
// registry of the test prefix.
#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "core/platform/Handles.h"
#include "core/system/OsVersion.h"
#include "core/system/RegistryRoots.h"
#include "core/system/ShellFolders.h"
#include "core/text/Utf.h"
#include "remover/BackupPoints.h"
#include "remover/Reader.h"
#include "tests/support/Scratch.h"
#include "tweaker/Key.h"
#include "tweaker/Manager.h"
#include "tweaker/RunControl.h"
#include "tweaker/Shortcut.h"
#include "tweaker/SimpleTweak.h"

namespace {

std::string Narrow(const std::wstring& text)
{
    std::string utf8;
    (void)Text::WideToUtf8(text, &utf8);
    return utf8;
}

// A key with all its values and subkeys, as text that compares byte for byte:
// "name|type|hex data" per value, "[subkey]" lines for the levels below.
void Describe(Platform::KeyHandle parent, const std::wstring& path, const std::wstring& indent, std::wstring* out)
{
    Platform::IRegistry& reg = Platform::Current().Registry();
    Platform::UniqueKey key;
    if (reg.OpenKey(parent, path, Platform::KeyAccess::Read, key.put()) != 0) {
        *out += indent + L"<missing>\n";
        return;
    }
    std::set<std::wstring> values;
    std::wstring name;
    uint32_t type = 0;
    for (uint32_t i = 0; reg.EnumValue(key.get(), i, &name, &type) == 0; ++i) {
        values.insert(name);
    }
    for (const std::wstring& value : values) {
        std::vector<uint8_t> data;
        (void)reg.QueryValue(key.get(), value, &type, &data);
        std::wstring line = indent + value + L"|" + std::to_wstring(type) + L"|";
        static const wchar_t kHex[] = L"0123456789abcdef";
        for (uint8_t byte : data) {
            line += kHex[byte >> 4];
            line += kHex[byte & 15];
        }
        *out += line + L"\n";
    }
    std::set<std::wstring> subkeys;
    for (uint32_t i = 0; reg.EnumKey(key.get(), i, &name) == 0; ++i) {
        subkeys.insert(name);
    }
    for (const std::wstring& subkey : subkeys) {
        *out += indent + L"[" + subkey + L"]\n";
        Describe(key.get(), subkey, indent + L"  ", out);
    }
}

class ShippedCatalogueRoundTrip : public Testing::ScratchTest {
protected:
    void SetUp() override
    {
        ScratchTest::SetUp();
#ifndef _WIN32
        Portable().System().SetSpecialFolder(Sys::Csidl::AppData, PathOf(L"AppData"));
#endif
        folderName_ = L"CorvaneTests-Shipped-" + ScratchFolder().substr(ScratchFolder().rfind(L'\\') + 1);
        Tweaker::SetPacing(Tweaker::Pacing::Off);
    }
    void TearDown() override
    {
        Tweaker::SetPacing(Tweaker::Pacing::On);
        if (manager_) {
            (void)Testing::DeleteFolderTree(manager_->ConfigurationFolder());
        }
        manager_.reset();
        ScratchTest::TearDown();
    }

    // Every registry key a Key item names, and every shortcut file.
    void CollectTouched()
    {
        for (const auto& category : manager_->Categories()) {
            for (const auto& child : category->GetChildren()) {
                const auto* tweak = dynamic_cast<const Tweaker::SimpleTweak*>(child.Get());
                ASSERT_NE(nullptr, tweak);
                for (const auto& item : tweak->GetItems()) {
                    if (const auto* key = dynamic_cast<const Tweaker::Key*>(item.Get())) {
                        std::wstring path = key->GetKeyPath();
                        if (!key->GetKeyName().empty()) {
                            path += L"\\" + key->GetKeyName();
                        }
                        keys_.insert({key->GetRootName(), path});
                        // A key is only made below a parent that exists, as
                        // every parent the catalogue names does on Windows
                        // (Wine lacks SYSTEM\CurrentControlSet\Control\Network).
                        if (key->GetActionCode() == 2) {
                            Platform::UniqueKey parent;
                            bool created = false;
                            ASSERT_EQ(0u, Reg().CreateKey(Sys::RootKeyFromName(key->GetRootName()),
                                                          key->GetKeyPath(), parent.put(), &created));
                        }
                    } else if (const auto* shortcut = dynamic_cast<const Tweaker::Shortcut*>(item.Get())) {
                        std::wstring folder = Sys::GetShellFolder(shortcut->GetFolderCsidl());
                        if (!shortcut->GetPath().empty()) {
                            folder += L"\\" + shortcut->GetPath();
                        }
                        shortcuts_.insert(folder + L"\\" + shortcut->GetName() + L".lnk");
                    }
                }
            }
        }
    }

    std::map<std::pair<std::wstring, std::wstring>, std::wstring> Snapshot() const
    {
        std::map<std::pair<std::wstring, std::wstring>, std::wstring> snapshot;
        for (const auto& [root, path] : keys_) {
            std::wstring text;
            Describe(Sys::RootKeyFromName(root), path, L"", &text);
            snapshot[{root, path}] = text;
        }
        return snapshot;
    }

    std::wstring folderName_;
    std::unique_ptr<Tweaker::Manager> manager_;
    std::set<std::pair<std::wstring, std::wstring>> keys_;
    std::set<std::wstring> shortcuts_;
};

TEST_F(ShippedCatalogueRoundTrip, TuneUpOfEveryTweakIsUndoneByItsBackupPoint)
{
    manager_ = std::make_unique<Tweaker::Manager>();
    manager_->SetSystemCodeOverride(Sys::OsCode::Windows11);  // keep every tweak
    ASSERT_TRUE(manager_->LoadCatalogue(folderName_));
    ASSERT_GE(manager_->CountTweaks(), 450);
    CollectTouched();
    std::map<std::wstring, bool> shortcutsBefore;
    for (const std::wstring& path : shortcuts_) {
        shortcutsBefore[path] = Exists(path);
    }
    const auto before = Snapshot();

    for (const auto& category : manager_->Categories()) {
        for (const auto& child : category->GetChildren()) {
            child->SetSelected(true);
        }
    }
    manager_->StartAnalysis(nullptr);
    ASSERT_EQ(0u, manager_->WaitForRun(600000));
    ASSERT_EQ(0u, manager_->StartTuneUp(nullptr, true));
    ASSERT_EQ(0u, manager_->WaitForRun(600000));
    const Tweaker::RunOutcome outcome = manager_->LastRun();
    ASSERT_TRUE(outcome.finished);
    ASSERT_FALSE(outcome.journalPath.empty());
    EXPECT_EQ(0u, outcome.journalStatus);

    // Tweaks left not in effect are named, so that the reason can be looked up.
    std::vector<std::wstring> notApplied;
    for (const auto& category : manager_->Categories()) {
        for (const auto& child : category->GetChildren()) {
            if (child->GetAppliedShare() < 1.0) {
                notApplied.push_back(category->GetName() + L": " + child->GetName());
            }
        }
    }
    for (const std::wstring& name : notApplied) {
        ADD_FAILURE() << "not in effect after the tune-up: " << Narrow(name);
    }

    auto points = Remover::ListBackupPoints(manager_->BackupFolder());
    ASSERT_EQ(1u, points.size());
    points[0].ticked = true;
    RTI::Reference<Remover::Processor> processor(new Remover::Processor());
    Remover::Reader reader;
    const Remover::RestoreOutcome restored = Remover::RestoreTickedPoints(points, *processor, reader, nullptr, nullptr);
    EXPECT_TRUE(restored.Complete());

    const auto after = Snapshot();
    for (const auto& [key, text] : before) {
        EXPECT_EQ(Narrow(text), Narrow(after.at(key))) << Narrow(key.first + L"\\" + key.second);
    }
    for (const auto& [path, existed] : shortcutsBefore) {
        EXPECT_EQ(existed, Exists(path)) << Narrow(path);
    }
}

}  // namespace
