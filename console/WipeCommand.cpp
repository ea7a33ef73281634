#include "WipeCommand.h"

#include "CSDEngine.h"
#include "Cp949Text.h"
#include "ExactPath.h"
#include "FileError.h"
#include "FreeSpaceCommand.h"
#include "MethodCatalogue.h"

#include <windows.h>

#include <algorithm>
#include <cwctype>
#include <optional>

namespace {

std::optional<int> MethodOf(std::wstring_view digits)
{
    if (digits.empty() || digits.size() > 2)
        return std::nullopt;
    int method = 0;
    for (const wchar_t c : digits) {
        if (c < L'0' || c > L'9')
            return std::nullopt;
        method = method * 10 + (c - L'0');
    }
    if (!FindMethod(method))
        return std::nullopt;
    return method;
}

// The drive or share a whole path starts with ("C:" or "\\server\share") and the rest of it.
bool SplitRoot(const std::wstring& path, std::wstring& root, std::wstring& rest)
{
    if (path.size() >= 2 && path[1] == L':' && std::iswalpha(path[0])) {
        if (path.size() > 2 && path[2] != L'\\')
            return false;  // "C:name": relative to a current folder of that drive that we do not know
        root = path.substr(0, 2);
        rest = path.substr(2);
        return true;
    }
    if (path.rfind(L"\\\\", 0) == 0) {
        const std::size_t server = path.find(L'\\', 2);
        if (server == std::wstring::npos || server == 2)
            return false;
        const std::size_t share = path.find(L'\\', server + 1);
        root = path.substr(0, share);
        if (share == server + 1)
            return false;
        rest = share == std::wstring::npos ? L"" : path.substr(share);
        return true;
    }
    return false;
}

std::wstring Text(const char* text949) { return Widen949(text949); }

std::wstring ItemLine(const std::wstring& path, const WipeResult& result)
{
    if (result.leftovers.empty())
        return path + Text(": 남음");
    const Leftover& first = result.leftovers.front();
    std::wstring line = path + Text(": 남음: ") + Text(ReasonText(first.reason));
    if (first.path != path)
        line += L" (" + first.path + L")";
    if (result.leftovers.size() > 1)
        line += Text(" 외 ") + std::to_wstring(result.leftovers.size() - 1) + Text("개");
    return line;
}

WipeResult Destroy(CSDEngine& engine, const std::wstring& path)
{
    const DWORD attributes = GetFileAttributesW(Extended(path).c_str());
    if (attributes & FILE_ATTRIBUTE_DIRECTORY)
        return engine.WipeFolder(path);
    try {
        return engine.WipeFile(path);
    } catch (const CFileException&) {
        return WipeResult::Left(path, LeftReason::Rename);
    }
}

}  // namespace

ParsedWipeCommand ParseWipeArguments(const std::vector<std::wstring>& arguments)
{
    WipeOptions options;
    for (const std::wstring& argument : arguments) {
        if (argument.empty()) {
            // An empty word would be taken for the current folder and everything in it.
            return {std::nullopt, "빈 경로는 지정할 수 없습니다."};
        } else if (argument[0] != L'/') {
            options.paths.push_back(argument);
        } else if (argument == L"/?") {
            options.help = true;
        } else if (NamesMatch(argument, L"/q")) {
            options.quiet = true;
        } else if (argument.size() >= 3 && NamesMatch(argument.substr(0, 3), L"/m:")) {
            options.method = MethodOf(std::wstring_view(argument).substr(3));
            if (!options.method)
                return {std::nullopt, "방법은 /M:1 부터 /M:13 까지입니다: " + Narrow949(argument)};
        } else {
            return {std::nullopt, "알 수 없는 옵션입니다: " + Narrow949(argument)};
        }
    }
    if (!options.help && options.paths.empty())
        return {std::nullopt, "삭제할 파일이나 폴더를 지정하십시오."};
    return {options, ""};
}

std::optional<std::wstring> WholePathOf(const std::wstring& given, const std::wstring& currentFolder)
{
    std::wstring text = given;
    for (wchar_t& c : text)
        if (c == L'/')
            c = L'\\';
    if (text.rfind(L"\\\\?\\", 0) == 0)
        return CheckedPath(text);
    std::wstring root, rest;
    if (!SplitRoot(text, root, rest)) {
        if (text.size() >= 2 && text[1] == L':')
            return std::nullopt;
        std::wstring folderRest;
        if (!SplitRoot(currentFolder, root, folderRest))
            return std::nullopt;
        rest = text.rfind(L"\\", 0) == 0 ? text : folderRest + L"\\" + text;
    }
    std::vector<std::wstring> names;
    std::size_t start = 0;
    while (start <= rest.size()) {
        const std::size_t end = std::min(rest.find(L'\\', start), rest.size());
        const std::wstring name = rest.substr(start, end - start);
        if (name == L"..") {
            if (names.empty())
                return std::nullopt;
            names.pop_back();
        } else if (!name.empty() && name != L".") {
            names.push_back(name);
        }
        start = end + 1;
    }
    std::wstring whole = root;
    for (const std::wstring& name : names)
        whole += L"\\" + name;
    if (names.empty())
        return whole + L"\\";
    return CheckedPath(whole);
}

