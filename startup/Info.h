#pragma once
// The version information of a program file.
#include <string_view>

#include "startup/IEntry.h"

namespace StartUp {

class Info final : public IInfo {
public:
    // Reads the file's version texts; the object stays invalid when it has none.
    explicit Info(std::wstring_view path);
    bool IsValid() const override { return valid_; }
    const Platform::FileVersion& Version() const override { return version_; }

private:
    Platform::FileVersion version_;
    bool valid_ = false;
};

// Info for a path that names an existing file; empty otherwise.
RTI::Reference<IInfo> InfoOfProgram(std::wstring_view path);

}  // namespace StartUp
