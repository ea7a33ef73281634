// Deletes files as any Windows program does, with DeleteFileW and nothing else, for
// tools/forensic/free-space: what a plain deletion leaves for the free-space wipe to find.
//   DeleteProbe PATH...
// Prints one line per path; exit code 1 when one could not be deleted.
#include "Arguments.h"
#include "Cp949Text.h"

#include <windows.h>

#include <cstdio>

int main()
{
    int status = 0;
    for (const std::wstring& path : OwnArguments()) {
        const bool deleted = DeleteFileW((L"\\\\?\\" + path).c_str()) != FALSE;
        std::printf("%s: %s\n", Narrow949(path).c_str(), deleted ? "deleted" : "not deleted");
        if (!deleted)
            status = 1;
    }
    return status;
}
