#include "HttpFetch.h"

#include "Owned.h"
#include "UpdateManifest.h"
#include "Version.h"

#include <wininet.h>

#include <cstdlib>
#include <vector>

namespace {

constexpr DWORD kTimeoutMilliseconds = 30000;

DWORD StatusCode(HINTERNET request)
{
    DWORD status = 0;
    DWORD size = sizeof(status);
    if (!HttpQueryInfoA(request, HTTP_QUERY_STATUS_CODE | HTTP_QUERY_FLAG_NUMBER, &status, &size, nullptr))
        return 0;
    return status;
}

// The announced length, or -1 when the server announces none (the end of the connection ends the
// body then).
long long ContentLength(HINTERNET request)
{
    char text[32] = {};
    DWORD size = sizeof(text);
    if (!HttpQueryInfoA(request, HTTP_QUERY_CONTENT_LENGTH, text, &size, nullptr))
        return -1;
    char* end = nullptr;
    const long long length = std::strtoll(text, &end, 10);
    return end != text && *end == '\0' && length >= 0 ? length : -1;
}

std::string FinalAddress(HINTERNET request)
{
    char text[INTERNET_MAX_URL_LENGTH + 1] = {};
    DWORD size = sizeof(text);
    if (!InternetQueryOptionA(request, INTERNET_OPTION_URL, text, &size))
        return "";
    return text;
}

}  // namespace

FetchStatus Fetch(const std::string& address, const FetchOptions& options,
                  const std::function<bool(const char* bytes, std::size_t count)>& sink)
{
    const std::string agent = std::string("UpdateQuenzoLite/") + product_version::kText;
    const ScopedInternet internet(InternetOpenA(agent.c_str(), INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0));
    if (!internet.IsValid())
        return FetchStatus::Unreachable;
    DWORD timeout = kTimeoutMilliseconds;
    for (const DWORD option : {INTERNET_OPTION_CONNECT_TIMEOUT, INTERNET_OPTION_SEND_TIMEOUT, INTERNET_OPTION_RECEIVE_TIMEOUT})
        InternetSetOptionA(internet.Get(), option, &timeout, sizeof(timeout));
    const ScopedInternet request(InternetOpenUrlA(internet.Get(), address.c_str(), nullptr, 0,
                                                  INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE |
                                                      INTERNET_FLAG_PRAGMA_NOCACHE | INTERNET_FLAG_NO_COOKIES |
                                                      INTERNET_FLAG_NO_UI,
                                                  0));
    if (!request.IsValid())
        return FetchStatus::Unreachable;
    if (options.requireHttps && !IsHttpsAddress(FinalAddress(request.Get())))
        return FetchStatus::NotSecure;
    if (StatusCode(request.Get()) != 200)
        return FetchStatus::NotFound;
    const long long announced = ContentLength(request.Get());
    if (announced > 0 && static_cast<unsigned long long>(announced) > options.limit)
        return FetchStatus::TooLarge;

    const std::uint64_t total = announced > 0 ? static_cast<std::uint64_t>(announced) : 0;
    if (options.progress && !options.progress(0, total))
        return FetchStatus::Cancelled;
    std::vector<char> buffer(64 * 1024);
    std::uint64_t received = 0;
    for (;;) {
        DWORD got = 0;
        if (!InternetReadFile(request.Get(), buffer.data(), static_cast<DWORD>(buffer.size()), &got))
            return FetchStatus::Incomplete;
        if (got == 0)
            break;
        received += got;
        if (received > options.limit)
            return FetchStatus::TooLarge;
        if (!sink(buffer.data(), got))
            return FetchStatus::Refused;
        if (options.progress && !options.progress(received, total))
            return FetchStatus::Cancelled;
    }
    // WinINet reports a connection closed early as a normal end: only the count tells.
    if (announced >= 0 && received != static_cast<unsigned long long>(announced))
        return FetchStatus::Incomplete;
    return FetchStatus::Ok;
}

FetchStatus FetchText(const std::string& address, const FetchOptions& options, std::string& body)
{
    body.clear();
    return Fetch(address, options, [&body](const char* bytes, std::size_t count) {
        body.append(bytes, count);
        return true;
    });
}
