#include "Cmd5Capi.h"

#include "Owned.h"

#include <windows.h>
#include <wincrypt.h>

#include <cstdio>

const std::string& Cmd5Capi::HashToHex(const std::string& text)
{
    ScopedCryptHash hash;
    BYTE digest[16];
    DWORD digestSize = sizeof(digest);

    // A failed call leaves its out-parameter alone, so an owner never holds a half-made handle.
    if (!m_provider.IsValid() && !CryptAcquireContextA(m_provider.Receive(), nullptr, nullptr, PROV_RSA_FULL,
                                                       CRYPT_VERIFYCONTEXT | CRYPT_MACHINE_KEYSET)) {
        m_result = "Error acquiring context";
    } else if (!CryptCreateHash(m_provider.Get(), CALG_MD5, 0, 0, hash.Receive())) {
        m_result = "Error creating hash";
    } else if (!CryptHashData(hash.Get(), reinterpret_cast<const BYTE*>(text.data()),
                              static_cast<DWORD>(text.size()), 0)) {
        m_result = "Error hashing data";
    } else if (!CryptGetHashParam(hash.Get(), HP_HASHVAL, digest, &digestSize, 0)) {
        m_result = "Error getting hash param";
    } else {
        m_result.clear();
        for (BYTE byte : digest) {
            char hex[3];
            std::snprintf(hex, sizeof(hex), "%02x", byte);
            m_result += hex;
        }
    }

    return m_result;
}
