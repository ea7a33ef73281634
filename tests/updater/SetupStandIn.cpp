// Stands in for a setup program: it notes that it ran in a file beside itself, its own name with
// ".ran" appended, holding its command line and, on a line of its own, its current folder.
#include <windows.h>

#include <string>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    char path[MAX_PATH] = {};
    if (!GetModuleFileNameA(nullptr, path, MAX_PATH))
        return 1;
    const HANDLE marker = CreateFileA((std::string(path) + ".ran").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                      FILE_ATTRIBUTE_NORMAL, nullptr);
    if (marker == INVALID_HANDLE_VALUE)
        return 1;
    char folder[MAX_PATH] = {};
    GetCurrentDirectoryA(MAX_PATH, folder);
    const std::string note = std::string(GetCommandLineA()) + "\n" + folder;
    DWORD written = 0;
    WriteFile(marker, note.data(), static_cast<DWORD>(note.size()), &written, nullptr);
    CloseHandle(marker);
    return 0;
}
