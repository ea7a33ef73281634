#include "MethodCatalogue.h"

#include "Cp949Text.h"
#include "CrtRandom.h"

#include <algorithm>

namespace {

constexpr Pass C(unsigned char v) { return {PassKind::Constant, {v, v, v}}; }
constexpr Pass S(unsigned char v) { return {PassKind::ShortConstant, {v, v, v}}; }
constexpr Pass Rot(unsigned char a, unsigned char b, unsigned char c) { return {PassKind::Rotation, {a, b, c}}; }
constexpr Pass R{PassKind::Random, {0, 0, 0}};

// Method 1's tenth pass is 01, not 00; method 4's fourth pass is 00, not FF.
constexpr Pass kGutmann[] = {
    R, R, R, R, C(0x55), C(0xAA), Rot(0x92, 0x49, 0x24), Rot(0x49, 0x24, 0x92), Rot(0x24, 0x92, 0x49),
    C(0x01), C(0x11), C(0x22), C(0x33), C(0x44), C(0x55), C(0x66), C(0x77), C(0x88), C(0x99),
    C(0xAA), C(0xBB), C(0xCC), C(0xDD), C(0xEE), C(0xFF),
    Rot(0x92, 0x49, 0x24), Rot(0x49, 0x24, 0x92), Rot(0x24, 0x92, 0x49),
    Rot(0x6D, 0xB6, 0xDB), Rot(0xB6, 0xDB, 0x6D), Rot(0xDB, 0x6D, 0xB6), R, R, R, R};
constexpr Pass kGutmannLite[] = {R, C(0x55), C(0xAA), Rot(0x92, 0x49, 0x24), Rot(0x49, 0x24, 0x92),
                                 Rot(0x24, 0x92, 0x49), C(0x4B), C(0xB4), C(0x00), C(0xFF)};
constexpr Pass kSchneier[] = {C(0x00), C(0xFF), R, R, R, R, R};
constexpr Pass kRcmp[] = {C(0x00), C(0xFF), C(0x00), C(0x00), C(0xFF), C(0x00), R};
constexpr Pass kDodEce[] = {C(0xD3), C(0x2C), R, R, C(0x95), C(0x6A), R};
constexpr Pass kVsitr[] = {C(0x00), C(0xFF), C(0x00), C(0xFF), C(0x00), C(0xFF), C(0xAA)};
constexpr Pass kArmy[] = {R, C(0x4B), C(0xB4)};
constexpr Pass kDod[] = {C(0x00), C(0xFF), C(0x97)};
constexpr Pass kHmgIs5[] = {C(0x00), C(0xFF), R};
constexpr Pass kAirForce[] = {C(0x00), S(0xFF), S(0xAA)};
constexpr Pass kGost[] = {R};
constexpr Pass kHmgIs15[] = {C(0x00)};
constexpr Pass kSimple[] = {C(0xFF)};

const WipeMethod kMethods[] = {
    {1, "Gutmann + Marrowick Algorithm", "아주 느림", "35번 덮어씌움", kGutmann},
    {2, "Gutmann Lite + Marrowick Algorithm", "느림", "10번 덮어씌움", kGutmannLite},
    {3, "Schneier + Marrowick Algorithm", "보통", "7번 덮어씌움", kSchneier},
    {4, "RCMP_TSSIT_OPS_II + Marrowick Algorithm", "보통", "7번 덮어씌움", kRcmp},
    {5, "DoD5220_22_M_E_C_E + Marrowick Algorithm", "보통", "7번 덮어씌움", kDodEce},
    {6, "VSITR + Marrowick Algorithm", "보통", "7번 덮어씌움", kVsitr},
    {7, "Army_AR380_19 + Marrowick Algorithm", "빠름", "3번 덮어씌움", kArmy},
    {8, "DoD5220_22_M + Marrowick Algorithm", "빠름", "3번 덮어씌움", kDod},
    {9, "HMG_IS5_Enhanceed + Marrowick Algorithm", "빠름", "3번 덮어씌움", kHmgIs5},
    {10, "Air_Force_5020 + Marrowick Algorithm", "빠름", "3번 덮어씌움", kAirForce},
    {11, "GOST_P50739 + Marrowick Algorithm", "아주 빠름", "1번 덮어씌움", kGost},
    {12, "HMG_IS15_BaseLine + Marrowick Algorithm", "아주 빠름", "1번 덮어씌움", kHmgIs15},
    {13, "Simple + Marrowick Algorithm", "아주 빠름", "1번 덮어씌움", kSimple},
};

}  // namespace

std::span<const WipeMethod> AllMethods() { return kMethods; }

const WipeMethod* FindMethod(int number)
{
    if (number < FIRST_METHOD || number > LAST_METHOD)
        return nullptr;
    return &kMethods[number - FIRST_METHOD];
}

int ListedPassCount(int number)
{
    const WipeMethod* method = FindMethod(number);
    return method ? static_cast<int>(method->passes.size()) : 0;
}

bool HasRandomPasses(const WipeMethod& method)
{
    return std::any_of(method.passes.begin(), method.passes.end(),
                       [](const Pass& pass) { return pass.kind == PassKind::Random; });
}

void FillPassBuffer(const Pass& pass, PatternBuffer& buffer)
{
    buffer.fill(0x00);
    switch (pass.kind) {
    case PassKind::Constant:
        buffer.fill(pass.value[0]);
        break;
    case PassKind::ShortConstant:
        std::fill(buffer.begin(), buffer.end() - 1, pass.value[0]);
        break;
    case PassKind::Rotation:
        for (std::size_t i = 0; i < buffer.size(); ++i)
            buffer[i] = pass.value[i % 3];
        break;
    case PassKind::Random:
        for (unsigned char& byte : buffer)
            byte = static_cast<unsigned char>(CrtRandom::Draw() & 0xFF);
        break;
    }
}
