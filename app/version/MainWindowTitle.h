#pragma once
// The main window's title: the product name, the version as major.minor and
// the size of the loaded catalogue, for example "Corvane 2.3 (412 tweaks)".
#include <cstddef>
#include <string>

namespace Version {

std::wstring MainWindowTitle(const std::wstring& product, int major, int minor, std::size_t tweakCount);

// The title of this build: its product name and version.
std::wstring MainWindowTitle(std::size_t tweakCount);

}  // namespace Version
