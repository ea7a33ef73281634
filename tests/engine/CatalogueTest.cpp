#include "MethodCatalogue.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// The thirteen methods as they are defined, written out here rather than taken from the code's
// table: display name, speed label, pass-count label, listed passes, whether any pass is random.
const struct {
    const char* name;
    const char* speed;
    const char* passCountLabel;
    int passes;
    bool random;
} kCatalogue[] = {
    {"Gutmann + Marrowick Algorithm", "아주 느림", "35번 덮어씌움", 35, true},
    {"Gutmann Lite + Marrowick Algorithm", "느림", "10번 덮어씌움", 10, true},
    {"Schneier + Marrowick Algorithm", "보통", "7번 덮어씌움", 7, true},
    {"RCMP_TSSIT_OPS_II + Marrowick Algorithm", "보통", "7번 덮어씌움", 7, true},
    {"DoD5220_22_M_E_C_E + Marrowick Algorithm", "보통", "7번 덮어씌움", 7, true},
    {"VSITR + Marrowick Algorithm", "보통", "7번 덮어씌움", 7, false},
    {"Army_AR380_19 + Marrowick Algorithm", "빠름", "3번 덮어씌움", 3, true},
    {"DoD5220_22_M + Marrowick Algorithm", "빠름", "3번 덮어씌움", 3, false},
    {"HMG_IS5_Enhanceed + Marrowick Algorithm", "빠름", "3번 덮어씌움", 3, true},  // the double "e" is the name
    {"Air_Force_5020 + Marrowick Algorithm", "빠름", "3번 덮어씌움", 3, false},
    {"GOST_P50739 + Marrowick Algorithm", "아주 빠름", "1번 덮어씌움", 1, true},
    {"HMG_IS15_BaseLine + Marrowick Algorithm", "아주 빠름", "1번 덮어씌움", 1, false},
    {"Simple + Marrowick Algorithm", "아주 빠름", "1번 덮어씌움", 1, false},
};

}  // namespace

// Exactly the methods with random passes seed (1, 2, 3, 4, 5, 7, 9 and 11).
TEST(MethodCatalogue, ThirteenMethodsWithTheirLabelsPassesAndRandomness)
{
    ASSERT_EQ(AllMethods().size(), 13u);
    for (int number = 1; number <= 13; ++number) {
        SCOPED_TRACE(number);
        const auto& expected = kCatalogue[number - 1];
        const WipeMethod* method = FindMethod(number);
        ASSERT_NE(method, nullptr);
        EXPECT_EQ(method->number, number);
        EXPECT_EQ(&AllMethods()[number - 1], method);
        EXPECT_STREQ(method->displayName, expected.name);
        EXPECT_TRUE(std::string(method->displayName).ends_with(" + Marrowick Algorithm"));
        EXPECT_STREQ(method->speedLabel, expected.speed);
        EXPECT_STREQ(method->passCountLabel, expected.passCountLabel);
        EXPECT_EQ(ListedPassCount(number), expected.passes);
        EXPECT_EQ(HasRandomPasses(*method), expected.random);
    }
}

TEST(MethodCatalogue, NumbersOutsideTheRangeHaveNoSchedule)
{
    for (int number : {-1, 0, 14, 1000}) {
        EXPECT_EQ(FindMethod(number), nullptr) << number;
        EXPECT_EQ(ListedPassCount(number), 0) << number;
    }
}
