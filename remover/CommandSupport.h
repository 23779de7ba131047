#pragma once
// Pieces the journal commands share: reading whole records, the checks every
// block's content must pass, and the stored spelling of registry names.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "core/platform/Handles.h"
#include "core/rti/IReader.h"
#include "core/rti/IWriter.h"

namespace Remover {

// The current record must be the start of a block with this tag; enters it.
[[nodiscard]] uint32_t EnterOwnBlock(RTI::IReader& reader, uint8_t tag);
[[nodiscard]] uint32_t ReadWide(RTI::IReader& reader, std::wstring* text);
// A whole data record (the reader never hands out more than the file holds).
[[nodiscard]] uint32_t ReadDataRecord(RTI::IReader& reader, std::vector<uint8_t>* bytes);

[[nodiscard]] uint32_t WriteWide(RTI::IWriter& writer, std::wstring_view text);

// The short name of a root for the journal; empty when the journal cannot
// name it (it would not be restorable).
std::wstring JournalRootName(Platform::KeyHandle root);
// The root a journal's root name stands for; null for a name a journal may
// not hold.
Platform::KeyHandle RootFromJournal(std::wstring_view name);

// A key path a journal may hold: not empty, no empty component, no zero.
bool IsKeyPath(std::wstring_view keyPath);

// The root name and normalised key path a registry command records; 87 when
// the journal could not name the root or hold the path (it would not be
// restorable). The out-parameters are untouched on failure.
[[nodiscard]] uint32_t ResolveKeyTarget(Platform::KeyHandle root, std::wstring_view keyPath, std::wstring* rootName,
                                        std::wstring* normalizedPath);
// ResolveKeyTarget, then the key opened for reading, as a registry command
// finds it before recording it: 0 with *key open; 2 when the key does not
// exist (the names are set); 87 as above; any other error of the registry.
[[nodiscard]] uint32_t OpenKeyTarget(Platform::KeyHandle root, std::wstring_view keyPath, std::wstring* rootName,
                                     std::wstring* normalizedPath, Platform::UniqueKey* key);

// The name of parent's subkey `name` as the registry stores it (letter case
// included), so that a key recreated by a restore is spelled as before; the
// name as given when it cannot be found.
std::wstring StoredSubkeyName(Platform::KeyHandle parent, std::wstring_view name);
// The same for a value of key.
std::wstring StoredValueName(Platform::KeyHandle key, std::wstring_view name);
// keyPath with its last component spelled as stored under root.
std::wstring StoredKeyPath(Platform::KeyHandle root, std::wstring_view keyPath);

// The components of a key path, empty components dropped.
std::vector<std::wstring_view> SplitKeyPath(std::wstring_view keyPath);
// The components joined again: no leading, trailing or doubled backslash.
std::wstring NormalizeKeyPath(std::wstring_view keyPath);

}  // namespace Remover
