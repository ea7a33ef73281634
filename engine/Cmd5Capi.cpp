#include "Cmd5Capi.h"

#include <windows.h>
#include <wincrypt.h>

#include <cstdio>

const std::string& Cmd5Capi::HashToHex(const std::string& text)
{
    HCRYPTPROV provider = 0;
    HCRYPTHASH hash = 0;
    BYTE digest[16];
    DWORD digestSize = sizeof(digest);

    if (!CryptAcquireContextA(&provider, nullptr, nullptr, PROV_RSA_FULL,
                              CRYPT_VERIFYCONTEXT | CRYPT_MACHINE_KEYSET)) {
        provider = 0;
        m_result = "Error acquiring context";
    } else if (!CryptCreateHash(provider, CALG_MD5, 0, 0, &hash)) {
        hash = 0;
        m_result = "Error creating hash";
    } else if (!CryptHashData(hash, reinterpret_cast<const BYTE*>(text.data()),
                              static_cast<DWORD>(text.size()), 0)) {
        m_result = "Error hashing data";
    } else if (!CryptGetHashParam(hash, HP_HASHVAL, digest, &digestSize, 0)) {
        m_result = "Error getting hash param";
    } else {
        m_result.clear();
        for (BYTE byte : digest) {
            char hex[3];
            std::snprintf(hex, sizeof(hex), "%02x", byte);
            m_result += hex;
        }
    }

    if (hash)
        CryptDestroyHash(hash);
    if (provider)
        CryptReleaseContext(provider, 0);
    return m_result;
}
