// The never-destroy policy judges where a path lands, not its words: the command line once let a
// short name of Program Files and a drive letter substituted for the users' folder through.
#include "Cp949Text.h"
#include "ExactPath.h"
#include "NeverDestroy.h"
#include "Sandbox.h"

#include <gtest/gtest.h>

#include <shlobj.h>

#include <set>

namespace {

using Reach = NeverDestroyPolicy::Reach;

std::wstring ShortNameOf(const std::wstring& path)
{
    wchar_t buffer[MAX_PATH] = {};
    const DWORD length = GetShortPathNameW(path.c_str(), buffer, MAX_PATH);
    return length > 0 && length < MAX_PATH ? std::wstring(buffer) : std::wstring();
}

std::wstring Known(int csidl)
{
    wchar_t path[MAX_PATH] = {};
    return SUCCEEDED(SHGetFolderPathW(nullptr, csidl, nullptr, SHGFP_TYPE_CURRENT, path)) ? path : L"";
}

struct Case {
    std::wstring path;
    Refusal expected;
    PathUse use = PathUse::Destroy;
};

void ExpectJudged(const NeverDestroyPolicy& policy, std::initializer_list<Case> cases)
{
    for (const Case& c : cases)
        EXPECT_EQ(policy.Judge(c.path, c.use), c.expected) << Narrow949(c.path);
}

}  // namespace

// Stand-ins in the sandbox for the Windows folder, the users' folder and a Program Files folder,
// reached by every spelling a careless user or an attacker could type.
TEST(NeverDestroy, JudgesWhereAPathLandsNotItsWords)
{
    Sandbox sandbox;
    for (const char* folder : {"sys", "sys\\inner", "users", "users\\alice", "users\\alice\\Documents", "apps",
                               "apps\\Program Files", "apps\\Program Files\\Vendor", "plain"})
        sandbox.MakeFolder(folder);
    sandbox.WriteFile("plain\\file.txt", "x");
    sandbox.MakeSymlink("to-sys", "sys");
    const std::wstring root = W(sandbox.Root());
    const auto in = [&](const wchar_t* relative) { return JoinPath(root, relative); };
    const NeverDestroyPolicy policy({{in(L"sys"), Reach::AlsoInside, Refusal::Windows},
                                     {in(L"users"), Reach::AlsoChildren, Refusal::Profiles},
                                     {in(L"apps\\Program Files"), Reach::ItAndAbove, Refusal::ProgramFiles}});
    const std::wstring shortName = ShortNameOf(in(L"apps\\Program Files"));
    ASSERT_FALSE(shortName.empty());
    ASSERT_NE(NameOf(shortName), L"Program Files");
    // A drive letter for the users' folder, as subst makes one.
    MakeDrive('q', sandbox.Path("users"), "alice");

    ExpectJudged(policy, {
        {in(L"plain\\file.txt"), Refusal::None},
        {in(L"plain"), Refusal::None},
        {in(L"plain\\not-yet\\deeper"), Refusal::None},
        {in(L"sys"), Refusal::Windows},
        {in(L"sys\\inner"), Refusal::Windows},
        {in(L"SYS\\Inner\\"), Refusal::Windows},
        {in(L"sys\\missing\\deeper"), Refusal::Windows},
        {L"\\\\?\\" + in(L"sys\\inner"), Refusal::Windows},
        {in(L"to-sys"), Refusal::Windows},
        {in(L"to-sys\\inner"), Refusal::Windows},
        {in(L"sys\\inner"), Refusal::None, PathUse::EmptyTraces},
        {in(L"sys"), Refusal::Windows, PathUse::EmptyTraces},
        {root, Refusal::Windows},
        {in(L"users"), Refusal::Profiles},
        {in(L"users\\alice"), Refusal::Profiles},
        {in(L"users\\bob-not-yet"), Refusal::Profiles},
        {in(L"users\\alice\\Documents"), Refusal::None},
        {L"Q:\\alice", Refusal::Profiles},
        {L"Q:\\alice\\Documents", Refusal::None},
        {L"Q:\\", Refusal::DriveRoot},
        {in(L"apps"), Refusal::ProgramFiles},
        {in(L"apps\\Program Files"), Refusal::ProgramFiles},
        {shortName, Refusal::ProgramFiles},
        {in(L"apps\\Program Files\\Vendor"), Refusal::None},
        {JoinPath(shortName, L"Vendor"), Refusal::None},
        {L"C:\\", Refusal::DriveRoot},
        {L"C:", Refusal::DriveRoot},
        {L"\\\\?\\C:\\", Refusal::DriveRoot},
        {L"", Refusal::NotAPath},
        {L"relative\\name", Refusal::NotAPath},
        {L"C:name", Refusal::NotAPath},
        {in(L"plain\\..\\sys"), Refusal::NotAPath},
        {L"\\\\?\\unix\\tmp", Refusal::NotAPath},
    });
    RemoveLinuxSymlink(DriveLink('q'));
}

