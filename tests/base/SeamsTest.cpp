#include "Seams.h"

#include <gtest/gtest.h>
#include <windows.h>

// A framework box is captioned with the application's title, the executable's name, and gets the
// exclamation icon when it names none; a platform box keeps what the caller gave.
TEST(Prompts, FrameworkBoxesTakeTheApplicationTitle)
{
    std::vector<seams::Prompt> shown;
    {
        const seams::ScopedPrompts scope([&](const seams::Prompt& prompt) {
            shown.push_back(prompt);
            return IDYES;
        });
        EXPECT_EQ(seams::ShowPrompt(seams::PromptKind::Framework, "Aborted!", "ignored", MB_OK), IDYES);
        seams::ShowPrompt(seams::PromptKind::Framework, "퀜조 하였습니다.", "", MB_OK | MB_ICONINFORMATION);
        seams::ShowPrompt(seams::PromptKind::Platform, "보안 삭제를 하시겠습니까?", "QuenzoLite",
                          MB_YESNO | MB_ICONQUESTION | MB_TOPMOST);
    }

    ASSERT_EQ(shown.size(), 3u);
    EXPECT_EQ(shown[0].caption, "base_tests");
    EXPECT_EQ(shown[0].flags, static_cast<unsigned>(MB_OK | MB_ICONEXCLAMATION));
    EXPECT_EQ(shown[1].flags, static_cast<unsigned>(MB_OK | MB_ICONINFORMATION));
    EXPECT_EQ(shown[2].kind, seams::PromptKind::Platform);
    EXPECT_EQ(shown[2].caption, "QuenzoLite");
    EXPECT_EQ(shown[2].text, "보안 삭제를 하시겠습니까?");
    EXPECT_EQ(shown[2].flags, static_cast<unsigned>(MB_YESNO | MB_ICONQUESTION | MB_TOPMOST));
}

// A scope puts back what was there before it, not the real effect: a test helper that pins the
// clock inside another's scope used to leave the outer one without its replacement.
TEST(Seams, NestedScopesRestoreWhatWasThereBefore)
{
    std::vector<unsigned> outer;
    std::vector<unsigned> inner;
    {
        const seams::ScopedPauses first([&](unsigned ms) { outer.push_back(ms); });
        const seams::ScopedClock clock([] { return 7u; });
        {
            const seams::ScopedPauses second([&](unsigned ms) { inner.push_back(ms); });
            const seams::ScopedClock other([] { return 9u; });
            seams::Pause(1);
            EXPECT_EQ(seams::ClockSeconds(), 9u);
        }
        seams::Pause(2);
        EXPECT_EQ(seams::ClockSeconds(), 7u);
    }
    EXPECT_EQ(outer, std::vector<unsigned>{2});
    EXPECT_EQ(inner, std::vector<unsigned>{1});
    EXPECT_GT(seams::ClockSeconds(), 1700000000u);  // the real clock again
}
