#include "BannerDownload.h"

#include "MessageBoxes.h"
#include "Owned.h"
#include "ScopedHandle.h"
#include "ShellRules.h"

#include <windows.h>

#include <algorithm>
#include <cstdlib>
#include <new>

namespace {

constexpr char kAgent[] = "VELMORAPPDOWN";
// The size query identifies itself as the application, as its own request always did.
constexpr char kSizeQueryAgent[] = "QuenzoLite";

struct InternetTraits {
    using Handle = HINTERNET;
    static Handle Empty() { return nullptr; }
    static void Release(Handle handle) { InternetCloseHandle(handle); }
};
using ScopedInternet = Owned<InternetTraits>;

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

long QueryContentLength(const std::string& url)
{
    const ScopedInternet internet(InternetOpenA(kSizeQueryAgent, INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0));
    const ScopedInternet file(internet.IsValid()
                                  ? InternetOpenUrlA(internet.Get(), url.c_str(), nullptr, 0,
                                                     INTERNET_FLAG_TRANSFER_BINARY | INTERNET_FLAG_RELOAD, 1)
                                  : nullptr);
    if (!file.IsValid()) {
        AfxMessageBox("서버로부터 에러 발생", MB_OK);
        return -1;
    }
    char text[32] = {};
    DWORD size = sizeof(text);
    if (!HttpQueryInfoA(file.Get(), HTTP_QUERY_CONTENT_LENGTH, text, &size, nullptr))
        return -1;
    return std::atol(text);
}

bool DownloadFile(const std::string& url, const std::string& file)
{
    const ScopedInternet internet(InternetOpenA(kAgent, INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0));
    const ScopedInternet response(internet.IsValid() ? InternetOpenUrlA(internet.Get(), url.c_str(), nullptr, 0,
                                                                      INTERNET_FLAG_RELOAD, 0)
                                                    : nullptr);
    if (!response.IsValid()) {
        AfxMessageBox("인터넷에 연결 할 수 없습니다.", MB_OK);
        return false;
    }
    const long size = QueryContentLength(url);
    std::vector<char> buffer;
    bool allocated = size >= 0;
    if (allocated) {
        try {
            buffer.resize(static_cast<std::size_t>(size));
        } catch (const std::bad_alloc&) {
            allocated = false;
        }
    }
    if (!allocated || CHttpDownModule().SaveResponseToFile(response.Get(), file, buffer) != 0)
        AfxMessageBox("파일을 다운로드 할 수 없습니다.", MB_OK);
    return true;
}

bool UpdateBanners(const std::string& site)
{
    MakeDirectoryPath("C:\\Windows\\Temp\\banner");
    bool reached = true;
    for (const BannerFiles& banner : Banners())
        reached = DownloadFile(site + banner.webPath, banner.downloadFile) && reached;
    for (const BannerFiles& banner : Banners())
        CopyFileA(banner.downloadFile, banner.localFile, FALSE);
    return reached;
}
