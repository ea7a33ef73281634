#pragma once
#include <cstdint>
#include <functional>
#include <string>
#include <utility>

// The platform effects that tests must speed up or pin. A replacement is installed by a scoped
// object (below), which puts back whatever was there before when it goes; install it before any
// work that uses the seam starts: the seams are not synchronised.
namespace seams {

// The product's deliberate waits (before a closing pass, while pacing a display).
void Pause(unsigned milliseconds);
using PauseHandler = std::function<void(unsigned milliseconds)>;

// Calendar time in whole seconds since 1970-01-01 UTC, truncated to 32 bits; seeds the random passes.
std::uint32_t ClockSeconds();
using Clock = std::function<std::uint32_t()>;

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
using PromptHandler = std::function<int(const Prompt& prompt)>;

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

// Each installs its replacement for its own lifetime; an empty function (or member) stands for the
// real effect. Nested ones restore in reverse order.
template <typename Handler>
class Scoped {
public:
    Scoped(Handler& slot, Handler replacement) : m_slot(slot), m_previous(std::exchange(slot, std::move(replacement))) {}
    ~Scoped() { m_slot = std::move(m_previous); }
    Scoped(const Scoped&) = delete;
    Scoped& operator=(const Scoped&) = delete;

private:
    Handler& m_slot;
    Handler m_previous;
};

PauseHandler& PauseSlot();
Clock& ClockSlot();
PromptHandler& PromptSlot();
OutsideEffects& OutsideEffectsSlot();

struct ScopedPauses : Scoped<PauseHandler> {
    explicit ScopedPauses(PauseHandler handler) : Scoped(PauseSlot(), std::move(handler)) {}
};
struct ScopedClock : Scoped<Clock> {
    explicit ScopedClock(Clock clock) : Scoped(ClockSlot(), std::move(clock)) {}
};
struct ScopedPrompts : Scoped<PromptHandler> {
    explicit ScopedPrompts(PromptHandler handler) : Scoped(PromptSlot(), std::move(handler)) {}
};
struct ScopedOutsideEffects : Scoped<OutsideEffects> {
    explicit ScopedOutsideEffects(OutsideEffects effects) : Scoped(OutsideEffectsSlot(), std::move(effects)) {}
};

}  // namespace seams
