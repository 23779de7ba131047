#include "app/catalogue/CatalogueLoad.h"

#include <utility>

#include "app/catalogue/StatusText.h"
#include "core/platform/Errors.h"
#include "core/platform/FileIO.h"
#include "core/rti/IgnoreCaseStringComparator.h"

namespace ProgramCatalogue {

Sets::Sets(Tweaker::ITweakSetSource& sets, std::wstring path, FileReader reader)
    : sets_(sets), path_(std::move(path)), reader_(std::move(reader))
{
}

uint32_t Sets::ReadSet(std::wstring_view setName, std::string* utf8, std::wstring* where)
{
    if (RTI::CompareIgnoreCase(setName, Tweaker::kBuiltInSet) != 0) {
        return sets_.ReadSet(setName, utf8, where);
    }
    if (path_.empty()) {
        status_ = sets_.ReadSet(setName, utf8, where);
    } else {
        *where = path_;
        status_ = reader_ ? reader_(path_, utf8) : Platform::ReadWholeFile(path_, utf8);
    }
    where_ = *where;
    return status_;
}

Report Load(Tweaker::Manager& manager, Tweaker::ITweakSetSource& sets, std::wstring_view folderName,
            const std::wstring& standIn, const FileReader& reader)
{
    Sets catalogueSets(sets, standIn, reader);
    manager.SetTweakSetSource(&catalogueSets);
    Report report;
    report.loaded = manager.LoadCatalogue(folderName);
    manager.SetTweakSetSource(nullptr);  // catalogueSets ends here

    const std::wstring catalogue =
        catalogueSets.BuiltInWhere().empty() ? std::wstring(L"the built-in catalogue") : catalogueSets.BuiltInWhere();
    const auto error = [&](std::wstring text) { report.lines.push_back({Line::Kind::Error, std::move(text)}); };
    bool told = false;
    if (!report.loaded && catalogueSets.BuiltInStatus() != Err::Success) {
        error(L"cannot read the catalogue " + catalogue + L": " + StatusText(catalogueSets.BuiltInStatus()));
        told = true;
    }
    for (const Tweaker::LoadProblem& problem : manager.LoadProblems()) {
        const std::wstring text = problem.text.empty() ? StatusText(problem.status) : problem.text;
        if (problem.where == catalogueSets.BuiltInWhere() && !report.loaded) {
            if (!told) {
                error(L"cannot load the catalogue " + catalogue + L": " + text);
                told = true;
            }
        } else {
            report.lines.push_back({Line::Kind::Warning, problem.where + L": " + text});
        }
    }
    if (!report.loaded && !told) {
        error(L"cannot load the catalogue " + catalogue);
    }
    return report;
}

}  // namespace ProgramCatalogue
