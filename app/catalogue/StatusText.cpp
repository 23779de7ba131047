#include "app/catalogue/StatusText.h"

#include "core/platform/Errors.h"

namespace ProgramCatalogue {

std::wstring StatusText(uint32_t status)
{
    std::wstring what;
    switch (status) {
        case Err::FileNotFound:
            what = L"it does not exist";
            break;
        case Err::PathNotFound:
            what = L"its folder does not exist";
            break;
        case Err::AccessDenied:
            what = L"access is denied";
            break;
        case Err::SharingViolation:
            what = L"another program is using it";
            break;
        case Err::DiskFull:
            what = L"the disk is full";
            break;
        case Err::NoUnicodeTranslation:
            what = L"it is not UTF-8 text";
            break;
        case Err::BadFormat:
            return L"it is malformed (error -1)";
        default:
            return L"error " + std::to_wstring(status);
    }
    return what + L" (error " + std::to_wstring(status) + L")";
}

}  // namespace ProgramCatalogue
