#include "DeletionList.h"

#include <windows.h>

#include <cstdio>
#include <cstring>

std::string SizeText(const std::string& path)
{
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data))
        return {};
    const unsigned long long size = (static_cast<unsigned long long>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
    char text[64];
    std::snprintf(text, sizeof(text), "%.2f", static_cast<double>(size) / 1024.0);
    return text;
}

std::vector<std::string> ChosenPaths(const char* buffer, unsigned fileOffset)
{
    std::vector<std::string> paths;
    if (!buffer || !*buffer)
        return paths;
    // One file: the buffer is its full path. Several: the folder's NUL stands where the names begin.
    if (fileOffset == 0 || buffer[fileOffset - 1] != '\0') {
        paths.emplace_back(buffer);
        return paths;
    }
    std::string folder = buffer;
    if (!folder.empty() && folder.back() != '\\')
        folder += '\\';
    for (const char* name = buffer + fileOffset; *name; name += std::strlen(name) + 1)
        paths.push_back(folder + name);
    return paths;
}
