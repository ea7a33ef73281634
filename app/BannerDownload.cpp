#include "BannerDownload.h"

#include "ScopedHandle.h"

#include <windows.h>

#include <algorithm>
#include <cstdlib>

namespace {

constexpr char kAgent[] = "VELMORAPPDOWN";
// A banner is about 120 KB; a server that announces far more is not sending a banner.
constexpr long kMostBannerBytes = 4 * 1024 * 1024;

// The size the response announces, or -1 when it announces none.
long ContentLength(HINTERNET response)
{
    char text[32] = {};
    DWORD size = sizeof(text);
    if (!HttpQueryInfoA(response, HTTP_QUERY_CONTENT_LENGTH, text, &size, nullptr))
        return -1;
    return std::atol(text);
}

// Whether `file` is a whole bitmap of `size` bytes that the program can show.
bool IsWholeBitmap(const std::string& file, long size)
{
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!GetFileAttributesExA(file.c_str(), GetFileExInfoStandard, &data) || data.nFileSizeHigh != 0 ||
        data.nFileSizeLow != static_cast<DWORD>(size))
        return false;
    const HANDLE picture = LoadImageA(nullptr, file.c_str(), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE);
    if (!picture)
        return false;
    DeleteObject(picture);
    return true;
}

}  // namespace

int CHttpDownModule::SaveResponseToFile(HINTERNET response, const std::string& file, std::vector<char>& buffer)
{
    const ScopedHandle out(CreateFileA(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                                       nullptr));
    if (!out.IsValid())
        return 2;
    for (;;) {
        DWORD available = 0;
        if (!InternetQueryDataAvailable(response, &available, 0, 0))
            break;
        DWORD got = 0;
        const DWORD wanted = std::min<DWORD>(available, static_cast<DWORD>(buffer.size()));
        if (!InternetReadFile(response, buffer.data(), wanted, &got) || got == 0)
            break;
        DWORD written = 0;
        if (!WriteFile(out.Get(), buffer.data(), got, &written, nullptr))
            break;
    }
    return 0;
}

void MakeDirectoryPath(const std::string& path)
{
    std::string made;
    std::size_t position = 0;
    for (std::size_t slash = path.find('/', position); slash != std::string::npos; slash = path.find('/', position)) {
        const std::string part = path.substr(position, slash - position);
        CreateDirectoryA((made + part).c_str(), nullptr);
        made += part + "/";
        position = slash + 1;
    }
    CreateDirectoryA((made + path.substr(position)).c_str(), nullptr);
}

HINTERNET CBannerDownload::OpenInternet()
{
    const std::lock_guard<std::mutex> lock(m_lock);
    if (m_cancelled)
        return nullptr;
    m_internet.Reset(InternetOpenA(kAgent, INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0));
    if (m_internet.IsValid()) {
        DWORD timeout = kTimeoutMs;
        for (const DWORD option :
             {INTERNET_OPTION_CONNECT_TIMEOUT, INTERNET_OPTION_SEND_TIMEOUT, INTERNET_OPTION_RECEIVE_TIMEOUT})
            InternetSetOptionA(m_internet.Get(), option, &timeout, sizeof(timeout));
    }
    return m_internet.Get();
}

void CBannerDownload::CloseInternet()
{
    const std::lock_guard<std::mutex> lock(m_lock);
    m_internet.Reset();
}

void CBannerDownload::Cancel()
{
    const std::lock_guard<std::mutex> lock(m_lock);
    m_cancelled = true;
    // Closing the WinINet handle makes a call waiting on it, or on a request opened from it, return.
    m_internet.Reset();
}

void CBannerDownload::CloseRequest(HINTERNET request)
{
    const std::lock_guard<std::mutex> lock(m_lock);
    // A cancelled handle took its requests with it: their handles are no longer ours to close.
    if (!m_cancelled)
        InternetCloseHandle(request);
}

bool CBannerDownload::FetchBanner(HINTERNET internet, const std::string& url, const char* downloadFile,
                                  const char* localFile, bool& reached)
{
    const HINTERNET request = InternetOpenUrlA(internet, url.c_str(), nullptr, 0, INTERNET_FLAG_RELOAD, 0);
    reached = request != nullptr;
    if (!request)
        return false;
    struct Closer {
        CBannerDownload& owner;
        HINTERNET request;
        ~Closer() { owner.CloseRequest(request); }
    } closer{*this, request};
    const long size = ContentLength(request);
    if (size <= 0 || size > kMostBannerBytes)
        return false;
    std::vector<char> buffer(static_cast<std::size_t>(size));
    if (CHttpDownModule().SaveResponseToFile(request, downloadFile, buffer) != 0)
        return false;
    return IsWholeBitmap(downloadFile, size) && CopyFileA(downloadFile, localFile, FALSE);
}

int CBannerDownload::Run(const std::string& site)
{
    MakeDirectoryPath("C:\\Windows\\Temp\\banner");
    const HINTERNET internet = OpenInternet();
    if (!internet)
        return 0;
    int renewed = 0;
    for (const BannerFiles& banner : Banners()) {
        bool reached = false;
        if (FetchBanner(internet, site + banner.webPath, banner.downloadFile, banner.localFile, reached))
            ++renewed;
        // A site that does not answer would not answer the next request either: each would wait
        // for the full timeout.
        if (!reached)
            break;
    }
    CloseInternet();
    return renewed;
}

const std::array<BannerFiles, 3>& Banners()
{
    static const std::array<BannerFiles, 3> banners = {{
        {"/QuenzoLight/banner/banner1.bmp", "C:\\Windows\\Temp\\banner1.bmp", "banner\\banner1.bmp"},
        {"/QuenzoLight/banner/banner2.bmp", "C:\\Windows\\Temp\\banner2.bmp", "banner\\banner2.bmp"},
        {"/QuenzoLight/banner/banner3.bmp", "C:\\Windows\\Temp\\banner3.bmp", "banner\\banner3.bmp"},
    }};
    return banners;
}

int BannerForTick(unsigned counter) { return static_cast<int>(counter % 3) + 1; }
