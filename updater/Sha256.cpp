#include "Sha256.h"

#include "Owned.h"

#include <wincrypt.h>

#include <algorithm>
#include <functional>
#include <vector>

namespace {

// Feeds the hash through `next`, which fills a buffer and says how much it holds (0 at the end)
// or fails.
std::optional<std::string> Sha256Over(const std::function<bool(std::vector<BYTE>&, DWORD&)>& next)
{
    ScopedCryptProvider provider;
    if (!CryptAcquireContextA(provider.Receive(), nullptr, nullptr, PROV_RSA_AES, CRYPT_VERIFYCONTEXT))
        return std::nullopt;
    ScopedCryptHash hash;
    if (!CryptCreateHash(provider.Get(), CALG_SHA_256, 0, 0, hash.Receive()))
        return std::nullopt;
    std::vector<BYTE> buffer(64 * 1024);
    for (;;) {
        DWORD got = 0;
        if (!next(buffer, got))
            return std::nullopt;
        if (got == 0)
            break;
        if (!CryptHashData(hash.Get(), buffer.data(), got, 0))
            return std::nullopt;
    }
    BYTE digest[32];
    DWORD size = sizeof(digest);
    if (!CryptGetHashParam(hash.Get(), HP_HASHVAL, digest, &size, 0) || size != sizeof(digest))
        return std::nullopt;
    static constexpr char kDigits[] = "0123456789abcdef";
    std::string hex;
    for (const BYTE byte : digest) {
        hex += kDigits[byte >> 4];
        hex += kDigits[byte & 0x0F];
    }
    return hex;
}

}  // namespace

std::optional<std::string> Sha256OfFile(HANDLE file)
{
    LARGE_INTEGER start{};
    if (!SetFilePointerEx(file, start, nullptr, FILE_BEGIN))
        return std::nullopt;
    return Sha256Over([file](std::vector<BYTE>& buffer, DWORD& got) {
        return ReadFile(file, buffer.data(), static_cast<DWORD>(buffer.size()), &got, nullptr) != FALSE;
    });
}

std::optional<std::string> Sha256Of(const std::string& bytes)
{
    std::size_t position = 0;
    return Sha256Over([&](std::vector<BYTE>& buffer, DWORD& got) {
        got = static_cast<DWORD>(std::min(buffer.size(), bytes.size() - position));
        std::copy_n(bytes.data() + position, got, buffer.data());
        position += got;
        return true;
    });
}
