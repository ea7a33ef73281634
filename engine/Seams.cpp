#include "Seams.h"

#include <windows.h>

#include <ctime>

namespace seams {
namespace {
std::function<void(unsigned)> g_pause;
std::function<std::uint32_t()> g_clock;
std::function<int(const Prompt&)> g_prompt;

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

void SetPauseHandler(std::function<void(unsigned)> handler) { g_pause = std::move(handler); }

std::uint32_t ClockSeconds()
{
    return g_clock ? g_clock() : static_cast<std::uint32_t>(std::time(nullptr));
}

void SetClock(std::function<std::uint32_t()> clock) { g_clock = std::move(clock); }

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

void SetPromptHandler(std::function<int(const Prompt&)> handler) { g_prompt = std::move(handler); }

}  // namespace seams
