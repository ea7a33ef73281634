#pragma once
#include <cstdint>
#include <functional>
#include <string>

// The platform effects that tests must speed up or pin. Install replacements before any engine
// work starts and restore them (pass an empty function) when done; they are not synchronised.
namespace seams {

// The product's deliberate waits (before a closing pass, while pacing a display).
void Pause(unsigned milliseconds);
void SetPauseHandler(std::function<void(unsigned milliseconds)> handler);

// Calendar time in whole seconds since 1970-01-01 UTC, truncated to 32 bits; seeds the random passes.
std::uint32_t ClockSeconds();
void SetClock(std::function<std::uint32_t()> clock);

// Every message box of the program. A platform box has no owner and the caller's caption; a
// framework box has the application's title (the executable's name) as caption and gets the
// exclamation icon when the flags name none. Returns the button pressed (IDOK, IDYES, ...).
enum class PromptKind { Platform, Framework };
struct Prompt {
    PromptKind kind;
    std::string text;
    std::string caption;  // for a framework box, filled in with the application's title
    unsigned flags;
};
int ShowPrompt(PromptKind kind, const std::string& text, const std::string& caption, unsigned flags);
void SetPromptHandler(std::function<int(const Prompt& prompt)> handler);

// Effects outside the program, one function each so that tests can record them instead.
// Each returns whether the effect happened.
bool TerminateProcessWithCode(unsigned long processId, unsigned exitCode);
bool OpenWebPage(const std::string& address);
bool StartProgram(const std::string& path, const std::string& arguments);
struct OutsideEffects {
    std::function<bool(unsigned long processId, unsigned exitCode)> terminateProcess;
    std::function<bool(const std::string& address)> openWebPage;
    std::function<bool(const std::string& path, const std::string& arguments)> startProgram;
};
// Installs replacements; an empty member keeps (or restores) the real effect.
void SetOutsideEffects(OutsideEffects effects);

}  // namespace seams
