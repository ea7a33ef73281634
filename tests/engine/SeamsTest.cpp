#include "Seams.h"

#include <gtest/gtest.h>
#include <windows.h>

// A framework box is captioned with the application's title, the executable's name, and gets the
// exclamation icon when it names none; a platform box keeps what the caller gave.
TEST(Prompts, FrameworkBoxesTakeTheApplicationTitle)
{
    std::vector<seams::Prompt> shown;
    seams::SetPromptHandler([&](const seams::Prompt& prompt) {
        shown.push_back(prompt);
        return IDYES;
    });
    EXPECT_EQ(seams::ShowPrompt(seams::PromptKind::Framework, "Aborted!", "ignored", MB_OK), IDYES);
    seams::ShowPrompt(seams::PromptKind::Framework, "퀜조 하였습니다.", "", MB_OK | MB_ICONINFORMATION);
    seams::ShowPrompt(seams::PromptKind::Platform, "보안 삭제를 하시겠습니까?", "QuenzoLite",
                      MB_YESNO | MB_ICONQUESTION | MB_TOPMOST);
    seams::SetPromptHandler({});

    ASSERT_EQ(shown.size(), 3u);
    EXPECT_EQ(shown[0].caption, "engine_tests");
    EXPECT_EQ(shown[0].flags, static_cast<unsigned>(MB_OK | MB_ICONEXCLAMATION));
    EXPECT_EQ(shown[1].flags, static_cast<unsigned>(MB_OK | MB_ICONINFORMATION));
    EXPECT_EQ(shown[2].kind, seams::PromptKind::Platform);
    EXPECT_EQ(shown[2].caption, "QuenzoLite");
    EXPECT_EQ(shown[2].text, "보안 삭제를 하시겠습니까?");
    EXPECT_EQ(shown[2].flags, static_cast<unsigned>(MB_YESNO | MB_ICONQUESTION | MB_TOPMOST));
}
