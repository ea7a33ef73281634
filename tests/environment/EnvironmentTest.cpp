// Guards the test platform itself: if these fail, no other test result can be trusted to be safe.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <string>

namespace {

std::string Env(const char* name)
{
    const char* value = std::getenv(name);
    return value ? value : "";
}

std::wstring WideEnv(const wchar_t* name)
{
    const wchar_t* value = _wgetenv(name);
    return value ? value : L"";
}

// A Linux path as Wine reaches it without a drive.
std::wstring UnixPath(std::wstring path)
{
    std::replace(path.begin(), path.end(), L'/', L'\\');
    return L"\\\\?\\unix" + path;
}

bool Exists(const std::wstring& path)
{
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// Both ctest entries of this program run at once: each writes probes of its own.
std::wstring Probe(const std::wstring& folder)
{
    return folder + L"\\quenzo-probe." + std::to_wstring(GetCurrentProcessId());
}

// Creates the file (or opens it, for OPEN_EXISTING) and writes to it; false if either is refused.
bool WriteProbe(const std::wstring& path, DWORD disposition = CREATE_NEW)
{
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, disposition, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    DWORD written = 0;
    const bool wrote = WriteFile(file, "probe", 5, &written, nullptr) && written == 5;
    CloseHandle(file);
    return wrote;
}

// Wine reports a read-only file system, and a device on a mount without devices, as access denied;
// checking the error keeps a missing folder from passing for a refusal.
void ExpectRefused(const std::wstring& path, DWORD disposition = CREATE_NEW,
                   DWORD expected = ERROR_ACCESS_DENIED)
{
    const bool wrote = WriteProbe(path, disposition);
    const DWORD error = GetLastError();
    if (wrote && disposition == CREATE_NEW)
        DeleteFileW(path.c_str());
    EXPECT_FALSE(wrote) << path;
    EXPECT_EQ(error, expected) << path;
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
// and every file system outside the test environment is read-only to it: remounting only the root
// left /dev/shm writable, and a checkout, /home or /var on a file system of its own.
TEST(TestEnvironment, NothingOutsideTheEnvironmentIsWritable)
{
    char current[MAX_PATH] = {};
    ASSERT_GT(GetCurrentDirectoryA(MAX_PATH, current), 0u);
    EXPECT_EQ(std::string(current).rfind("C:\\", 0), 0u) << current;
    if (Env("QUENZO_JAILED") != "1")
        GTEST_SKIP() << "this machine allows no mount namespace: the read-only jail is missing";

    const std::wstring root = WideEnv(L"QUENZO_TEST_ENV");
    ExpectRefused(Probe(UnixPath(L"/var/tmp")));
    ExpectRefused(Probe(UnixPath(L"/dev/shm")));
    const std::wstring inside = Probe(UnixPath(root + L"/home"));
    EXPECT_TRUE(WriteProbe(inside)) << inside;
    DeleteFileW(inside.c_str());

    // tools/testenv mounts a file system beside the environment, as a checkout may be mounted, with
    // a device on it that has /dev/zero's numbers: a write that got through would harm nothing.
    const std::wstring outside = root + L".outside";
    if (!Exists(UnixPath(root + L"/probes-mounted")))
        GTEST_SKIP() << "tools/testenv could not mount its test file systems";
    ExpectRefused(Probe(UnixPath(outside)));
    ExpectRefused(UnixPath(outside + L"/zero"), OPEN_EXISTING);

    // The X server runs outside the jail, and its /proc/PID/root is the machine's own root. The
    // kernel refuses the jail that link, and Wine reports it as a missing path.
    if (Env("QUENZO_JAIL_HIDES_PROCESSES") != "1")
        GTEST_SKIP() << "no user namespace here: processes outside the jail are reachable";
    std::wifstream pidFile(UnixPath(root + L"/xvfb.pid").c_str());
    std::wstring xserver;
    pidFile >> xserver;
    xserver = L"/proc/" + xserver;
    ASSERT_TRUE(Exists(UnixPath(xserver))) << xserver;
    ExpectRefused(Probe(UnixPath(xserver + L"/root" + outside)), CREATE_NEW, ERROR_PATH_NOT_FOUND);
}

// A file system that a test mounts inside the environment (a full disk, a FAT image) is the one
// the program sees, and writable: not the empty folder underneath.
TEST(TestEnvironment, FileSystemsMountedInsideTheEnvironmentAreWritable)
{
    const std::wstring root = WideEnv(L"QUENZO_TEST_ENV");
    if (Env("QUENZO_JAILED") != "1" || !Exists(UnixPath(root + L"/probes-mounted")))
        GTEST_SKIP() << "no jail here, or tools/testenv could not mount its test file systems";
    const std::wstring mount = UnixPath(root + L"/mnt/inside");
    EXPECT_TRUE(Exists(mount + L"\\mounted"));
    const std::wstring probe = Probe(mount);
    EXPECT_TRUE(WriteProbe(probe)) << probe;
    DeleteFileW(probe.c_str());
}
