#pragma once
#include <optional>
#include <string>
#include <vector>

// The deletion list's own rules, apart from its window.

// The size column: the size in bytes / 1024 with two decimals ("%.2f"), all 64 bits of it; a
// folder shows 0.00; a path whose attributes cannot be read shows nothing.
std::string SizeText(const std::wstring& path);

// The exact paths the wide open-file picker returned in `buffer`: one full path, or (several
// chosen) the folder, a NUL, and each name followed by a NUL, the list ending in a second NUL.
// `fileOffset` is the picker's offset of the first name.
std::vector<std::wstring> ChosenPaths(const wchar_t* buffer, unsigned fileOffset);

// What the method page shows of a method: its name, speed and pass-count labels; nothing for a
// number outside the catalogue. The range of the page's track bar is kFirstMethod..kLastMethod.
struct MethodLabels {
    const char* name;
    const char* speed;
    const char* passes;
};
std::optional<MethodLabels> LabelsOfMethod(int method);
extern const int kFirstMethod;
extern const int kLastMethod;

// The selection buffer of the open-file picker, in characters: room for thousands of long names,
// since a selection that does not fit adds nothing at all.
constexpr unsigned kFilePickerBufferSize = 1u << 20;
