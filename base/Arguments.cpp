#include "Arguments.h"

#include <windows.h>
#include <shellapi.h>

std::vector<std::wstring> OwnArguments()
{
    int count = 0;
    LPWSTR* split = CommandLineToArgvW(GetCommandLineW(), &count);
    std::vector<std::wstring> arguments;
    for (int i = 1; split && i < count; ++i)
        arguments.emplace_back(split[i]);
    if (split)
        LocalFree(split);
    return arguments;
}
