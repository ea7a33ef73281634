#pragma once
#include "Owned.h"

#include <windows.h>
#include <wininet.h>

#include <array>
#include <mutex>
#include <string>
#include <vector>

// The banner download: three bitmaps fetched over HTTP from the product web site into the Windows
// temporary folder, each copied into "banner\" beside the current directory only when it came
// whole and is a bitmap. So the folder always holds the last good copies, and the program runs the
// same without the site: a site that cannot be reached, an answer without its size or one that is
// not a bitmap leaves that banner as it was, without a word.

// The three banners: where each lives on the product web site, where it is downloaded to, and
// the copy beside the current directory that the rotation shows.
struct BannerFiles {
    const char* webPath;
    const char* downloadFile;
    const char* localFile;
};
const std::array<BannerFiles, 3>& Banners();

// The banner the rotation shows at tick `counter` (counting from 1 at start): 2, 3, 1, 2, ...
int BannerForTick(unsigned counter);

// Writes the open response to `file`, reading at most the buffer's size at a time. Returns 0, or
// 2 when the file cannot be created; a transfer that stops early leaves what was received
// (possibly nothing), still with 0.
class CHttpDownModule {
public:
    int SaveResponseToFile(HINTERNET response, const std::string& file, std::vector<char>& buffer);
};

// Creates the folders of `path`, splitting at "/" only: the banner paths use it (a path with
// backslashes makes only its last folder). Failures are ignored.
void MakeDirectoryPath(const std::string& path);

// One banner download at a time, which another thread can cut short.
class CBannerDownload {
public:
    CBannerDownload() = default;
    CBannerDownload(const CBannerDownload&) = delete;
    CBannerDownload& operator=(const CBannerDownload&) = delete;

    // Fetches the three banners from `site` (the product web site's address), always from the
    // server, and returns how many copies in "banner\" it renewed. Each request waits at most
    // kTimeoutMs for the site. Meant for a worker thread: it never touches a window.
    int Run(const std::string& site);
    // From any thread: a Run under way ends at once (the connection it waits on is closed), and
    // later ones fetch nothing.
    void Cancel();

    static constexpr DWORD kTimeoutMs = 10000;

private:
    HINTERNET OpenInternet();
    void CloseInternet();
    // Whether the banner's copy was renewed; `reached` says whether the site answered at all.
    bool FetchBanner(HINTERNET internet, const std::string& url, const char* downloadFile, const char* localFile,
                     bool& reached);
    void CloseRequest(HINTERNET request);

    std::mutex m_lock;  // guards the two below, which Cancel changes from another thread
    ScopedInternet m_internet;
    bool m_cancelled = false;
};
