#pragma once
#include <windows.h>
#include <wininet.h>

#include <string>
#include <vector>

// The banner download of every start: three bitmaps fetched over HTTP from the product web site
// into the Windows temporary folder, then copied into "banner\" beside the current directory.

// Writes the open response to `file`. Returns 0, or 2 when the file cannot be created; a
// transfer that stops early leaves what was received (possibly nothing), still with 0.
class CHttpDownModule {
public:
    int SaveResponseToFile(HINTERNET response, const std::string& file, std::vector<char>& buffer);
};

// Creates the folders of `path`, splitting at "/" as the product does (a path with backslashes
// only makes one folder). Failures are ignored.
void MakeDirectoryPath(const std::string& path);

// The size the server reports for `url`, by a request of its own; −1 when it reports none or the
// request fails (then also "서버로부터 에러 발생").
long QueryContentLength(const std::string& url);

// Fetches `url` into `file`, always from the server. Returns false, after "인터넷에 연결 할 수
// 없습니다.", when the server cannot be reached; "파일을 다운로드 할 수 없습니다." when the size is
// unknown or the file cannot be written (true then: the site was reached). Handles and buffer are
// released before it returns.
bool DownloadFile(const std::string& url, const std::string& file);

// The three banners from `site` (the product web site's address), then the copies into
// "banner\"; copy failures (no such folder) are silent. Returns whether every download reached
// the site: the main window ends the program after its start-up otherwise.
bool UpdateBanners(const std::string& site);
