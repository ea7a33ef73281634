// QuenzoWipe: its path rules on their own, and the real program on sandbox files.
#include "CRegInfo.h"
#include "Cp949Text.h"
#include "ExactPath.h"
#include "NameScrub.h"
#include "RecordingConsole.h"
#include "FileHelpers.h"
#include "Sandbox.h"
#include "SeamHelpers.h"
#include "WipeCommand.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <optional>

namespace {

struct Outcome {
    DWORD code = 0xFFFFFFFF;
    std::string out, err;  // as the program wrote them: code page 949
};

std::string ReadAll(HANDLE pipe)
{
    std::string text;
    char chunk[4096];
    DWORD read = 0;
    while (ReadFile(pipe, chunk, sizeof(chunk), &read, nullptr) && read > 0)
        text.append(chunk, read);
    return text;
}

// Runs a copy of QuenzoWipe.exe in the sandbox, there as its current folder, with `input` on its
// standard input.
Outcome RunWipe(const Sandbox& sandbox, const std::wstring& arguments, const std::string& input = "")
{
    const std::string copy = sandbox.Path("QuenzoWipe.exe");
    if (GetFileAttributesA(copy.c_str()) == INVALID_FILE_ATTRIBUTES) {
        EXPECT_TRUE(CopyFileA(UnixPath(QUENZO_WIPE_PATH).c_str(), copy.c_str(), TRUE));
    }
    SECURITY_ATTRIBUTES inherit{sizeof(inherit), nullptr, TRUE};
    HANDLE inRead, inWrite, outRead, outWrite, errRead, errWrite;
    CreatePipe(&inRead, &inWrite, &inherit, 0);
    CreatePipe(&outRead, &outWrite, &inherit, 0);
    CreatePipe(&errRead, &errWrite, &inherit, 0);
    for (HANDLE own : {inWrite, outRead, errRead})
        SetHandleInformation(own, HANDLE_FLAG_INHERIT, 0);
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = inRead;
    startup.hStdOutput = outWrite;
    startup.hStdError = errWrite;
    std::wstring command = L"\"" + W(copy) + L"\" " + arguments;
    const std::wstring folder = W(sandbox.Root());
    PROCESS_INFORMATION process{};
    Outcome outcome;
    if (CreateProcessW(nullptr, command.data(), nullptr, nullptr, TRUE, CREATE_NO_WINDOW, nullptr, folder.c_str(),
                       &startup, &process)) {
        CloseHandle(inRead);
        CloseHandle(outWrite);
        CloseHandle(errWrite);
        DWORD written = 0;
        WriteFile(inWrite, input.data(), static_cast<DWORD>(input.size()), &written, nullptr);
        CloseHandle(inWrite);
        outcome.out = ReadAll(outRead);
        outcome.err = ReadAll(errRead);
        WaitForSingleObject(process.hProcess, 120000);
        GetExitCodeProcess(process.hProcess, &outcome.code);
        CloseHandle(process.hProcess);
        CloseHandle(process.hThread);
    }
    CloseHandle(outRead);
    CloseHandle(errRead);
    return outcome;
}

bool Has(const std::string& text, const char* part) { return text.find(part) != std::string::npos; }

}  // namespace

TEST(WipeCommand, PathsAreMadeWholeByWordsAndKeepTheirExactNames)
{
    const struct {
        const wchar_t *given, *current;
        std::optional<std::wstring> whole;
    } cases[] = {
        {L"C:\\a\\b", L"D:\\x", L"C:\\a\\b"},
        {L"name.", L"C:\\x", L"C:\\x\\name."},  // the trailing dot is part of the name
        {L"blank ", L"C:\\x", L"C:\\x\\blank "},
        {L"..\\y", L"C:\\x\\z", L"C:\\x\\y"},
        {L"a/./b/", L"C:\\x", L"C:\\x\\a\\b"},
        {L"\\top", L"D:\\x", L"D:\\top"},
        {L"\\\\server\\share\\f", L"C:\\x", L"\\\\server\\share\\f"},
        {L".", L"C:\\x", L"C:\\x"},
        {L"..", L"C:\\x", L"C:\\"},  // a root: whole, and refused as one later
        {L"C:rel", L"C:\\x", std::nullopt},
        {L"..\\..", L"C:\\x", std::nullopt},
        {L"a*b", L"C:\\x", std::nullopt},
    };
    for (const auto& c : cases)
        EXPECT_EQ(WholePathOf(c.given, c.current), c.whole) << testing::PrintToString(std::wstring(c.given));
}

