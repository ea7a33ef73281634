// The setup program and its uninstaller, run silently as an administrator would, in a prefix of
// this test program's own: what they put on the disk and in the registry, what they leave alone,
// and how they treat a running copy of the program.
#include "Sandbox.h"

#include <gtest/gtest.h>
#include <windows.h>
#include <objbase.h>
#include <shlobj.h>
#include <shobjidl.h>
#include <tlhelp32.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

namespace {

const std::wstring kFolder = L"C:\\Program Files\\Marrowick\\QuenzoLite";
const std::wstring kProgram = kFolder + L"\\QuenzoLite.exe";
const std::wstring kUninstaller = kFolder + L"\\Uninstall.exe";
const std::wstring kUninstallKey = L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\QuenzoLite";
const std::wstring kRunKey = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";
const std::wstring kProductKey = L"Software\\Marrowick\\QuenzoLite";
const std::wstring kSettingsKey = L"Software\\Marrowick\\QuenzoLite\\Data";
const std::wstring kVerbKeys[] = {L"Software\\Classes\\*\\shell\\QuenzoLite.SecureDelete",
                                  L"Software\\Classes\\Directory\\shell\\QuenzoLite.SecureDelete"};
const std::wstring kBannerFiles[] = {kFolder + L"\\banner\\banner1.bmp", kFolder + L"\\banner\\banner2.bmp",
                                     kFolder + L"\\banner\\banner3.bmp", L"C:\\Windows\\Temp\\banner1.bmp",
                                     L"C:\\Windows\\Temp\\banner2.bmp", L"C:\\Windows\\Temp\\banner3.bmp"};
constexpr DWORD kAborted = 2;

std::wstring Wide(const std::string& text)
{
    std::wstring wide(text.size(), L'\0');
    wide.resize(MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), wide.data(),
                                    static_cast<int>(wide.size())));
    return wide;
}

std::string ReadAll(const std::wstring& path)
{
    std::ifstream in(std::filesystem::path(path), std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

bool WriteAll(const std::wstring& path, const std::string& bytes)
{
    std::ofstream out(std::filesystem::path(path), std::ios::binary);
    return static_cast<bool>(out << bytes);
}

bool Exists(const std::wstring& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

// A file of the build tree, through Wine's view of the Linux root.
std::wstring UnixPath(std::string path)
{
    std::replace(path.begin(), path.end(), '/', '\\');
    return L"\\\\?\\unix" + Wide(path);
}

std::optional<std::wstring> ReadString(HKEY root, const std::wstring& key, const std::wstring& name)
{
    wchar_t data[1024];
    DWORD size = sizeof(data);
    if (RegGetValueW(root, key.c_str(), name.empty() ? nullptr : name.c_str(), RRF_RT_REG_SZ, nullptr, data, &size) !=
        ERROR_SUCCESS)
        return std::nullopt;
    return std::wstring(data);
}

std::optional<DWORD> ReadNumber(HKEY root, const std::wstring& key, const std::wstring& name)
{
    DWORD value = 0, size = sizeof(value);
    if (RegGetValueW(root, key.c_str(), name.c_str(), RRF_RT_REG_DWORD, nullptr, &value, &size) != ERROR_SUCCESS)
        return std::nullopt;
    return value;
}

bool KeyExists(HKEY root, const std::wstring& key)
{
    HKEY opened = nullptr;
    if (RegOpenKeyExW(root, key.c_str(), 0, KEY_READ, &opened) != ERROR_SUCCESS)
        return false;
    RegCloseKey(opened);
    return true;
}

void WriteString(HKEY root, const std::wstring& key, const std::wstring& name, const std::wstring& value)
{
    ASSERT_EQ(RegSetKeyValueW(root, key.c_str(), name.c_str(), REG_SZ, value.c_str(),
                              static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t))),
              ERROR_SUCCESS);
}

// Something done for a process's windows while a test waits for it, given the process's id.
using Driver = std::function<void(DWORD)>;

// Waits for a process while handling this thread's messages (a window of this test may be asked
// something by the process meanwhile) and driving its windows twice a second.
std::optional<DWORD> ExitCodeWithin(HANDLE process, DWORD milliseconds, const Driver& drive = nullptr)
{
    const DWORD start = GetTickCount();
    for (;;) {
        const DWORD spent = GetTickCount() - start;
        if (spent >= milliseconds)
            return std::nullopt;
        const DWORD woken =
            MsgWaitForMultipleObjects(1, &process, FALSE, std::min<DWORD>(milliseconds - spent, 500), QS_ALLINPUT);
        if (woken == WAIT_OBJECT_0)
            break;
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageW(&message);
        if (woken == WAIT_TIMEOUT && drive)
            drive(GetProcessId(process));
    }
    DWORD code = 0;
    if (!GetExitCodeProcess(process, &code))
        return std::nullopt;
    return code;
}

// Goes through a wizard as a person would: `answer` in its question boxes (the windows it owns),
// otherwise its default button (next, install, finish, close) once that is enabled.
Driver ClickThrough(int answer)
{
    return [answer](DWORD process) {
        struct Windows {
            DWORD process;
            HWND box = nullptr, wizard = nullptr;
        } found{process};
        EnumWindows(
            [](HWND window, LPARAM data) -> BOOL {
                auto& windows = *reinterpret_cast<Windows*>(data);
                DWORD owner = 0;
                GetWindowThreadProcessId(window, &owner);
                if (owner == windows.process && IsWindowVisible(window))
                    (GetWindow(window, GW_OWNER) ? windows.box : windows.wizard) = window;
                return TRUE;
            },
            reinterpret_cast<LPARAM>(&found));
        const HWND target = found.box ? found.box : found.wizard;
        const int id = found.box ? answer : IDOK;
        const HWND button = target ? GetDlgItem(target, id) : nullptr;
        if (button && IsWindowEnabled(button) && IsWindowVisible(button))
            PostMessageW(target, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(button));
    };
}

PROCESS_INFORMATION Start(std::wstring command, const wchar_t* folder = nullptr)
{
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process{};
    if (CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, folder, &startup, &process))
        CloseHandle(process.hThread);
    return process;
}

