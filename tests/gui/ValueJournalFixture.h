#pragma once
// Backup points for the backups view's tests: a journal that puts one DWORD
// value back, and that value as the registry holds it now.
#include <cstdint>
#include <string_view>
#include <vector>

#include "remover/DeleteRegValue.h"
#include "tests/remover/JournalFixture.h"

namespace JournalTesting {

class ValueJournalTest : public JournalTest {
protected:
    // A journal that sets <scratch>\<sub>, value v, back to `value`.
    Bytes ValueJournal(std::wstring_view sub, uint32_t value)
    {
        Bytes data(4);
        Remover::Format::PutUint32(data.data(), value);
        JournalBuilder b;
        b.Header().Start().Begin(Remover::DeleteRegValue::kTag).Wide(L"HKCU").Wide(KeyPath(sub)).Wide(L"v");
        b.Int(Platform::RegType::Dword).Data(data).Finish().End();
        return b.Get();
    }
    // <scratch>\<sub>, value v; 0xDEADBEEF when it is missing or no DWORD.
    uint32_t DwordOf(std::wstring_view sub)
    {
        uint32_t type = 0;
        std::vector<uint8_t> data;
        if (ReadValue(sub, L"v", &type, &data) != 0 || data.size() != 4) {
            return 0xDEADBEEF;
        }
        return Remover::Format::GetUint32(data.data());
    }
};

}  // namespace JournalTesting
