#pragma once
// Loading the catalogue as the programs do, with the problems in words:
//
//   ProgramCatalogue::Report report = ProgramCatalogue::Load(manager, Tweaker::ResourceTweakSets(), L"Corvane");
//   for (const auto& line : report.lines) { /* tell the user, in this order */ }
//
// The built-in set (or a file standing in for it) failing means there is no
// catalogue; the other sets, the user's file and Config.xml failing are told
// and the program goes on without them.
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "tweaker/ITweakSetSource.h"
#include "tweaker/Manager.h"

namespace ProgramCatalogue {

// Reads a whole file into bytes; 0 or a Windows error code.
using FileReader = std::function<uint32_t(std::wstring_view path, std::string* bytes)>;

// The sets, with a file read in place of the built-in set when one is
// named. Remembers where the built-in set came from and how its reading
// went, so that its problem can be told from those of the other sets.
class Sets final : public Tweaker::ITweakSetSource {
public:
    // An empty path keeps the built-in set of `sets`.
    Sets(Tweaker::ITweakSetSource& sets, std::wstring path, FileReader reader);
    uint32_t ReadSet(std::wstring_view setName, std::string* utf8, std::wstring* where) override;
    const std::wstring& BuiltInWhere() const { return where_; }
    uint32_t BuiltInStatus() const { return status_; }

private:
    Tweaker::ITweakSetSource& sets_;
    std::wstring path_;
    FileReader reader_;
    std::wstring where_;
    uint32_t status_ = 0;
};

struct Line {
    enum class Kind { Error, Warning };
    Kind kind = Kind::Warning;
    std::wstring text;
    friend bool operator==(const Line&, const Line&) = default;
};

struct Report {
    bool loaded = false;  // the built-in set (or its stand-in) was parsed
    // In the order they were met. An unreadable or unparsable catalogue names
    // the file and the reason (the XML error text) in one Error line.
    std::vector<Line> lines;
};

// Loads the catalogue and Config.xml into `manager` from `sets`; `standIn`,
// when not empty, is read (through `reader`, or the platform when empty) in
// place of the built-in set.
Report Load(Tweaker::Manager& manager, Tweaker::ITweakSetSource& sets, std::wstring_view folderName,
            const std::wstring& standIn = {}, const FileReader& reader = {});

}  // namespace ProgramCatalogue