// The line is judged by what its paths name. A short name of a protected folder and a drive letter
// substituted for the users' folder once destroyed them; an empty word destroyed the current
// folder's contents; a repeat of a destroyed file was reported as left with exit code 1.
TEST(WipeCommand, PathsAreJudgedByWhatTheyName)
{
    Sandbox sandbox;
    for (const char* folder : {"progs", "progs\\Program Files", "users", "users\\root", "work", "work\\dir"})
        sandbox.MakeFolder(folder);
    for (const char* file : {"progs\\Program Files\\app.exe", "users\\root\\mine.txt", "work\\keep.txt", "work\\t.txt",
                             "work\\dir\\f.txt"})
        sandbox.WriteFile(file, "data");
    using Reach = NeverDestroyPolicy::Reach;
    const NeverDestroyPolicy policy({{W(sandbox.Path("progs\\Program Files")), Reach::ItAndAbove, Refusal::ProgramFiles},
                                     {W(sandbox.Path("users")), Reach::AlsoChildren, Refusal::Profiles}});
    wchar_t shortName[MAX_PATH] = {};
    ASSERT_GT(GetShortPathNameW(W(sandbox.Path("progs\\Program Files")).c_str(), shortName, MAX_PATH), 0u);
    MakeDrive('p', sandbox.Path("users"), "root");
    const RecordedPauses fast;
    const struct {
        std::vector<std::wstring> arguments;
        int code;
        const char* gone;
        const char* output;
    } cases[] = {
        {{shortName}, kExitSomethingLeft, nullptr, "거부: Program Files"},
        {{L"P:\\root"}, kExitSomethingLeft, nullptr, "거부: 사용자 폴더"},
        {{L""}, kExitUsage, nullptr, "빈 경로"},
        {{L"t.txt", L"T.TXT"}, kExitAllGone, "work\\t.txt", "t.txt: 삭제됨"},
        {{L"dir", L"dir\\f.txt"}, kExitAllGone, "work\\dir", "dir: 삭제됨"},
    };
    for (const auto& c : cases) {
        RecordingConsole console;
        std::vector<std::wstring> arguments{L"/Q", L"/M:13"};
        arguments.insert(arguments.end(), c.arguments.begin(), c.arguments.end());
        EXPECT_EQ(RunWipeCommand(arguments, W(sandbox.Path("work")), policy, 13, console), c.code) << console.text;
        EXPECT_TRUE(Has(console.text, c.output)) << console.text;
        EXPECT_FALSE(Has(console.text, "남음")) << console.text;
        EXPECT_TRUE(!c.gone || !sandbox.Exists(c.gone)) << c.gone;
        for (const char* kept : {"progs\\Program Files\\app.exe", "users\\root\\mine.txt", "work\\keep.txt"})
            EXPECT_EQ(sandbox.ReadFile(kept), "data") << kept;
    }
    RemoveLinuxSymlink(DriveLink('p'));
}

// The command waits nowhere, and the files of one folder on one line share one scrub there, after
// the last of them: a scrub per file replayed the earlier ones, 48 names for these three files.
TEST(WipeCommand, WaitsNowhereAndScrubsEachFolderOnce)
{
    Sandbox sandbox;
    sandbox.MakeFolder("work");
    for (const char* file : {"work\\a.txt", "work\\b.txt", "work\\c.txt"})
        sandbox.WriteFile(file, Canary(3000));
    const RecordedPauses recorded;
    std::size_t names = 0;
    const ScopedScrubNames counted([&](const FreedName& shape) {
        EXPECT_FALSE(sandbox.Exists("work\\c.txt")) << "the scrub comes after the folder's last file";
        ++names;
        return RandomScrubName(shape);
    });
    RecordingConsole console;
    EXPECT_EQ(RunWipeCommand({L"/Q", L"/M:13", L"a.txt", L"b.txt", L"c.txt"}, W(sandbox.Path("work")),
                             NeverDestroyPolicy({}), 13, console),
              kExitAllGone)
        << console.text;
    EXPECT_TRUE(recorded.pauses.empty());
    // Six freed names (each file's own and its scrambled one): a longer name, a mirror and an 8.3
    // name for each, and the two long names; then the same again, shortest first.
    EXPECT_EQ(names, 2 * (6 * 3 + kLongNames));
    EXPECT_TRUE(sandbox.List("work").empty());
}

TEST(WipeCommand, UsageHelpAndErrorsHaveTheirExitCodes)
{
    Sandbox sandbox;
    sandbox.WriteFile("keep.txt", "keep");
    const Outcome help = RunWipe(sandbox, L"/?");
    EXPECT_EQ(help.code, 0u);
    EXPECT_TRUE(Has(help.out, "QuenzoWipe [/M:n] [/Q]")) << help.out;
    EXPECT_TRUE(Has(help.out, "묻지 않고 삭제합니다.")) << "Korean text reaches the console in code page 949";
    for (const wchar_t* arguments : {L"", L"/Q", L"/M:14 keep.txt", L"/M:x keep.txt", L"/X keep.txt"}) {
        const Outcome usage = RunWipe(sandbox, arguments);
        EXPECT_EQ(usage.code, 2u) << testing::PrintToString(std::wstring(arguments));
        EXPECT_TRUE(Has(usage.err, "QuenzoWipe [/M:n]"));
    }
    EXPECT_EQ(sandbox.ReadFile("keep.txt"), "keep");
}

