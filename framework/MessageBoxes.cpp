#include "MessageBoxes.h"

#include "Seams.h"

int PlatformMessageBox(const std::string& text, const std::string& caption, unsigned flags)
{
    return seams::ShowPrompt(seams::PromptKind::Platform, text, caption, flags);
}

int AfxMessageBox(const std::string& text, unsigned flags)
{
    return seams::ShowPrompt(seams::PromptKind::Framework, text, "", flags);
}
