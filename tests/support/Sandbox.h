#pragma once
#include <cstddef>
#include <ostream>
#include <string>
#include <vector>

// A test's own folder inside the throwaway prefix. Every path a test hands to the engine comes
// from Path(), which refuses anything that could leave the folder; the constructor refuses to run
// outside the test environment (no QUENZO_TEST_ENV, or a drive Z: that reaches the Linux root).
// The folder is left behind on purpose: the whole environment is removed after the run, and a
// recursive delete here could follow the links that some tests make.
class Sandbox {
public:
    Sandbox();

    const std::string& Root() const { return m_root; }

    // Root + "\" + relative; aborts the test program on an absolute path or a ".." component.
    std::string Path(const std::string& relative) const;

    void MakeFolder(const std::string& relative) const;
    void WriteFile(const std::string& relative, const std::string& bytes) const;
    std::string ReadFile(const std::string& relative) const;
    bool Exists(const std::string& relative) const;
    // Names in a folder of the sandbox ("" for the root), without "." and "..", sorted.
    std::vector<std::string> List(const std::string& relative = "") const;

    // The same by exact names, made and read through "\\?\" paths: names that code page 949
    // cannot hold, and names the narrow functions normalise ("data.", "sp ", "CON").
    std::wstring PathW(const std::wstring& relative) const;
    void MakeFolderW(const std::wstring& relative) const;
    void WriteFileW(const std::wstring& relative, const std::string& bytes) const;
    std::string ReadFileW(const std::wstring& relative) const;
    bool ExistsW(const std::wstring& relative) const;
    std::vector<std::wstring> ListW(const std::wstring& relative = L"") const;

    // A Linux symbolic link made with ln -s, as a user or another program would leave one; Wine's
    // own link creation makes nothing. Both ends must lie in the sandbox; aborts if the link is absent.
    void MakeSymlink(const std::string& linkRelative, const std::string& targetRelative) const;

private:
    std::string m_root;
};

// A Linux symbolic link made with ln -s at `linkPath` pointing at `targetPath`, both full paths
// in the prefix that the caller has checked. Paths may hold blanks but no quote or backslash on
// the Unix side. Aborts the test program if the link does not appear.
void MakeLinuxSymlink(const std::string& linkPath, const std::string& targetPath);
// Removes such a link itself with rm; aborts the test program if it stays.
void RemoveLinuxSymlink(const std::string& linkPath);
// Where Wine keeps the prefix's drive letter `letter` ("a".."z"): a link made there with
// MakeLinuxSymlink is a drive, as subst makes one on Windows.
std::string DriveLink(char letter);
// Makes drive `letter` lead to `target` (a folder the caller has checked) and waits until the
// drive shows `target`'s entry `probe` and Wine names it by a drive (it looks at its drive links
// again only now and then); aborts the test program if that takes more than 15 s.
void MakeDrive(char letter, const std::string& target, const std::string& probe);

// Whether the tests run under Wine, where links are listed and removed differently.
bool IsRunningOnWine();

// A Linux path (of the build, the sources or the test environment) as the prefix reaches it
// without drive Z:: "\\?\unix" and the path with backslashes.
std::string UnixPath(std::string path);
// A file's whole contents; empty when it cannot be read.
std::string ReadAll(const std::string& path);
// Writes `bytes` as the whole file at `path` (code page 949); fails the test if it cannot.
void WriteBytes(const std::string& path, const std::string& bytes);
// The Linux folder of the test run's environment (QUENZO_TEST_ENV); empty outside one.
std::string TestEnvironment();
// The product web site the test run serves on loopback (tools/site-fixture): "http://127.0.0.1:PORT".
std::string Site();

struct Leftover;
// Shows a leftover in a failed expectation as its path and reason.
void PrintTo(const Leftover& leftover, std::ostream* out);

// A code page 949 text of a test as the exact name the engine takes.
std::wstring W(const std::string& text);

std::string Repeat(unsigned char byte, std::size_t count);
// A pattern that no overwrite pass produces, to tell untouched bytes from written ones.
std::string Canary(std::size_t count);
