#pragma once
#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>

// One HTTP(S) GET by WinINet, always from the server (the cache is neither read nor written), with
// the system's proxy settings. Certificates are checked as the system checks them.

enum class FetchStatus {
    Ok,           // status 200 and every byte the server announced
    Unreachable,  // no connection: no network, a closed port, a name that does not resolve, a bad certificate
    NotFound,     // the server answered with a status other than 200
    Incomplete,   // the transfer broke off, or ended short of the announced Content-Length
    TooLarge,     // more than the caller's limit, announced or received
    NotSecure,    // https was required, but the answer came from an http address (a redirect)
    Refused,      // the sink refused the bytes (a full disk)
    Cancelled,    // the progress function asked to stop
};

struct FetchOptions {
    std::uint64_t limit = 0;    // the most bytes accepted
    bool requireHttps = false;  // the address after redirects must be https
    // When given: told the bytes received so far and those announced (0: none announced), once
    // before the first piece and after each; false ends the fetch (Cancelled).
    std::function<bool(std::uint64_t received, std::uint64_t announced)> progress;
};

// Hands the body to `sink` in pieces as it arrives; a sink that returns false ends the fetch. What
// the sink received before a failure is the caller's to discard.
FetchStatus Fetch(const std::string& address, const FetchOptions& options,
                  const std::function<bool(const char* bytes, std::size_t count)>& sink);

// The whole body as text; `body` holds what arrived, also on failure.
FetchStatus FetchText(const std::string& address, const FetchOptions& options, std::string& body);
