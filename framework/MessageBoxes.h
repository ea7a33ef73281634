#pragma once
#include <string>

// The program's two kinds of message box, both through the prompts seam (engine/Seams.h).

// The platform's box without an owner, with the caller's caption and flags.
int PlatformMessageBox(const std::string& text, const std::string& caption, unsigned flags);

// The framework's box: the application's title as caption, OK by default, the exclamation icon
// when the flags name none.
int AfxMessageBox(const std::string& text, unsigned flags = 0);
