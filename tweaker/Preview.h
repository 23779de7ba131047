#pragma once
// What a tune-up would change, computed from an analysis without changing
// anything: the selected tweaks that are not in effect, each with the
// places it writes (registry value: what it holds now and what it gets;
// file: its path and whether a restore can bring it back). The details view
// shows the same lines for one tweak.
#include <string>
#include <vector>

#include "tweaker/ITweak.h"

namespace Tweaker {

class Manager;

struct ItemChange {
    bool file = false;
    std::wstring location;    // "HKCU\Software\...\Key" or the file's path
    std::wstring valueName;   // registry: the value's name ("" = the default value)
    std::wstring type;        // registry: "REG_DWORD" ...
    std::wstring action;      // "VALUE_SET", "VALUE_DELETE", ...
    std::wstring current;     // what the registry holds now, "(not set)", "(no key)"
    std::wstring next;        // what it will hold, "(deleted)"
    bool needsAdmin = false;  // a machine key
    bool restorable = true;   // false for a cleanup deletion
};

struct TweakChange {
    std::wstring category;
    std::wstring name;
    std::vector<ItemChange> items;
};

// The places one tweak writes, with their present values.
std::vector<ItemChange> DescribeChanges(const ITweak& tweak);

// The selected tweaks not in effect after the last analysis, in catalogue order.
std::vector<TweakChange> PreviewTuneUp(Manager& manager);

// "HKCU\...\Key [v] REG_DWORD: 0 -> 1", "C:\...\file: deleted (not restorable)".
std::wstring ChangeLine(const ItemChange& change);

}  // namespace Tweaker