// The processes that `parent` started, while they still run.
std::vector<HANDLE> ChildrenOf(DWORD parent)
{
    std::vector<HANDLE> children;
    const HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof(entry);
    for (BOOL more = Process32FirstW(snapshot, &entry); more; more = Process32NextW(snapshot, &entry))
        if (entry.th32ParentProcessID == parent)
            if (const HANDLE child = OpenProcess(SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION, FALSE, entry.th32ProcessID))
                children.push_back(child);
    CloseHandle(snapshot);
    return children;
}

// Runs a command to its end; the exit code, or nothing when it did not start or end in time.
// The uninstaller copies itself to the temporary folder, starts the copy and ends: then the
// copy's exit code is the uninstall's, as a person running the uninstall entry sees it.
std::optional<DWORD> RunToEnd(const std::wstring& command, bool followCopy = false, const Driver& drive = nullptr)
{
    // A program that has just ended may still hold its file for a moment on a busy machine, and
    // the same setup is started again at once: its start is retried for a bounded time.
    PROCESS_INFORMATION process = Start(command);
    for (const DWORD start = GetTickCount(); !process.hProcess && GetTickCount() - start < 15000;) {
        Sleep(100);
        process = Start(command);
    }
    if (!process.hProcess) {
        ADD_FAILURE() << "could not start " << testing::PrintToString(command) << ": error " << GetLastError();
        return std::nullopt;
    }
    std::optional<DWORD> code = ExitCodeWithin(process.hProcess, 120000, drive);
    if (code && followCopy) {
        const std::vector<HANDLE> copies = ChildrenOf(process.dwProcessId);
        if (copies.size() != 1)
            code.reset();
        for (HANDLE copy : copies) {
            if (code)
                code = ExitCodeWithin(copy, 120000, drive);
            CloseHandle(copy);
        }
    }
    CloseHandle(process.hProcess);
    return code;
}

// Where the update program downloads setups: its own folder in the temporary folder.
std::wstring UpdateDownloads()
{
    wchar_t temp[MAX_PATH] = L"";
    GetTempPathW(MAX_PATH, temp);
    return std::wstring(temp) + L"QuenzoLiteUpdate";
}

// The programs this build made, each as (its name in the install folder, the built file).
std::vector<std::pair<std::wstring, std::wstring>> BuiltPrograms()
{
    std::vector<std::pair<std::wstring, std::wstring>> programs;
    std::stringstream list(QUENZO_BUILT_PROGRAMS);
    for (std::string path; std::getline(list, path, '|');)
        programs.emplace_back(kFolder + L"\\" + Wide(path.substr(path.find_last_of('/') + 1)), UnixPath(path));
    return programs;
}

