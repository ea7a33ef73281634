#pragma once
#include <windows.h>

#include <string>

// A file's size in bytes; -1 when it is missing or cannot be read.
long long SizeOf(const std::string& path);

// Makes `path` a file of `size` zero bytes by moving its end: sparse on the Linux side, so a size
// of gigabytes writes nothing. Fails the test if the file cannot be made so.
void MakeFileOfSize(const std::string& path, long long size);

// Holds a file open as another program might, until released or destroyed. By default it reads
// and shares with nobody; kBrowserSharing lets others read and write the file but not delete or
// rename it, as a browser holds its index. IsHeld() says whether the open succeeded.
class FileHold {
public:
    static constexpr DWORD kBrowserSharing = FILE_SHARE_READ | FILE_SHARE_WRITE;

    explicit FileHold(const std::string& path, DWORD share = 0, DWORD access = GENERIC_READ);
    ~FileHold() { Release(); }
    FileHold(const FileHold&) = delete;
    FileHold& operator=(const FileHold&) = delete;

    bool IsHeld() const { return m_handle != INVALID_HANDLE_VALUE; }
    void Release();

private:
    HANDLE m_handle;
};
