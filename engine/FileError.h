#pragma once
#include <windows.h>

#include <stdexcept>
#include <string>

// The file error of a failed rename: the one exception that leaves the engine. It carries the
// platform's error code; every caller catches it per file so that a run goes on.
class CFileException : public std::runtime_error {
public:
    CFileException(DWORD osError, std::string fileName)
        : std::runtime_error("file error " + std::to_string(osError) + ": " + fileName),
          m_lOsError(osError), m_strFileName(std::move(fileName))
    {
    }

    DWORD m_lOsError;
    std::string m_strFileName;
};