class Setup : public ::testing::Test {
protected:
    void SetUp() override
    {
        // NSIS reads its own file again by its module name, which it cannot do from a path of
        // Wine's Unix namespace: the setup program runs from the prefix, as from a download folder.
        m_setup = Wide(m_sandbox.Path("QuenzoLiteSetup.exe"));
        ASSERT_TRUE(CopyFileW(UnixPath(QUENZO_SETUP_PATH).c_str(), m_setup.c_str(), FALSE));
    }

    void TearDown() override
    {
        if (Exists(kUninstaller))
            RunToEnd(L"\"" + kUninstaller + L"\" /S /REMOVESETTINGS", true);
    }

    std::optional<DWORD> Install() { return RunToEnd(L"\"" + m_setup + L"\" /S"); }
    std::optional<DWORD> Uninstall(const std::wstring& switches = L"")
    {
        return RunToEnd(*ReadString(HKEY_LOCAL_MACHINE, kUninstallKey, L"QuietUninstallString") + switches, true);
    }

    // What the program writes while it runs: its banner files, product information and settings.
    void LeaveProgramTraces()
    {
        CreateDirectoryW(L"C:\\Windows\\Temp\\banner", nullptr);
        for (const std::wstring& file : kBannerFiles)
            ASSERT_TRUE(WriteAll(file, "BM"));
        WriteString(HKEY_CURRENT_USER, kRunKey, L"Quenzo Light", L"\"" + kProgram + L"\" trayOn");
        WriteString(HKEY_CURRENT_USER, kProductKey, L"AppVersion", L"1.0.0.1");
        CreateDirectoryW(UpdateDownloads().c_str(), nullptr);
        ASSERT_TRUE(WriteAll(UpdateDownloads() + L"\\QuenzoLiteSetup-1.0.0.2.exe", "MZ"));
        WriteString(HKEY_CURRENT_USER, kSettingsKey, L"Method", L"7");
    }

    Sandbox m_sandbox;
    std::wstring m_setup;
};

std::wstring ShortcutPath()
{
    wchar_t programs[MAX_PATH];
    if (FAILED(SHGetFolderPathW(nullptr, CSIDL_COMMON_PROGRAMS, nullptr, SHGFP_TYPE_CURRENT, programs)))
        return L"";
    return std::wstring(programs) + L"\\QuenzoLite.lnk";
}

// The shortcut's target and working folder, read as the shell reads them.
std::pair<std::wstring, std::wstring> ReadShortcut(const std::wstring& path)
{
    std::pair<std::wstring, std::wstring> result;
    CoInitialize(nullptr);
    IShellLinkW* link = nullptr;
    if (SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                   reinterpret_cast<void**>(&link)))) {
        IPersistFile* file = nullptr;
        if (SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)))) {
            wchar_t text[MAX_PATH] = L"";
            if (SUCCEEDED(file->Load(path.c_str(), STGM_READ))) {
                if (SUCCEEDED(link->GetPath(text, MAX_PATH, nullptr, 0)))
                    result.first = text;
                if (SUCCEEDED(link->GetWorkingDirectory(text, MAX_PATH)))
                    result.second = text;
            }
            file->Release();
        }
        link->Release();
    }
    CoUninitialize();
    return result;
}

}  // namespace

