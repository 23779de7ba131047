#pragma once
// The argument layouts of the journal commands. The registry commands share
// two (a value: root, key path, value name; a key: root, key path), the file
// commands one (a path); each command names its layout as its Parameters.
#include <string>

#include "core/platform/Platform.h"
#include "remover/IArguments.h"

namespace Remover {

// Whether a value name is spelled as the registry stores it (it came from
// enumerating the key), which spares looking the stored spelling up.
enum class NameSpelling { AsGiven, AsStored };

struct ValueParameters : IArguments {
    ValueParameters(Platform::KeyHandle root, std::wstring keyPath, std::wstring valueName,
                    NameSpelling spelling = NameSpelling::AsGiven)
        : root(root), keyPath(std::move(keyPath)), valueName(std::move(valueName)), spelling(spelling)
    {
    }
    Platform::KeyHandle root;  // a predefined root, or the default-user key
    std::wstring keyPath;
    std::wstring valueName;  // empty: the key's default value
    NameSpelling spelling;
};

struct KeyParameters : IArguments {
    KeyParameters(Platform::KeyHandle root, std::wstring keyPath) : root(root), keyPath(std::move(keyPath)) {}
    Platform::KeyHandle root;
    std::wstring keyPath;
};

struct FileParameters : IArguments {
    explicit FileParameters(std::wstring path) : path(std::move(path)) {}
    std::wstring path;  // full path
};

}  // namespace Remover
