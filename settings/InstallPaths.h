#pragma once
#include <string>

// Where the setup program puts the program's files.

// The updater: the program files folder (expanded "%ProgramFiles%", any length) followed by
// "\Marrowick\QuenzoLite\UpdateQuenzoLite.exe".
std::string UpdaterPath();