TEST_F(Setup, InstallsTheProgramShortcutUninstallEntryAndVerb)
{
    ASSERT_EQ(Install(), 0u);

    ASSERT_GE(BuiltPrograms().size(), 1u);
    EXPECT_EQ(BuiltPrograms()[0].first, kProgram);
    for (const auto& [installed, built] : BuiltPrograms()) {
        ASSERT_NE(ReadAll(built), "") << built;
        EXPECT_EQ(ReadAll(installed), ReadAll(built)) << installed;
    }
    EXPECT_TRUE(Exists(kUninstaller));
    EXPECT_EQ(GetFileAttributesW((kFolder + L"\\banner").c_str()) & FILE_ATTRIBUTE_DIRECTORY, FILE_ATTRIBUTE_DIRECTORY);
    EXPECT_EQ(ReadShortcut(ShortcutPath()), std::make_pair(kProgram, kFolder));

    const struct {
        const wchar_t* name;
        std::wstring value;
    } entry[] = {
        {L"DisplayName", L"Quenzo Lite"},
        {L"DisplayVersion", Wide(QUENZO_VERSION)},
        {L"Publisher", L"Marrowick"},
        {L"DisplayIcon", kProgram + L",0"},
        {L"UninstallString", L"\"" + kUninstaller + L"\""},
        {L"QuietUninstallString", L"\"" + kUninstaller + L"\" /S"},
    };
    for (const auto& value : entry)
        EXPECT_EQ(ReadString(HKEY_LOCAL_MACHINE, kUninstallKey, value.name), value.value) << value.name;
    const DWORD programKiB = static_cast<DWORD>(ReadAll(kProgram).size() / 1024);
    EXPECT_GE(ReadNumber(HKEY_LOCAL_MACHINE, kUninstallKey, L"EstimatedSize").value_or(0), programKiB);

    for (const std::wstring& verb : kVerbKeys) {
        EXPECT_EQ(ReadString(HKEY_CURRENT_USER, verb, L""), L"QuenzoLite로 보안 삭제") << verb;
        EXPECT_EQ(ReadString(HKEY_CURRENT_USER, verb, L"Icon"), kProgram) << verb;
        EXPECT_EQ(ReadString(HKEY_CURRENT_USER, verb, L"MultiSelectModel"), L"Player") << verb;
        EXPECT_EQ(ReadString(HKEY_CURRENT_USER, verb + L"\\command", L""), L"\"" + kProgram + L"\" /add \"%1\"")
            << verb;
    }
}

// The uninstaller takes exactly what the setup and the program made and nothing of anyone else's:
// a user's file keeps the install folder, files and values beside ours stay. The settings stay
// unless asked for, so that a reinstall finds them.
TEST_F(Setup, UninstallRemovesWhatItMadeAndKeepsSettingsUnlessAsked)
{
    ASSERT_EQ(Install(), 0u);
    LeaveProgramTraces();
    const std::wstring usersFile = kFolder + L"\\my notes.txt";
    const std::wstring canaries[] = {usersFile, L"C:\\Windows\\Temp\\banner4.bmp", L"C:\\Windows\\Temp\\banner1.bmp.txt",
                                     kFolder + L"\\banner1.bmp"};
    for (const std::wstring& canary : canaries)
        ASSERT_TRUE(WriteAll(canary, "mine"));
    WriteString(HKEY_CURRENT_USER, kRunKey, L"Another Program", L"C:\\another.exe");
    WriteString(HKEY_CURRENT_USER, L"Software\\Marrowick\\Another", L"Kept", L"yes");
    WriteString(HKEY_CURRENT_USER, L"Software\\Classes\\*\\shell\\Another", L"", L"another verb");

    ASSERT_EQ(Uninstall(), 0u);

    for (const std::wstring& gone : {kProgram, kUninstaller, kFolder + L"\\banner", ShortcutPath(),
                                     std::wstring(L"C:\\Windows\\Temp\\banner"), UpdateDownloads()})
        EXPECT_FALSE(Exists(gone)) << gone;
    for (const std::wstring& gone : kBannerFiles)
        EXPECT_FALSE(Exists(gone)) << gone;
    for (const auto& program : BuiltPrograms())
        EXPECT_FALSE(Exists(program.first)) << program.first;
    for (const std::wstring& kept : canaries)
        EXPECT_EQ(ReadAll(kept), "mine") << kept;
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, kUninstallKey));
    for (const std::wstring& verb : kVerbKeys)
        EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, verb)) << verb;
    EXPECT_FALSE(ReadString(HKEY_CURRENT_USER, kRunKey, L"Quenzo Light"));
    EXPECT_FALSE(ReadString(HKEY_CURRENT_USER, kProductKey, L"AppVersion"));
    EXPECT_EQ(ReadString(HKEY_CURRENT_USER, kSettingsKey, L"Method"), L"7");
    EXPECT_EQ(ReadString(HKEY_CURRENT_USER, kRunKey, L"Another Program"), L"C:\\another.exe");
    EXPECT_EQ(ReadString(HKEY_CURRENT_USER, L"Software\\Marrowick\\Another", L"Kept"), L"yes");
    EXPECT_EQ(ReadString(HKEY_CURRENT_USER, L"Software\\Classes\\*\\shell\\Another", L""), L"another verb");

    // Asked to, it removes the settings too, and the company key once nothing else is in it.
    for (const std::wstring& canary : {usersFile, kFolder + L"\\banner1.bmp"})
        ASSERT_TRUE(DeleteFileW(canary.c_str()));
    ASSERT_EQ(Install(), 0u);
    ASSERT_EQ(Uninstall(L" /REMOVESETTINGS"), 0u);
    EXPECT_FALSE(Exists(kFolder));
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, kProductKey));
    EXPECT_EQ(ReadString(HKEY_CURRENT_USER, L"Software\\Marrowick\\Another", L"Kept"), L"yes");
    RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\Marrowick");
    EXPECT_EQ(Install(), 0u);
    EXPECT_EQ(Uninstall(L" /REMOVESETTINGS"), 0u);
    EXPECT_FALSE(Exists(L"C:\\Program Files\\Marrowick"));
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, L"Software\\Marrowick"));
}

