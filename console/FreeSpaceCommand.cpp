#include "FreeSpaceCommand.h"

#include "Cp949Text.h"
#include "ExactPath.h"
#include "FreeSpaceWipe.h"
#include "MethodCatalogue.h"

#include <windows.h>

#include <atomic>

namespace {

std::atomic<bool> g_interrupted{false};

// Ctrl+C and Ctrl+Break do not end the program: the fill stops and its files are deleted first,
// or the drive would stay full until the next run.
BOOL WINAPI OnConsoleBreak(DWORD event)
{
    if (event != CTRL_C_EVENT && event != CTRL_BREAK_EVENT)
        return FALSE;
    g_interrupted = true;
    return TRUE;
}

class InterruptWatch : public FreeSpaceObserver {
public:
    void Progress(const FreeSpaceProgress&) override {}
    bool Cancelled() override { return g_interrupted; }
};

struct FreeSpaceOptions {
    std::wstring drive;
    int method = 0;
    bool quiet = false;
};

// The options, or false for a word the command does not take (two drives, an unknown option).
bool ParseFreeSpaceArguments(const std::vector<std::wstring>& arguments, int savedMethod, FreeSpaceOptions& options)
{
    options.method = FindMethod(savedMethod) ? savedMethod : FIRST_METHOD;
    bool haveDrive = false;
    for (const std::wstring& argument : arguments) {
        if (NamesMatch(argument, L"/f")) {
            continue;
        } else if (NamesMatch(argument, L"/q")) {
            options.quiet = true;
        } else if (argument.size() >= 4 && argument.size() <= 5 && NamesMatch(argument.substr(0, 3), L"/m:")) {
            const std::wstring digits = argument.substr(3);
            if (digits.find_first_not_of(L"0123456789") != std::wstring::npos || !FindMethod(std::stoi(digits)))
                return false;
            options.method = std::stoi(digits);
        } else if (argument.empty() || argument[0] == L'/' || haveDrive) {
            return false;
        } else {
            options.drive = argument;
            haveDrive = true;
        }
    }
    return haveDrive;
}

}  // namespace

bool AsksFreeSpaceWipe(const std::vector<std::wstring>& arguments)
{
    for (const std::wstring& argument : arguments)
        if (NamesMatch(argument, L"/f"))
            return true;
    return false;
}

int RunFreeSpaceCommand(const std::vector<std::wstring>& arguments, int savedMethod, WipeConsole& console)
{
    FreeSpaceOptions options;
    if (!ParseFreeSpaceArguments(arguments, savedMethod, options)) {
        console.PrintError(Widen949("빈 공간 지우기는 드라이브 하나를 받습니다: QuenzoWipe /F D: [/M:n] [/Q]"));
        return kExitUsage;
    }
    FreeSpaceResult refused;
    const auto root = DriveRootOf(options.drive);
    refused.refusal = root ? JudgeFreeSpaceDrive(*root) : FreeSpaceRefusal::NotADriveRoot;
    if (refused.refusal != FreeSpaceRefusal::None) {
        console.PrintError(options.drive + L": " + Widen949(FreeSpaceReport(refused).c_str()));
        return kExitSomethingLeft;
    }
    const std::wstring question = *root + Widen949(" 의 빈 공간 ") + Widen949(BytesText(FreeBytesOf(*root)).c_str()) +
                                  Widen949("를 ") + Widen949(FindMethod(options.method)->displayName) +
                                  Widen949("(으)로 지우시겠습니까? (Y/N) ");
    if (!options.quiet && !console.Confirm(question)) {
        console.Print(Widen949("아무것도 쓰지 않았습니다."));
        return kExitSomethingLeft;
    }
    g_interrupted = false;
    SetConsoleCtrlHandler(OnConsoleBreak, TRUE);
    InterruptWatch watch;
    const FreeSpaceResult result = WipeFreeSpace(*root, options.method, watch);
    SetConsoleCtrlHandler(OnConsoleBreak, FALSE);
    const std::wstring report = *root + L": " + Widen949(FreeSpaceReport(result).c_str());
    if (result.refusal != FreeSpaceRefusal::None)
        console.PrintError(report);
    else
        console.Print(report);
    return result.Complete() ? kExitAllGone : kExitSomethingLeft;
}
