#pragma once
#include "NeverDestroy.h"

#include <optional>
#include <string>
#include <vector>

// QuenzoWipe, the command-line companion, apart from its console: `QuenzoWipe [/M:n] [/Q] PATH...`.

struct WipeOptions {
    std::optional<int> method;  // /M:n, 1..13; otherwise the saved "Method"
    bool quiet = false;         // /Q: no question
    bool help = false;          // /?
    std::vector<std::wstring> paths;
};

// The options, or the usage error in code page 949.
struct ParsedWipeCommand {
    std::optional<WipeOptions> options;
    std::string error;
};
ParsedWipeCommand ParseWipeArguments(const std::vector<std::wstring>& arguments);

// `given` as a whole path: taken as it is when whole, otherwise against `currentFolder` (a whole
// path; "\name" against its drive). "." and ".." are taken as words, never by asking the file
// system, and every other name stays exact (trailing dots and blanks too). Empty when no whole
// path results ("C:name", a name above the root, an invalid character).
std::optional<std::wstring> WholePathOf(const std::wstring& given, const std::wstring& currentFolder);

// The console as the command sees it: lines out (code page 949 text and exact paths) and the
// one question.
class WipeConsole {
public:
    virtual ~WipeConsole() = default;
    virtual void Print(const std::wstring& line) = 0;
    virtual void PrintError(const std::wstring& line) = 0;
    // True when the answer starts with Y or y.
    virtual bool Confirm(const std::wstring& question) = 0;
};

// Exit codes: everything named is gone; something remains (or was refused); usage error.
constexpr int kExitAllGone = 0;
constexpr int kExitSomethingLeft = 1;
constexpr int kExitUsage = 2;

// The whole command. Every path passes `policy` before anything is destroyed, and a refused path
// refuses the whole command. A path that names what an earlier one already names (the same entry
// by another spelling, or an entry inside an earlier folder) is destroyed with it, not again.
int RunWipeCommand(const std::vector<std::wstring>& arguments, const std::wstring& currentFolder,
                   const NeverDestroyPolicy& policy, int savedMethod, WipeConsole& console);

// The usage text, in code page 949.
std::string WipeUsage();
