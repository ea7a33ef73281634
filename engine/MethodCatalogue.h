#pragma once
#include <array>
#include <cstddef>
#include <span>

// Every overwrite buffer and every read chunk of a pass has this size (0x27FF, not 10,240).
constexpr std::size_t PATTERN_BUFFER_SIZE = 10239;
using PatternBuffer = std::array<unsigned char, PATTERN_BUFFER_SIZE>;

constexpr int FIRST_METHOD = 1;
constexpr int LAST_METHOD = 13;
// The common final step runs this method's schedule on the file under its scrambled name.
constexpr int FINAL_STEP_METHOD = 5;

enum class PassKind {
    Constant,       // every byte is the value
    ShortConstant,  // every byte but the last is the value; the last stays 0x00
    Rotation,       // byte i is value[i mod 3]
    Random,         // every byte is the low 8 bits of one draw of the thread's random source
};

struct Pass {
    PassKind kind;
    std::array<unsigned char, 3> value;
};

struct WipeMethod {
    int number;
    const char* displayName;
    const char* speedLabel;
    const char* passCountLabel;
    std::span<const Pass> passes;  // the listed passes; the closing 0x00 pass is not among them
};

// The thirteen methods in catalogue order (numbers 1..13).
std::span<const WipeMethod> AllMethods();

// The method with this number, or nullptr outside 1..13 (such a number runs no schedule).
const WipeMethod* FindMethod(int number);

// Number of listed passes of the method, 0 outside 1..13.
int ListedPassCount(int number);

bool HasRandomPasses(const WipeMethod& method);

// Fills the buffer for one pass. A random pass draws PATTERN_BUFFER_SIZE times from the calling
// thread's random source, so the caller seeds it once per schedule run.
void FillPassBuffer(const Pass& pass, PatternBuffer& buffer);
