// QuenzoWipe: the secure delete of QuenzoLite from a command prompt or a script.
#include "Arguments.h"
#include "CRegInfo.h"
#include "Cp949Text.h"
#include "ExactPath.h"
#include "WipeCommand.h"

#include <windows.h>
#include <shlwapi.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>

namespace {

// Writes to the console in UTF-16, so that Korean reads right whatever its code page; redirected
// output is text in the console's (or else the system's) code page, 949 on a Korean system.
class StandardConsole : public WipeConsole {
public:
    void Print(const std::wstring& line) override { Write(GetStdHandle(STD_OUTPUT_HANDLE), line + L"\r\n"); }
    void PrintError(const std::wstring& line) override { Write(GetStdHandle(STD_ERROR_HANDLE), line + L"\r\n"); }

    bool Confirm(const std::wstring& question) override
    {
        Write(GetStdHandle(STD_OUTPUT_HANDLE), question);
        const HANDLE input = GetStdHandle(STD_INPUT_HANDLE);
        std::string answer;
        char c = 0;
        DWORD read = 0;
        while (ReadFile(input, &c, 1, &read, nullptr) && read == 1 && c != '\n')
            answer += c;
        const std::size_t first = answer.find_first_not_of(" \t");
        return first != std::string::npos && (answer[first] == 'Y' || answer[first] == 'y');
    }

private:
    static void Write(HANDLE handle, const std::wstring& text)
    {
        DWORD written = 0;
        DWORD mode = 0;
        if (GetConsoleMode(handle, &mode)) {
            WriteConsoleW(handle, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
            return;
        }
        UINT codePage = GetConsoleOutputCP();
        if (codePage == 0)
            codePage = CP_ACP;
        const int size = WideCharToMultiByte(codePage, 0, text.data(), static_cast<int>(text.size()), nullptr, 0,
                                             nullptr, nullptr);
        std::string bytes(static_cast<std::size_t>(size), '\0');
        WideCharToMultiByte(codePage, 0, text.data(), static_cast<int>(text.size()), bytes.data(), size, nullptr,
                            nullptr);
        WriteFile(handle, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    }
};

std::wstring CurrentFolder()
{
    std::wstring folder(32768, L'\0');
    folder.resize(GetCurrentDirectoryW(static_cast<DWORD>(folder.size()), folder.data()));
    return folder;
}

// Read here rather than through CRegInfo, whose reading prints its diagnostic lines: they would
// land in the output a script reads.
int SavedMethod()
{
    char data[16] = {};
    DWORD size = sizeof(data) - 1;
    if (SHGetValueA(HKEY_CURRENT_USER, registry_layout::kSettingsKey, registry_layout::kMethodValue, nullptr, data,
                    &size) != ERROR_SUCCESS)
        return 0;
    const std::string text(data, strnlen(data, size));
    return IsValidMethodText(text) ? std::atoi(text.c_str()) : 0;
}

}  // namespace

int main()
{
    StandardConsole console;
    try {
        return RunWipeCommand(OwnArguments(), CurrentFolder(), NeverDestroyPolicy::OfThisMachine(), SavedMethod(), console);
    } catch (const std::exception& error) {
        console.PrintError(L"QuenzoWipe: " + Widen949(error.what()));
    }
    return kExitSomethingLeft;
}
