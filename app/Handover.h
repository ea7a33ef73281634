#pragma once
#include <windows.h>

#include <optional>
#include <string>
#include <vector>

// What a start of the program asks for, and how a second copy hands it to the running one; the
// rules apart from any window, tested on their own.

enum class StartKind {
    Normal,  // the program as always ("trayOn" or anything else)
    Close,   // "/close": ask the running copy to end, never start
    Add,     // "/add PATH...": Explorer's verb: these paths into the deletion list
};

struct StartRequest {
    StartKind kind = StartKind::Normal;
    std::vector<std::wstring> paths;  // for Add: exact, whole paths
};

// The request of the arguments after the program's name, as CommandLineToArgvW splits them.
// "/close" alone is Close; "/add" (letter case aside) followed by one or more paths is Add. A
// path that is not whole and absolute is dropped: Explorer always gives whole paths, and the
// running copy's folder is not the one the path was meant in. Anything else is Normal.
StartRequest RequestOf(const std::vector<std::wstring>& arguments);

// WM_COPYDATA kinds a second copy sends to the running copy's main window.
constexpr ULONG_PTR kAddPathsData = 0x514C4144;  // payload: EncodePaths
constexpr ULONG_PTR kCloseData = 0x514C434C;     // no payload
// What the main window answers to kCloseData (0 means the window was not ours).
constexpr LRESULT kCloseAccepted = 1;
constexpr LRESULT kCloseRefused = 2;

// Paths as one block: each path and a NUL, in UTF-16.
std::wstring EncodePaths(const std::vector<std::wstring>& paths);
// The paths of a block of `bytes` bytes, or nothing when it is not such a block (odd size, no
// final NUL, an empty path, or a path that is not whole).
std::optional<std::vector<std::wstring>> DecodePaths(const void* data, std::size_t bytes);

// Adds `paths` to `list`, in order, leaving out those already there or given twice.
void AppendNew(std::vector<std::wstring>& list, const std::vector<std::wstring>& paths);
