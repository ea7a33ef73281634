#include "Seams.h"

#include <windows.h>
#include <shellapi.h>

#include <ctime>

namespace seams {
namespace {
std::function<void(unsigned)> g_pause;
std::function<std::uint32_t()> g_clock;
std::function<int(const Prompt&)> g_prompt;
OutsideEffects g_effects;

// The current folder of what the program starts: the system folder, never the program's own. A
// browser that stays open would hold the program's folder as its current folder, and the
// uninstaller could not remove that folder.
std::string StartingFolder()
{
    char folder[MAX_PATH] = {};
    const UINT length = GetSystemDirectoryA(folder, MAX_PATH);
    return length > 0 && length < MAX_PATH ? folder : "";
}

std::string ApplicationTitle()
{
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string name = path;
    name = name.substr(name.find_last_of("\\/") + 1);
    return name.substr(0, name.find_last_of('.'));
}
}

void Pause(unsigned milliseconds)
{
    if (g_pause)
        g_pause(milliseconds);
    else
        Sleep(milliseconds);
}


std::uint32_t ClockSeconds()
{
    return g_clock ? g_clock() : static_cast<std::uint32_t>(std::time(nullptr));
}


int ShowPrompt(PromptKind kind, const std::string& text, const std::string& caption, unsigned flags)
{
    Prompt prompt{kind, text, caption, flags};
    if (kind == PromptKind::Framework) {
        prompt.caption = ApplicationTitle();
        if ((flags & MB_ICONMASK) == 0)
            prompt.flags |= MB_ICONEXCLAMATION;
    }
    if (g_prompt)
        return g_prompt(prompt);
    return MessageBoxA(kind == PromptKind::Framework ? GetActiveWindow() : nullptr, prompt.text.c_str(),
                       prompt.caption.c_str(), prompt.flags);
}


bool TerminateProcessWithCode(unsigned long processId, unsigned exitCode)
{
    if (g_effects.terminateProcess)
        return g_effects.terminateProcess(processId, exitCode);
    HANDLE process = OpenProcess(PROCESS_TERMINATE, FALSE, processId);
    if (!process)
        return false;
    const bool terminated = TerminateProcess(process, exitCode) != FALSE;
    CloseHandle(process);
    return terminated;
}

bool OpenWebPage(const std::string& address)
{
    if (g_effects.openWebPage)
        return g_effects.openWebPage(address);
    const std::string folder = StartingFolder();
    return reinterpret_cast<INT_PTR>(ShellExecuteA(nullptr, "open", address.c_str(), nullptr,
                                                   folder.empty() ? nullptr : folder.c_str(), SW_SHOWNORMAL)) > 32;
}

bool StartProgram(const std::string& path, const std::string& arguments)
{
    if (g_effects.startProgram)
        return g_effects.startProgram(path, arguments);
    const std::string folder = StartingFolder();
    return reinterpret_cast<INT_PTR>(ShellExecuteA(nullptr, "open", path.c_str(),
                                                   arguments.empty() ? nullptr : arguments.c_str(),
                                                   folder.empty() ? nullptr : folder.c_str(), SW_SHOWNORMAL)) > 32;
}

PauseHandler& PauseSlot() { return g_pause; }
Clock& ClockSlot() { return g_clock; }
PromptHandler& PromptSlot() { return g_prompt; }
OutsideEffects& OutsideEffectsSlot() { return g_effects; }

}  // namespace seams