TEST(WipeCommand, ARefusedPathRefusesTheWholeLine)
{
    Sandbox sandbox;
    sandbox.WriteFile("keep.txt", "keep");
    for (const wchar_t* refused : {L"C:\\", L"C:\\windows", L"C:\\users", L"C:rel"}) {
        const Outcome outcome = RunWipe(sandbox, std::wstring(L"/Q /M:1 keep.txt ") + refused);
        EXPECT_EQ(outcome.code, 1u) << testing::PrintToString(std::wstring(refused));
        EXPECT_TRUE(Has(outcome.err, "거부")) << outcome.err;
        EXPECT_TRUE(Has(outcome.err, "아무것도 삭제하지 않았습니다."));
    }
    EXPECT_EQ(sandbox.ReadFile("keep.txt"), "keep");
}

TEST(WipeCommand, AsksFirstAndDestroysKoreanNamesWithBlanks)
{
    Sandbox sandbox;
    sandbox.MakeFolder("보안 삭제 폴더");
    sandbox.WriteFile("보안 삭제 폴더\\한글 파일.txt", Canary(5000));
    sandbox.WriteFile("따로 둔 파일.txt", Canary(100));
    // The saved method (no /M:), read without the settings' diagnostic lines in the output.
    CRegInfo().RegisterAtStartup();  // the settings as the program leaves them, "Method" = "1" among them
    const std::wstring line = L"\"보안 삭제 폴더\" \"" + W(sandbox.Path("따로 둔 파일.txt")) + L"\"";

    const Outcome declined = RunWipe(sandbox, line, "n\r\n");
    EXPECT_EQ(declined.code, 1u);
    EXPECT_TRUE(Has(declined.out, "보안 삭제를 하시겠습니까? (Y/N)"));
    EXPECT_TRUE(sandbox.Exists("보안 삭제 폴더\\한글 파일.txt"));

    const Outcome confirmed = RunWipe(sandbox, line, "Y\r\n");
    EXPECT_EQ(confirmed.code, 0u) << confirmed.out << confirmed.err;
    EXPECT_TRUE(Has(confirmed.out, (sandbox.Path("보안 삭제 폴더") + ": 삭제됨").c_str())) << confirmed.out;
    EXPECT_TRUE(Has(confirmed.out, (sandbox.Path("따로 둔 파일.txt") + ": 삭제됨").c_str())) << confirmed.out;
    EXPECT_FALSE(Has(confirmed.out, "Number of values")) << confirmed.out;
    EXPECT_EQ(sandbox.List(), std::vector<std::string>{"QuenzoWipe.exe"});
}

TEST(WipeCommand, WhatRemainsIsReportedAndTheRestIsGone)
{
    Sandbox sandbox;
    sandbox.MakeFolder("tree");
    sandbox.MakeFolder("tree\\sub");
    sandbox.WriteFile("tree\\a.txt", Canary(3000));
    sandbox.WriteFile("tree\\sub\\held.txt", Canary(3000));
    sandbox.WriteFile("tree\\sub\\b.txt", Canary(3000));
    sandbox.WriteFile("loose.txt", Canary(10));
    FileHold held(sandbox.Path("tree\\sub\\held.txt"));
    ASSERT_TRUE(held.IsHeld());

    const Outcome outcome = RunWipe(sandbox, L"/Q /M:1 tree loose.txt missing.txt");
    held.Release();
    EXPECT_EQ(outcome.code, 1u);
    EXPECT_TRUE(Has(outcome.out, (sandbox.Path("tree") + ": 남음: ").c_str())) << outcome.out;
    EXPECT_TRUE(Has(outcome.out, (sandbox.Path("loose.txt") + ": 삭제됨").c_str())) << outcome.out;
    EXPECT_TRUE(Has(outcome.out, (sandbox.Path("missing.txt") + ": 남음: 찾을 수 없음").c_str())) << outcome.out;
    EXPECT_EQ(sandbox.ReadFile("tree\\sub\\held.txt"), Canary(3000));
    EXPECT_EQ(sandbox.List("tree"), std::vector<std::string>{"sub"});
    EXPECT_EQ(sandbox.List("tree\\sub"), std::vector<std::string>{"held.txt"});
    EXPECT_FALSE(sandbox.Exists("loose.txt"));
}
