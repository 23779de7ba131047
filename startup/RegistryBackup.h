#pragma once
// The snapshot form of registry values and whole keys: "V" elements with the
// value's name, type and Base64 data, and "Key" elements holding their
// subkeys and values.
#include <memory>
#include <string>
#include <vector>

#include "core/platform/Platform.h"
#include "core/xml/XmlDocument.h"

namespace StartUp {

struct SavedKey {
    std::wstring name;
    std::vector<Platform::RegistryValue> values;
    std::vector<SavedKey> subkeys;
};

// `<V name=".." t=".." v=".."/>`; v is left out for empty data.
std::wstring ValueElement(const Platform::RegistryValue& value);
// Reads the whole key below an open handle, every value and subkey whatever
// its name's length. The first error of enumerating or querying; *out is
// complete only on success.
[[nodiscard]] Platform::Status ReadKeyTree(Platform::KeyHandle key, std::wstring name, SavedKey* out);
std::wstring KeyElement(const SavedKey& key);

// Read back with the cursor on the element: false when it is malformed (a
// type that is not a decimal number, a missing name).
bool ReadValueElement(const XmlDocument& doc, bool child, Platform::RegistryValue* out);
// With the cursor's current element a "Key".
bool ReadKeyElement(XmlDocument& doc, SavedKey* out, int depth = 0);

// Creates the saved subkeys and sets the saved values below an open key.
[[nodiscard]] Platform::Status WriteKeyTree(Platform::KeyHandle key, const SavedKey& saved);

}  // namespace StartUp
