// Loading and saving XmlDocument through the platform seam.
#include "core/platform/Errors.h"
#include "core/platform/FileIO.h"
#include "core/text/Utf.h"
#include "core/xml/XmlDocument.h"

Platform::Status XmlDocument::Load(std::wstring_view path)
{
    std::string bytes;
    if (const Platform::Status s = Platform::ReadWholeFile(path, &bytes)) {
        return s == Err::HandleEof ? Err::BadFormat : s;  // the file became short while being read
    }
    return LoadFromUtf8(bytes);
}

Platform::Status XmlDocument::Save(std::wstring_view path) const
{
    std::wstring_view text(text_);
    if (text.starts_with(L'\xFEFF')) {
        text.remove_prefix(1);  // files are written without a byte-order mark
    }
    std::string bytes;
    if (const Platform::Status s = Text::WideToUtf8(text, &bytes)) {
        return s;
    }
    // Through a temporary file and a one-step replace: a save that fails
    // part-way must never leave the user's file cut short.
    return Platform::ReplaceWholeFile(path, bytes);
}