// This machine's own folders, as the pickers, the verb, the command line and the cleaner meet them.
TEST(NeverDestroy, RefusesThisMachinesProtectedFolders)
{
    Sandbox sandbox;
    const NeverDestroyPolicy policy = NeverDestroyPolicy::OfThisMachine();
    const std::wstring windows = Known(CSIDL_WINDOWS);
    const std::wstring profile = Known(CSIDL_PROFILE);
    const std::wstring programs = Known(CSIDL_PROGRAM_FILES);
    ASSERT_FALSE(windows.empty() || profile.empty() || programs.empty());
    ExpectJudged(policy, {
        {JoinPath(windows, L"system32\\kernel32.dll"), Refusal::Windows},
        {JoinPath(windows, L"History"), Refusal::Windows},
        {JoinPath(windows, L"History"), Refusal::None, PathUse::EmptyTraces},
        {programs, Refusal::ProgramFiles},
        {ShortNameOf(programs), Refusal::ProgramFiles},
        {ParentOf(profile), Refusal::Profiles},
        {profile, Refusal::Profiles},
        {JoinPath(ParentOf(profile), L"Public"), Refusal::Profiles},
        {Known(CSIDL_COMMON_APPDATA), Refusal::SharedData},
        {ParentOf(Known(CSIDL_APPDATA)), Refusal::SharedData},
        {Known(CSIDL_LOCAL_APPDATA), Refusal::SharedData},
        {Known(CSIDL_PERSONAL), Refusal::UserFolders},
        // The test prefix links Documents to a Linux folder that no drive names: a path that lands
        // there cannot be judged and is refused (a drive letter just made once led there, and its
        // users' folder was destroyed).
        {JoinPath(Known(CSIDL_PERSONAL), L"letter.txt"), IsRunningOnWine() ? Refusal::NotAPath : Refusal::None},
        {JoinPath(Known(CSIDL_LOCAL_APPDATA), L"Temp"), Refusal::None, PathUse::EmptyTraces},
        {W(sandbox.Root()), Refusal::None},
    });
    // Every refusal says why in words of its own; the two that guard one folder name it.
    std::set<std::string> texts;
    for (const Refusal refusal : {Refusal::NotAPath, Refusal::DriveRoot, Refusal::Windows, Refusal::ProgramFiles,
                                  Refusal::Profiles, Refusal::SharedData, Refusal::UserFolders}) {
        EXPECT_STRNE(RefusalText(refusal), "");
        texts.insert(RefusalText(refusal));
    }
    EXPECT_EQ(texts.size(), 7u);
    EXPECT_TRUE(std::string(RefusalText(Refusal::Windows)).starts_with("Windows "));
    EXPECT_TRUE(std::string(RefusalText(Refusal::ProgramFiles)).starts_with("Program Files "));
}
