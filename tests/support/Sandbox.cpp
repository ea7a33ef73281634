#include "Sandbox.h"

#include "Cp949Text.h"
#include "ExactPath.h"
#include "ScopedHandle.h"
#include "WipeResult.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>

namespace {

[[noreturn]] void Refuse(const std::string& why)
{
    std::fprintf(stderr, "sandbox: %s\n", why.c_str());
    std::fflush(stderr);
    std::abort();
}

void CheckTestEnvironment()
{
    if (!std::getenv("QUENZO_TEST_ENV"))
        Refuse("not inside the test environment (run the tests through ctest or tools/wine-run)");
    if (GetFileAttributesA("Z:\\") != INVALID_FILE_ATTRIBUTES)
        Refuse("drive Z: exists in this prefix; it must be removed before any test runs");
}

std::string UnixPathOf(const std::string& dosPath)
{
    using UnixName = char*(__cdecl*)(const wchar_t*);
    const auto toUnix = reinterpret_cast<UnixName>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("kernel32.dll"), "wine_get_unix_file_name")));
    if (!toUnix)
        Refuse("symbolic links can only be made under Wine");
    wchar_t wide[MAX_PATH * 4];
    if (!MultiByteToWideChar(CP_ACP, 0, dosPath.c_str(), -1, wide, MAX_PATH * 4))
        Refuse("path does not convert: " + dosPath);
    char* unixPath = toUnix(wide);
    if (!unixPath)
        Refuse("no Unix path for " + dosPath);
    std::string result(unixPath);
    HeapFree(GetProcessHeap(), 0, unixPath);
    return result;
}

}  // namespace

Sandbox::Sandbox()
{
    CheckTestEnvironment();
    static std::atomic<int> counter{0};
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    std::string name = info ? std::string(info->test_suite_name()) + "." + info->name() : "sandbox";
    std::replace_if(name.begin(), name.end(), [](char c) { return c == '/' || c == '\\' || c == ':'; }, '_');
    CreateDirectoryA("C:\\qltest", nullptr);
    m_root = "C:\\qltest\\" + name + "." + std::to_string(GetCurrentProcessId()) + "." + std::to_string(++counter);
    if (!CreateDirectoryA(m_root.c_str(), nullptr))
        Refuse("cannot create " + m_root);
    // A relative path anywhere in the code under test must land here too.
    if (!SetCurrentDirectoryA(m_root.c_str()))
        Refuse("cannot enter " + m_root);
}

std::string Sandbox::Path(const std::string& relative) const
{
    if (relative.empty())
        return m_root;
    if (relative.find(':') != std::string::npos || relative[0] == '\\' || relative[0] == '/')
        Refuse("absolute path handed to a sandbox: " + relative);
    std::stringstream parts(relative);
    for (std::string part; std::getline(parts, part, '\\');)
        if (part == "..")
            Refuse("path leaves the sandbox: " + relative);
    return m_root + "\\" + relative;
}

void Sandbox::MakeFolder(const std::string& relative) const
{
    ASSERT_TRUE(CreateDirectoryA(Path(relative).c_str(), nullptr)) << relative;
}

