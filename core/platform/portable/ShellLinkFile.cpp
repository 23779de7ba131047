#include "core/platform/portable/ShellLinkFile.h"

#include <cstdint>

namespace Platform::Portable {

namespace {
constexpr std::string_view kSignature{"CVLINK\x01\x00", 8};

void PutU32(std::string* out, uint32_t v)
{
    for (int i = 0; i < 4; ++i) {
        out->push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
    }
}

void PutText(std::string* out, const std::wstring& text)
{
    PutU32(out, static_cast<uint32_t>(text.size()));
    for (wchar_t c : text) {
        out->push_back(static_cast<char>(c & 0xFF));
        out->push_back(static_cast<char>((c >> 8) & 0xFF));
    }
}

class Reader {
public:
    explicit Reader(std::string_view bytes) : bytes_(bytes) {}
    bool U32(uint32_t* v)
    {
        if (bytes_.size() - pos_ < 4) {
            return false;
        }
        *v = 0;
        for (int i = 0; i < 4; ++i) {
            *v |= static_cast<uint32_t>(static_cast<uint8_t>(bytes_[pos_ + i])) << (8 * i);
        }
        pos_ += 4;
        return true;
    }
    bool Text(std::wstring* text)
    {
        uint32_t length = 0;
        if (!U32(&length) || (bytes_.size() - pos_) / 2 < length) {
            return false;
        }
        text->resize(length);
        for (uint32_t i = 0; i < length; ++i) {
            (*text)[i] = static_cast<wchar_t>(static_cast<uint8_t>(bytes_[pos_]) |
                                              (static_cast<uint8_t>(bytes_[pos_ + 1]) << 8));
            pos_ += 2;
        }
        return true;
    }
    bool AtEnd() const { return pos_ == bytes_.size(); }

private:
    std::string_view bytes_;
    size_t pos_ = kSignature.size();
};
}  // namespace

std::string EncodeShellLink(const ShellLink& link)
{
    std::string out(kSignature);
    PutText(&out, link.target);
    PutText(&out, link.arguments);
    PutText(&out, link.workingDirectory);
    PutText(&out, link.description);
    PutText(&out, link.iconPath);
    PutU32(&out, static_cast<uint32_t>(link.iconIndex));
    return out;
}

bool DecodeShellLink(std::string_view bytes, ShellLink* out)
{
    if (bytes.substr(0, kSignature.size()) != kSignature) {
        return false;
    }
    Reader reader(bytes);
    ShellLink link;
    uint32_t icon = 0;
    if (!reader.Text(&link.target) || !reader.Text(&link.arguments) || !reader.Text(&link.workingDirectory) ||
        !reader.Text(&link.description) || !reader.Text(&link.iconPath) || !reader.U32(&icon) || !reader.AtEnd()) {
        return false;
    }
    link.iconIndex = static_cast<int>(icon);
    *out = std::move(link);
    return true;
}

}  // namespace Platform::Portable
