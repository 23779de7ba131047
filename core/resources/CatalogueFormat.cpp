#include "core/resources/CatalogueFormat.h"

#include <algorithm>
#include <limits>
#include <sstream>
#include <utility>

#include "core/crypto/Blowfish.h"
#include "core/crypto/CipherStream.h"
#include "core/platform/Errors.h"

namespace Resources {

uint32_t EncipherCatalogue(std::string_view payload, std::string& stored, std::string_view key)
{
    if (payload.size() > std::numeric_limits<uint32_t>::max()) {
        return Err::InvalidParameter;
    }
    Crypto::blowfish cipher;
    if (const uint32_t rc = cipher.SetKey(key); rc != Err::Success) {
        return rc;
    }
    std::string plain(kCatalogueHeaderSize, '\0');
    const auto n = static_cast<uint32_t>(payload.size());
    for (size_t i = 0; i < 4; ++i) {
        plain[kCatalogueLengthOffset + i] = static_cast<char>((n >> (8 * i)) & 0xFF);
    }
    plain.append(payload);
    stored = Crypto::EncipherChained(cipher, plain);
    return Err::Success;
}

uint32_t DecipherCatalogue(std::string_view stored, std::string& text, std::string_view key)
{
    Crypto::blowfish cipher;
    if (const uint32_t rc = cipher.SetKey(key); rc != Err::Success) {
        return rc;
    }
    std::istringstream source{std::string(stored)};
    Crypto::icipherstream<Crypto::blowfish> plain(source, cipher);

    char header[kCatalogueHeaderSize];
    plain.read(header, sizeof(header));
    if (plain.gcount() != static_cast<std::streamsize>(sizeof(header))) {
        return Err::BadFormat;
    }
    uint32_t n = 0;
    for (size_t i = 0; i < 4; ++i) {
        n |= static_cast<uint32_t>(static_cast<unsigned char>(header[kCatalogueLengthOffset + i])) << (8 * i);
    }

    // The length comes from the data, so it is not trusted to size memory:
    // no more can be delivered than the data holds after the header.
    std::string payload(std::min<size_t>(n, stored.size() - kCatalogueHeaderSize), '\0');
    plain.read(payload.data(), static_cast<std::streamsize>(payload.size()));
    payload.resize(static_cast<size_t>(plain.gcount()));
    text = std::move(payload);
    return Err::Success;
}

}  // namespace Resources