void Sandbox::WriteFile(const std::string& relative, const std::string& bytes) const
{
    std::ofstream out(Path(relative), std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    ASSERT_TRUE(out.good()) << relative;
}

std::string Sandbox::ReadFile(const std::string& relative) const
{
    std::ifstream in(Path(relative), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

bool Sandbox::Exists(const std::string& relative) const
{
    return GetFileAttributesA(Path(relative).c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::vector<std::string> Sandbox::List(const std::string& relative) const
{
    std::vector<std::string> names;
    WIN32_FIND_DATAA found;
    HANDLE find = FindFirstFileA((Path(relative) + "\\*").c_str(), &found);
    if (find == INVALID_HANDLE_VALUE)
        return names;
    do {
        const std::string name = found.cFileName;
        if (name != "." && name != "..")
            names.push_back(name);
    } while (FindNextFileA(find, &found));
    FindClose(find);
    std::sort(names.begin(), names.end());
    return names;
}

std::wstring Sandbox::PathW(const std::wstring& relative) const
{
    if (relative.empty())
        return Widen949(m_root);
    if (relative.find(L':') != std::wstring::npos || relative[0] == L'\\' || relative[0] == L'/')
        Refuse("absolute path handed to a sandbox: " + Narrow949(relative));
    std::size_t start = 0;
    for (std::size_t end = 0; end != std::wstring::npos; start = end + 1) {
        end = relative.find(L'\\', start);
        if (relative.substr(start, end - start) == L"..")
            Refuse("path leaves the sandbox: " + Narrow949(relative));
    }
    return Widen949(m_root) + L"\\" + relative;
}

void Sandbox::MakeFolderW(const std::wstring& relative) const
{
    ASSERT_TRUE(CreateDirectoryW(Extended(PathW(relative)).c_str(), nullptr)) << Narrow949(relative);
}

void Sandbox::WriteFileW(const std::wstring& relative, const std::string& bytes) const
{
    HANDLE file = CreateFileW(Extended(PathW(relative)).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE) << Narrow949(relative);
    DWORD written = 0;
    const BOOL ok = ::WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(file);
    ASSERT_TRUE(ok && written == bytes.size()) << Narrow949(relative);
}

std::string Sandbox::ReadFileW(const std::wstring& relative) const
{
    HANDLE file = CreateFileW(Extended(PathW(relative)).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              nullptr, OPEN_EXISTING, 0, nullptr);
    std::string bytes;
    if (file == INVALID_HANDLE_VALUE)
        return bytes;
    char chunk[65536];
    DWORD got = 0;
    while (::ReadFile(file, chunk, sizeof(chunk), &got, nullptr) && got > 0)
        bytes.append(chunk, got);
    CloseHandle(file);
    return bytes;
}

bool Sandbox::ExistsW(const std::wstring& relative) const
{
    return GetFileAttributesW(Extended(PathW(relative)).c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::vector<std::wstring> Sandbox::ListW(const std::wstring& relative) const
{
    std::vector<std::wstring> names;
    ForEachEntry(PathW(relative), [&](const WIN32_FIND_DATAW& entry) { names.emplace_back(entry.cFileName); });
    std::sort(names.begin(), names.end());
    return names;
}

void Sandbox::MakeSymlink(const std::string& linkRelative, const std::string& targetRelative) const
{
    MakeLinuxSymlink(Path(linkRelative), Path(targetRelative));
}

namespace {

// Runs /bin/`tool` with the quoted Unix paths and waits for it (bounded).
void RunUnixTool(const std::string& tool, const std::string& options, const std::vector<std::string>& paths)
{
    // Wine splits the command line of a Unix program by the Windows rules: a quoted path may hold
    // blanks, but not a quote or a backslash.
    std::string command = "\\\\?\\unix\\bin\\" + tool + " " + options;
    for (const std::string& p : paths) {
        if (p.find_first_of("\"\\") != std::string::npos)
            Refuse("path cannot be quoted: " + p);
        command += " \"" + p + "\"";
    }
    // Wine starts a Unix program when handed one; \\?\unix\ reaches it without drive Z:.
    STARTUPINFOA startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process{};
    if (!CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
        Refuse("cannot start " + tool + ": error " + std::to_string(GetLastError()));
    WaitForSingleObject(process.hProcess, 10000);
    CloseHandle(process.hProcess);
    CloseHandle(process.hThread);
}

// The tool runs outside Wine's process tracking; wait until the link is as wanted.
void AwaitLink(const std::string& linkPath, bool present)
{
    const auto exists = [&] { return GetFileAttributesA(linkPath.c_str()) != INVALID_FILE_ATTRIBUTES; };
    for (int i = 0; i < 250 && exists() != present; ++i)
        Sleep(20);
    if (exists() != present)
        Refuse((present ? "ln -s made no link at " : "rm left the link at ") + linkPath);
}

}  // namespace

void MakeLinuxSymlink(const std::string& linkPath, const std::string& targetPath)
{
    RunUnixTool("ln", "-s", {UnixPathOf(targetPath), UnixPathOf(linkPath)});
    AwaitLink(linkPath, true);
}

void RemoveLinuxSymlink(const std::string& linkPath)
{
    // rm removes a link itself, never what it leads to (Wine's own deletion may follow it).
    RunUnixTool("rm", "-f", {UnixPathOf(linkPath)});
    AwaitLink(linkPath, false);
}

bool IsRunningOnWine()
{
    return GetProcAddress(GetModuleHandleA("ntdll.dll"), "wine_get_version") != nullptr;
}

std::string DriveLink(char letter)
{
    const char* prefix = std::getenv("WINEPREFIX");
    if (!prefix)
        Refuse("no WINEPREFIX: drive letters can only be made under Wine");
    return UnixPath(std::string(prefix) + "/dosdevices/" + letter + ":");
}

void MakeDrive(char letter, const std::string& target, const std::string& probe)
{
    MakeLinuxSymlink(DriveLink(letter), target);
    const std::string seen = std::string(1, letter) + ":\\" + probe;
    // Shown is not yet settled: for a while Wine names what lies there "\\?\unix\...", outside every
    // drive, and a path judged or walked meanwhile would land nowhere the program knows.
    const auto named = [&] {
        const ScopedHandle handle(CreateFileA(seen.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                              nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
        wchar_t final[MAX_PATH] = {};
        const DWORD length = handle.IsValid() ? GetFinalPathNameByHandleW(handle.Get(), final, MAX_PATH, 0) : 0;
        return length > 0 && length < MAX_PATH && std::wstring_view(final).rfind(L"\\\\?\\unix", 0) != 0;
    };
    for (const DWORD start = GetTickCount(); GetTickCount() - start < 15000; Sleep(50))
        if (named())
            return;
    Refuse("drive " + std::string(1, letter) + ": does not show " + seen + " by a drive's name");
}

std::wstring W(const std::string& text) { return Widen949(text); }

void PrintTo(const Leftover& leftover, std::ostream* out)
{
    *out << Narrow949(leftover.path) << " (reason " << static_cast<int>(leftover.reason) << ")";
}

std::string Repeat(unsigned char byte, std::size_t count) { return std::string(count, static_cast<char>(byte)); }

std::string Canary(std::size_t count)
{
    std::string bytes(count, '\0');
    for (std::size_t i = 0; i < count; ++i)
        bytes[i] = static_cast<char>("canary:"[i % 7]);
    return bytes;
}

std::string UnixPath(std::string path)
{
    std::replace(path.begin(), path.end(), '/', '\\');
    return "\\\\?\\unix" + path;
}

std::string ReadAll(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

void WriteBytes(const std::string& path, const std::string& bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    ASSERT_TRUE(out.good()) << path;
}

std::string TestEnvironment()
{
    const char* env = std::getenv("QUENZO_TEST_ENV");
    return env ? env : "";
}

std::string Site()
{
    const std::string port = ReadAll(UnixPath(TestEnvironment() + "/site-port"));
    return "http://127.0.0.1:" + port.substr(0, port.find_first_of("\r\n"));
}
