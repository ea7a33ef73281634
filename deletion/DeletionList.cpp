#include "DeletionList.h"

#include "ExactPath.h"
#include "MethodCatalogue.h"

#include <windows.h>

#include <cstdio>
#include <cwchar>

std::string SizeText(const std::wstring& path)
{
    const auto checked = CheckedPath(path);
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!checked || !GetFileAttributesExW(Extended(*checked).c_str(), GetFileExInfoStandard, &data))
        return {};
    const unsigned long long size = (static_cast<unsigned long long>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
    char text[64];
    std::snprintf(text, sizeof(text), "%.2f", static_cast<double>(size) / 1024.0);
    return text;
}

std::vector<std::wstring> ChosenPaths(const wchar_t* buffer, unsigned fileOffset)
{
    std::vector<std::wstring> paths;
    if (!buffer || !*buffer)
        return paths;
    // One file: the buffer is its full path. Several: the folder's NUL stands where the names begin.
    if (fileOffset == 0 || buffer[fileOffset - 1] != L'\0') {
        paths.emplace_back(buffer);
        return paths;
    }
    std::wstring folder = buffer;
    if (!folder.empty() && folder.back() != L'\\')
        folder += L'\\';
    for (const wchar_t* name = buffer + fileOffset; *name; name += std::wcslen(name) + 1)
        paths.push_back(folder + name);
    return paths;
}

const int kFirstMethod = FIRST_METHOD;
const int kLastMethod = LAST_METHOD;

std::optional<MethodLabels> LabelsOfMethod(int method)
{
    const WipeMethod* info = FindMethod(method);
    if (!info)
        return std::nullopt;
    return MethodLabels{info->displayName, info->speedLabel, info->passCountLabel};
}
