#pragma once
// The startup manager's benchmark machine: 1,000 values in the user's Run key
// and 1,000 browser helper objects of the user, each a class registered with
// its name and in-process server. Shared by the native benchmark and the one
// run under Wine. Names start with "CorvaneBench" or the class identifiers
// {C0C0BE4C-0000-0000-0000-00000000nnnn}, so that Clear finds exactly them.
#include <cstdio>
#include <string>

#include "core/platform/Handles.h"
#include "core/system/RegistryTree.h"

namespace Bench {

inline constexpr int kStartupEntries = 1000;
inline const std::wstring kBenchRun = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";
inline const std::wstring kBenchHelpers =
    L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Browser Helper Objects";

inline std::wstring BenchClsid(int i)
{
    wchar_t text[64];
    std::swprintf(text, 64, L"{C0C0BE4C-0000-0000-0000-%012d}", i);
    return text;
}

inline void SetBenchText(Platform::KeyHandle key, const std::wstring& name, const std::wstring& text)
{
    std::vector<uint8_t> bytes;
    for (wchar_t c : text + L'\0') {
        bytes.push_back(static_cast<uint8_t>(c));
        bytes.push_back(static_cast<uint8_t>(static_cast<uint32_t>(c) >> 8));
    }
    (void)Platform::Current().Registry().SetValue(key, name, Platform::RegType::Sz, bytes.data(), bytes.size());
}

// classesKey: where CLSID\ lives for writing (HKCR natively; under Windows
// HKCU\Software\Classes, which HKCR shows).
inline void FillStartup(Platform::KeyHandle classesRoot, const std::wstring& classesPath)
{
    auto& reg = Platform::Current().Registry();
    bool created = false;
    Platform::UniqueKey run;
    (void)reg.CreateKey(Platform::CurrentUser(), kBenchRun, run.put(), &created);
    for (int i = 0; i < kStartupEntries; ++i) {
        SetBenchText(run.get(), L"CorvaneBench" + std::to_wstring(i),
                     L"\"C:\\Program Files\\Bench\\app" + std::to_wstring(i) + L".exe\" /background");
        const std::wstring clsid = BenchClsid(i);
        Platform::UniqueKey helper;
        (void)reg.CreateKey(Platform::CurrentUser(), kBenchHelpers + L"\\" + clsid, helper.put(), &created);
        const std::wstring classKey = (classesPath.empty() ? L"" : classesPath + L"\\") + L"CLSID\\" + clsid;
        Platform::UniqueKey cls;
        (void)reg.CreateKey(classesRoot, classKey, cls.put(), &created);
        SetBenchText(cls.get(), L"", L"Bench helper " + std::to_wstring(i));
        Platform::UniqueKey server;
        (void)reg.CreateKey(cls.get(), L"InprocServer32", server.put(), &created);
        SetBenchText(server.get(), L"", L"C:\\Program Files\\Bench\\helper" + std::to_wstring(i) + L".dll");
    }
}

inline void ClearStartup(Platform::KeyHandle classesRoot, const std::wstring& classesPath)
{
    auto& reg = Platform::Current().Registry();
    Platform::UniqueKey run;
    if (reg.OpenKey(Platform::CurrentUser(), kBenchRun, Platform::KeyAccess::Change, run.put()) == 0) {
        for (int i = 0; i < kStartupEntries; ++i) {
            (void)reg.DeleteValue(run.get(), L"CorvaneBench" + std::to_wstring(i));
        }
    }
    Platform::UniqueKey helpers;
    Platform::UniqueKey classes;
    (void)reg.OpenKey(Platform::CurrentUser(), kBenchHelpers, Platform::KeyAccess::Change, helpers.put());
    (void)reg.OpenKey(classesRoot, (classesPath.empty() ? L"" : classesPath + L"\\") + L"CLSID",
                      Platform::KeyAccess::Change, classes.put());
    for (int i = 0; i < kStartupEntries; ++i) {
        if (helpers) {
            (void)Sys::DeleteKeyTree(helpers.get(), BenchClsid(i), nullptr);
        }
        if (classes) {
            (void)Sys::DeleteKeyTree(classes.get(), BenchClsid(i), nullptr);
        }
    }
}

}  // namespace Bench
