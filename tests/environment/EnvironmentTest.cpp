// Guards the test platform itself: if these fail, no other test result can be trusted to be safe.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdlib>
#include <string>

namespace {

std::string Env(const char* name)
{
    const char* value = std::getenv(name);
    return value ? value : "";
}

}  // namespace

TEST(TestEnvironment, RunsInTheThrowawayPrefixAndHome)
{
    const std::string root = Env("QUENZO_TEST_ENV");
    ASSERT_FALSE(root.empty());
    EXPECT_EQ(Env("WINEPREFIX").rfind(root + "/", 0), 0u) << Env("WINEPREFIX");
    // Wine maps the Unix HOME it was given into the prefix as \??\unix\...
    std::string home = "\\??\\unix" + root + "/home";
    for (char& c : home)
        if (c == '/')
            c = '\\';
    EXPECT_EQ(Env("WINEHOMEDIR"), home);
    if (Env("QUENZO_FRESH_PREFIX") == "1") {
        EXPECT_NE(Env("WINEPREFIX").find("/clones/"), std::string::npos) << Env("WINEPREFIX");
    }
}

TEST(TestEnvironment, LinuxRootIsNotADrive)
{
    EXPECT_EQ(GetFileAttributesA("Z:\\"), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(GetDriveTypeA("Z:\\"), static_cast<UINT>(DRIVE_NO_ROOT_DIR));
}

TEST(TestEnvironment, AnsiCodePageIsKorean)
{
    EXPECT_EQ(GetACP(), 949u);
    // The platform must read our CP949 bytes as the same syllables: 퀜 is U+D01C.
    wchar_t wide[4] = {};
    ASSERT_EQ(MultiByteToWideChar(CP_ACP, 0, "퀜조", -1, wide, 4), 3);
    EXPECT_EQ(wide[0], L'\xD01C');
    EXPECT_EQ(wide[1], L'\xC870');
}

TEST(TestEnvironment, NoProxyReachesWine)
{
    for (const char* name : {"http_proxy", "https_proxy", "HTTP_PROXY", "HTTPS_PROXY", "ALL_PROXY"})
        EXPECT_EQ(Env(name), "") << name;
}

// Wine reaches the Linux root through \\?\unix\ even without drive Z:, and a process started in a
// Linux folder works relative to it. Both must lead nowhere: the program starts in the prefix,
// and everything outside the test environment is read-only to it.
TEST(TestEnvironment, NothingOutsideTheEnvironmentIsWritable)
{
    char current[MAX_PATH] = {};
    ASSERT_GT(GetCurrentDirectoryA(MAX_PATH, current), 0u);
    EXPECT_EQ(std::string(current).rfind("C:\\", 0), 0u) << current;
    if (Env("QUENZO_JAILED") != "1")
        GTEST_SKIP() << "this machine allows no mount namespace: the read-only jail is missing";

    const std::string outside = "\\\\?\\unix\\var\\tmp\\quenzo-escape-probe";
    HANDLE escape = CreateFileA(outside.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
    EXPECT_EQ(escape, INVALID_HANDLE_VALUE);
    if (escape != INVALID_HANDLE_VALUE) {
        CloseHandle(escape);
        DeleteFileA(outside.c_str());
    }
    EXPECT_FALSE(CreateDirectoryA("\\\\?\\unix\\var\\tmp\\quenzo-escape-folder", nullptr));

    std::string inside = "\\\\?\\unix" + Env("QUENZO_TEST_ENV") + "/home/probe";
    for (char& c : inside)
        if (c == '/')
            c = '\\';
    HANDLE allowed = CreateFileA(inside.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    EXPECT_NE(allowed, INVALID_HANDLE_VALUE) << inside;
    if (allowed != INVALID_HANDLE_VALUE) {
        CloseHandle(allowed);
        DeleteFileA(inside.c_str());
    }
}
