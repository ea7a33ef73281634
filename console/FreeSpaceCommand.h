#pragma once
#include "WipeCommand.h"

#include <string>
#include <vector>

// `QuenzoWipe /F D: [/M:n] [/Q]`: the free space of one drive, wiped as FreeSpaceWipe.h describes.

// Whether the arguments ask for a free-space wipe (they hold /F).
bool AsksFreeSpaceWipe(const std::vector<std::wstring>& arguments);

// The whole command: kExitAllGone when every pass reached the drive's end and nothing of ours is
// left, kExitSomethingLeft when the drive was refused, the user said no, Ctrl+C stopped it or the
// fill fell short, kExitUsage for words it does not take. Ctrl+C stops the fill and deletes
// what it made before the program ends.
int RunFreeSpaceCommand(const std::vector<std::wstring>& arguments, int savedMethod, WipeConsole& console);
