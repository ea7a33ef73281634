#pragma once
#include "BrowserProfiles.h"
#include "Sandbox.h"

#include <map>
#include <string>

// Every known browser's data in a sandbox with two used profiles each: databases made by Debian's
// sqlite3 from fixtures/ (the browsers' own tables and columns), and files whose bytes name the
// category that removes them ("trace-cache", "-cookie", "-history", "-form", "-password") or say
// "kept". Chromium browsers also list a profile that is gone ("Profile 7") and hold one never used
// ("Profile 3"); a canary lies beside each browser's profiles.
class BrowserSandbox {
public:
    BrowserSandbox();

    const Sandbox& Box() const { return m_sandbox; }
    BrowserRoots Roots() const;
    // The found profile of `kind` named `name`; fails the test when there is none.
    BrowserProfile Profile(BrowserKind kind, const std::string& name) const;
    // A profile's folder and its local folder, relative to the sandbox.
    static std::string Folder(BrowserKind kind, const std::string& name);
    static std::string LocalFolder(BrowserKind kind, const std::string& name);

    // Every file below `relative` (path relative to the sandbox, contents); links are not followed.
    std::map<std::string, std::string> Files(const std::string& relative = "") const;
    // The rows of a query on a database of the sandbox, one a line, each column followed by '|'.
    std::string Query(const std::string& relative, const std::string& sql) const;

private:
    void Put(const std::string& relative, const std::string& bytes, const char* fixture = nullptr) const;

    Sandbox m_sandbox;
};
