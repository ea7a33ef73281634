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

std::wstring WideEnv(const wchar_t* name)
{
    const wchar_t* value = _wgetenv(name);
    return value ? value : L"";
}

std::wstring UnixPath(std::wstring linuxPath)
{
    for (wchar_t& c : linuxPath)
        if (c == L'/')
            c = L'\\';
    return L"\\\\?\\unix" + linuxPath;
}

// The first line of a UTF-8 text file, "" if it cannot be read.
std::wstring FirstLine(const std::wstring& path)
{
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return L"";
    char bytes[1024];
    DWORD got = 0;
    const BOOL read = ReadFile(file, bytes, sizeof bytes, &got, nullptr);
    CloseHandle(file);
    std::string line(bytes, read ? got : 0);
    line = line.substr(0, line.find('\n'));
    std::wstring wide(line.size(), L'\0');
    wide.resize(MultiByteToWideChar(CP_UTF8, 0, line.data(), static_cast<int>(line.size()), wide.data(),
                                    static_cast<int>(wide.size())));
    return wide;
}

// Both ctest entries of this program run at once: each writes probes of its own.
std::wstring ProbeName()
{
    return L"quenzo-probe." + std::to_wstring(GetCurrentProcessId());
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

// Wine reports EROFS, and a device on a nodev mount, as access denied.
void ExpectRefused(const std::wstring& path, DWORD disposition = CREATE_NEW, DWORD expected = ERROR_ACCESS_DENIED)
{
    const bool wrote = WriteProbe(path, disposition);
    const DWORD error = GetLastError();
    if (wrote && disposition == CREATE_NEW)
        DeleteFileW(path.c_str());
    EXPECT_FALSE(wrote) << path;
    EXPECT_EQ(error, expected) << path;
}

// Refused because the file system is read-only, not because the folder is missing.
void ExpectReadOnly(const std::wstring& folder)
{
    const DWORD attributes = GetFileAttributesW(folder.c_str());
    ASSERT_NE(attributes, INVALID_FILE_ATTRIBUTES) << folder;
    ASSERT_TRUE(attributes & FILE_ATTRIBUTE_DIRECTORY) << folder;
    ExpectRefused(folder + L"\\" + ProbeName());
    const std::wstring folderProbe = folder + L"\\" + ProbeName() + L".folder";
    const bool made = CreateDirectoryW(folderProbe.c_str(), nullptr);
    if (made)
        RemoveDirectoryW(folderProbe.c_str());
    EXPECT_FALSE(made) << folderProbe;
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
    ExpectReadOnly(UnixPath(L"/var/tmp"));
    ExpectReadOnly(UnixPath(L"/dev/shm"));
    // tools/testenv mounts it beside the environment, as a checkout may be mounted, with a device
    // on it that has /dev/zero's numbers: a write that got through would harm nothing.
    const std::wstring outside = FirstLine(UnixPath(root + L"/outside"));
    if (!outside.empty()) {
        ExpectReadOnly(UnixPath(outside));
        ExpectRefused(UnixPath(outside + L"/zero"), OPEN_EXISTING);
        // The X server runs outside the jail; its /proc/PID/root is the machine's own root. The
        // kernel refuses the jail that link, and Wine reports it as a missing path.
        const std::wstring xserver = L"/proc/" + FirstLine(UnixPath(root + L"/xvfb.pid"));
        ASSERT_NE(GetFileAttributesW(UnixPath(xserver).c_str()), INVALID_FILE_ATTRIBUTES) << xserver;
        if (Env("QUENZO_JAIL_HIDES_PROCESSES") == "1")
            ExpectRefused(UnixPath(xserver + L"/root" + outside + L"/") + ProbeName(), CREATE_NEW,
                          ERROR_PATH_NOT_FOUND);
    }

    const std::wstring inside = UnixPath(root + L"/home/") + ProbeName();
    EXPECT_TRUE(WriteProbe(inside)) << inside;
    DeleteFileW(inside.c_str());
    if (outside.empty())
        GTEST_SKIP() << "tools/testenv could not mount its test file systems";
    if (Env("QUENZO_JAIL_HIDES_PROCESSES") != "1")
        GTEST_SKIP() << "no user namespace here: processes outside the jail are reachable";
}

// A file system that a test mounts inside the environment (a full disk, a FAT image) is the one
// the program sees, and writable: not the empty folder underneath.
TEST(TestEnvironment, FileSystemsMountedInsideTheEnvironmentAreWritable)
{
    if (Env("QUENZO_JAILED") != "1")
        GTEST_SKIP() << "this machine allows no mount namespace: the read-only jail is missing";
    const std::wstring root = WideEnv(L"QUENZO_TEST_ENV");
    if (FirstLine(UnixPath(root + L"/outside")).empty())
        GTEST_SKIP() << "tools/testenv could not mount its test file systems";
    const std::wstring mount = UnixPath(root + L"/mnt/inside");
    EXPECT_EQ(FirstLine(mount + L"\\mounted"), L"mounted");
    const std::wstring probe = mount + L"\\" + ProbeName();
    EXPECT_TRUE(WriteProbe(probe)) << probe;
    DeleteFileW(probe.c_str());
}