// A copy that does not end when asked stops a silent setup and uninstall with an error and no
// change; neither ends it by force. Here this test is that copy: it holds the program's mutex and
// a main window that takes no request, so the program's /close answers that the copy runs on.
TEST_F(Setup, ACopyThatDoesNotEndStopsSetupAndUninstall)
{
    ASSERT_EQ(Install(), 0u);
    WriteString(HKEY_LOCAL_MACHINE, kUninstallKey, L"DisplayVersion", L"0.9");
    const HANDLE mutex = CreateMutexW(nullptr, FALSE, L"QuenzoLite");
    ASSERT_NE(mutex, nullptr);
    const HWND window = CreateWindowExW(0, L"STATIC", L"Quenzo Lite", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                        nullptr, nullptr);
    ASSERT_NE(window, nullptr);

    EXPECT_EQ(Install(), kAborted);
    EXPECT_EQ(ReadString(HKEY_LOCAL_MACHINE, kUninstallKey, L"DisplayVersion"), L"0.9");
    EXPECT_EQ(Uninstall(), kAborted);
    EXPECT_TRUE(Exists(kProgram));
    EXPECT_TRUE(KeyExists(HKEY_CURRENT_USER, kVerbKeys[0]));

    DestroyWindow(window);
    CloseHandle(mutex);
}

namespace {

std::string ReadUnix(const std::string& path) { return ReadAll(UnixPath(path)); }

// Points the prefix's proxy setting at the test run's own site (tools/site-fixture), which answers
// for any address: the installed program asks for its built-in address and gets the banners.
void UseTheRunsSite()
{
    const char* env = std::getenv("QUENZO_TEST_ENV");
    ASSERT_NE(env, nullptr);
    std::string port = ReadUnix(std::string(env) + "/site-port");
    port = port.substr(0, port.find_first_of("\r\n"));
    ASSERT_FALSE(port.empty());
    const std::wstring key = L"Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings";
    const DWORD enable = 1;
    ASSERT_EQ(RegSetKeyValueW(HKEY_CURRENT_USER, key.c_str(), L"ProxyEnable", REG_DWORD, &enable, sizeof(enable)),
              ERROR_SUCCESS);
    WriteString(HKEY_CURRENT_USER, key, L"ProxyServer", L"127.0.0.1:" + Wide(port));
}

}  // namespace

