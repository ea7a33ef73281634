#include "InstallPaths.h"

#include <windows.h>

std::string UpdaterPath()
{
    const char* variable = "%ProgramFiles%";
    const DWORD needed = ExpandEnvironmentStringsA(variable, nullptr, 0);
    std::string folder(needed ? needed : 1, '\0');
    const DWORD written = ExpandEnvironmentStringsA(variable, folder.data(), static_cast<DWORD>(folder.size()));
    folder.resize(written ? written - 1 : 0);
    return folder + "\\Marrowick\\QuenzoLite\\UpdateQuenzoLite.exe";
}
