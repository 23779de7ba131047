#pragma once
// A Windows error code in words for messages about files: "it does not exist
// (error 2)" and the like.
#include <cstdint>
#include <string>

namespace ProgramCatalogue {

std::wstring StatusText(uint32_t status);

}  // namespace ProgramCatalogue