// The setup quotes the autostart entry an earlier version left unquoted (Windows would try
// C:\Program.exe first). The program, started by that entry as at sign-in, from its folder,
// starts in the tray, fetches its banners into the banner folder the setup made and points its
// autostart entry at itself; a silent setup run over it ends it through its /close and replaces it.
TEST_F(Setup, TheInstalledProgramRunsAndASilentSetupClosesIt)
{
    WriteString(HKEY_CURRENT_USER, kRunKey, L"Quenzo Light", kProgram + L" trayOn");
    ASSERT_EQ(Install(), 0u);
    const std::wstring quoted = L"\"" + kProgram + L"\" trayOn";
    const std::wstring autostart = ReadString(HKEY_CURRENT_USER, kRunKey, L"Quenzo Light").value_or(L"");
    EXPECT_EQ(autostart, quoted);
    UseTheRunsSite();
    PROCESS_INFORMATION program = Start(autostart, kFolder.c_str());
    ASSERT_NE(program.hProcess, nullptr);

    const std::string banner3 = ReadUnix(std::string(QUENZO_SITE_DIR) + "/QuenzoLight/banner/banner3.bmp");
    ASSERT_NE(banner3, "");
    for (int wait = 0; wait < 300 && ReadAll(kBannerFiles[2]) != banner3; ++wait)
        Sleep(100);
    EXPECT_EQ(ReadAll(kBannerFiles[2]), banner3);
    for (int wait = 0; wait < 100 && !IsIconic(FindWindowW(nullptr, L"Quenzo Lite")); ++wait)
        Sleep(100);
    EXPECT_TRUE(IsIconic(FindWindowW(nullptr, L"Quenzo Lite")));
    EXPECT_EQ(ReadString(HKEY_CURRENT_USER, kRunKey, L"Quenzo Light"), quoted);
    EXPECT_EQ(WaitForSingleObject(program.hProcess, 0), static_cast<DWORD>(WAIT_TIMEOUT));

    EXPECT_EQ(Install(), 0u);
    EXPECT_EQ(ExitCodeWithin(program.hProcess, 10000), 0u);
    EXPECT_EQ(ReadAll(kProgram), ReadAll(BuiltPrograms()[0].second));

    // Whatever happened above, the copy this test started must not outlive it.
    if (WaitForSingleObject(program.hProcess, 0) == WAIT_TIMEOUT)
        TerminateProcess(program.hProcess, 1);
    CloseHandle(program.hProcess);
}

// The wizards: the setup asks to end a running copy first (cancelled: nothing installed, exit 1),
// its last page starts the program in its folder, and the uninstaller asks whether to keep the
// settings (no: they go).
TEST_F(Setup, TheWizardsAskAboutARunningCopyAndTheSettingsAndStartTheProgram)
{
    HANDLE mutex = CreateMutexW(nullptr, FALSE, L"QuenzoLite");
    const HWND window = CreateWindowExW(0, L"STATIC", L"Quenzo Lite", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                        nullptr, nullptr);
    EXPECT_EQ(RunToEnd(L"\"" + m_setup + L"\"", false, ClickThrough(IDCANCEL)), 1u);
    EXPECT_FALSE(Exists(kFolder));
    DestroyWindow(window);
    CloseHandle(mutex);

    UseTheRunsSite();
    ASSERT_EQ(RunToEnd(L"\"" + m_setup + L"\"", false, ClickThrough(IDOK)), 0u);
    const std::string banner3 = ReadUnix(std::string(QUENZO_SITE_DIR) + "/QuenzoLight/banner/banner3.bmp");
    ASSERT_NE(banner3, "");
    for (int wait = 0; wait < 300 && ReadAll(kBannerFiles[2]) != banner3; ++wait)
        Sleep(100);
    EXPECT_EQ(ReadAll(kBannerFiles[2]), banner3);
    mutex = OpenMutexW(SYNCHRONIZE, FALSE, L"QuenzoLite");
    EXPECT_NE(mutex, nullptr);
    if (mutex)
        CloseHandle(mutex);

    EXPECT_EQ(RunToEnd(L"\"" + kProgram + L"\" /close"), 0u);

    // This test holds the install folder as its current folder, as a program the copy started (a
    // browser) may, until the uninstaller has removed the files: the folders still go.
    WriteString(HKEY_CURRENT_USER, kSettingsKey, L"Method", L"7");
    wchar_t own[MAX_PATH];
    GetCurrentDirectoryW(MAX_PATH, own);
    bool held = SetCurrentDirectoryW(kFolder.c_str()) != FALSE;
    const Driver answer = ClickThrough(IDNO);
    EXPECT_EQ(RunToEnd(L"\"" + kUninstaller + L"\"", true, [&](DWORD uninstaller) {
                  if (held && !Exists(kProgram))
                      held = !SetCurrentDirectoryW(own);
                  answer(uninstaller);
              }),
              0u);
    EXPECT_FALSE(held);
    EXPECT_FALSE(Exists(kProgram));
    EXPECT_FALSE(Exists(kFolder));
    EXPECT_FALSE(Exists(L"C:\\Program Files\\Marrowick"));
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, kSettingsKey));
}
