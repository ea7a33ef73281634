#pragma once
#include <string>
#include <vector>

// The process's own arguments after the program's name, split as CommandLineToArgvW splits them
// and exact: the narrow argument vector would best-fit the names in them.
std::vector<std::wstring> OwnArguments();
