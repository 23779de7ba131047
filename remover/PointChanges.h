#pragma once
// What a backup point will undo, read from its journal without changing
// anything: per recorded change the registry location or file, and what a
// restore gives back there. The backups view's details and the command
// line's `backups show` and `backups find` use it.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "remover/BackupPoints.h"
#include "remover/Reader.h"

namespace Remover {

struct PointChange {
    enum class Kind {
        ValueBack,     // a value that was overwritten or deleted is set again
        ValueRemoved,  // a value the run created is deleted
        KeyBack,       // a key tree the run deleted is created again
        KeyRemoved,    // a key the run created is deleted with its tree
        FileBack,      // a file the run overwrote or deleted is put back
        FileRemoved,   // a file the run created is deleted
    };
    Kind kind = Kind::ValueBack;
    uint32_t index = 0;     // of the change in the journal, from 0
    std::wstring rootName;  // "HKCU", ... for registry changes
    std::wstring keyPath;
    std::wstring valueName;
    std::wstring filePath;
    uint32_t valueType = 0;  // ValueBack
    std::vector<uint8_t> data;
    uint32_t subkeys = 0;  // KeyBack: keys and values of the whole tree
    uint32_t values = 0;

    // "HKCU\Software\Corvane" (with ", value NAME" for a value), or the file's path.
    std::wstring Location() const;
    // What the restore does there, in words: "comes back: REG_DWORD 1".
    std::wstring Undo() const;
    // True when the key path, value name or file path contains `text`, ignoring case.
    bool Mentions(std::wstring_view text) const;
};

struct PointContents {
    uint32_t status = 0;  // the journal's opening error, 1223, or 0 / -2 as a replay gives
    // In the order a restore undoes them: the last change first.
    std::vector<PointChange> changes;
    // Blocks found, blocks that could not be read ("failed"), damaged bytes,
    // the torn tail: as a replay reports them.
    ReplayReport report;
};

// Reads what the journal at `path` records. Changes nothing on the system.
PointContents ReadPointChanges(std::wstring_view path);

// The registry type's name ("REG_SZ", ...); the number for an unknown type.
std::wstring RegistryTypeName(uint32_t type);
// Registry data as a person reads it: strings quoted, numbers in decimal
// and hexadecimal, bytes in hexadecimal (the first 32 and a count).
std::wstring DataText(uint32_t type, const std::vector<uint8_t>& data);

struct PointMatch {
    BackupPoint point;
    std::vector<PointChange> changes;  // those that mention the text
};

// The points (newest first) with the changes whose key path, value name or
// file path contains `text`, ignoring case; points without one are left out.
std::vector<PointMatch> FindInPoints(const std::vector<BackupPoint>& points, std::wstring_view text);

// Equal-case-insensitive search of `part` inside `text`; an empty part is found.
bool ContainsIgnoreCase(std::wstring_view text, std::wstring_view part);

}  // namespace Remover
