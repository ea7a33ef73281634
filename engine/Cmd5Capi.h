#pragma once
#include "Owned.h"

#include <string>

// MD5 through the platform's cryptographic service, as 32 lowercase hex digits.
class Cmd5Capi {
public:
    virtual ~Cmd5Capi() = default;

    // Digest of the bytes of `text` (no terminating NUL). On a failure of the service the result
    // is one of "Error acquiring context", "Error creating hash", "Error hashing data" or
    // "Error getting hash param". The reference stays valid until the next call.
    const std::string& HashToHex(const std::string& text);

private:
    // Acquired at the first digest (again after a failure) and released with the object: under
    // Wine a context costs tens of milliseconds, more than the rest of a small file's wipe.
    ScopedCryptProvider m_provider;
    std::string m_result;
};
