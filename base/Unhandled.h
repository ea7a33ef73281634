#pragma once

// Called inside a catch block at a window procedure, a thread procedure or WinMain, where nothing
// may pass: says which boundary the error reached and what it was, where a person can read it.
// A windowed program has no console, so it goes to the debugger's output (OutputDebugString) as
// well as to the standard error that tools/run keeps in the program's log.
void ReportUnhandled(const char* where) noexcept;