std::string WipeUsage()
{
    return "QuenzoWipe: 파일과 폴더를 복구할 수 없게 보안 삭제합니다.\n"
           "\n"
           "QuenzoWipe [/M:n] [/Q] 경로...\n"
           "QuenzoWipe /F 드라이브: [/M:n] [/Q]\n"
           "\n"
           "  /M:n  삭제 방법 1-13 (없으면 환경설정의 방법)\n"
           "  /Q    묻지 않고 삭제합니다.\n"
           "  /F    드라이브의 빈 공간을 지웁니다 (지운 파일이 남긴 내용).\n"
           "  /?    이 도움말을 보입니다.\n"
           "\n"
           "끝 코드: 0 모두 삭제됨, 1 남은 항목이 있음, 2 사용법 오류\n";
}

int RunWipeCommand(const std::vector<std::wstring>& arguments, const std::wstring& currentFolder,
                   const NeverDestroyPolicy& policy, int savedMethod, WipeConsole& console)
{
    if (AsksFreeSpaceWipe(arguments))
        return RunFreeSpaceCommand(arguments, savedMethod, console);
    const ParsedWipeCommand parsed = ParseWipeArguments(arguments);
    if (!parsed.options) {
        console.PrintError(Text(parsed.error.c_str()));
        console.PrintError(Text(WipeUsage().c_str()));
        return kExitUsage;
    }
    const WipeOptions& options = *parsed.options;
    if (options.help) {
        console.Print(Text(WipeUsage().c_str()));
        return kExitAllGone;
    }
    // Every path is judged before anything happens: a careless line destroys nothing at all.
    struct Chosen {
        std::wstring path;
        std::wstring landing;
        bool folder;
    };
    std::vector<Chosen> chosen;
    bool refused = false;
    for (const std::wstring& given : options.paths) {
        const auto whole = WholePathOf(given, currentFolder);
        const Refusal refusal = whole ? policy.Judge(*whole) : Refusal::NotAPath;
        if (refusal != Refusal::None) {
            console.PrintError(given + Text(": 거부: ") + Text(RefusalText(refusal)));
            refused = true;
            continue;
        }
        const std::wstring landing = LandingOf(*whole).value_or(*whole);
        const bool repeated = std::any_of(chosen.begin(), chosen.end(), [&](const Chosen& earlier) {
            return SamePathText(landing, earlier.landing) || (earlier.folder && SameOrInside(landing, earlier.landing));
        });
        if (!repeated)
            chosen.push_back({*whole, landing, IsFolderPath(*whole)});
    }
    if (refused) {
        console.PrintError(Text("아무것도 삭제하지 않았습니다."));
        return kExitSomethingLeft;
    }
    if (!options.quiet && !console.Confirm(Text("보안 삭제를 하시겠습니까? (Y/N) "))) {
        console.Print(Text("아무것도 삭제하지 않았습니다."));
        return kExitSomethingLeft;
    }
    const int method = options.method.value_or(FindMethod(savedMethod) ? savedMethod : FIRST_METHOD);
    // No deliberate pause: nobody watches a pace here, and every pass is already on the disk.
    CSDEngine engine([method] { return method; }, 0);
    // One run: each folder's freed names are scrubbed once, after the last path in it, and the
    // lines follow, so that a folder that kept names is told beside its paths.
    CSDEngine::WipeRun run(engine);
    std::vector<std::optional<WipeResult>> results;
    results.reserve(chosen.size());
    for (const Chosen& item : chosen)
        results.push_back(PathExists(item.path) ? std::optional(Destroy(engine, item.path)) : std::nullopt);
    const WipeResult scrubs = run.Finish();
    bool left = false;
    for (std::size_t i = 0; i < chosen.size(); ++i) {
        const std::wstring& path = chosen[i].path;
        if (!results[i]) {
            console.Print(path + Text(": 남음: 찾을 수 없음"));
            left = true;
            continue;
        }
        WipeResult& result = *results[i];
        for (const Leftover& kept : scrubs.leftovers)
            if (SamePathText(kept.path, ParentOf(path)))
                result.leftovers.push_back(kept);
        if (result.gone && !PathExists(path)) {
            // Gone, but a trace may be named beside it (the folder kept the removed names).
            std::wstring line = path + Text(": 삭제됨");
            if (!result.leftovers.empty())
                line += L" (" + Text(ReasonText(result.leftovers.front().reason)) + L")";
            console.Print(line);
        } else {
            console.Print(ItemLine(path, result));
            left = true;
        }
    }
    return left ? kExitSomethingLeft : kExitAllGone;
}
