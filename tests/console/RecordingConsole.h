#pragma once
#include "Cp949Text.h"
#include "WipeCommand.h"

#include <string>

// A console that keeps what the command says and answers its question with `answer`.
class RecordingConsole : public WipeConsole {
public:
    explicit RecordingConsole(bool answer = true) : m_answer(answer) {}
    std::string text;  // code page 949, as a test compares it
    void Print(const std::wstring& line) override { text += Narrow949(line) + "\n"; }
    void PrintError(const std::wstring& line) override { text += Narrow949(line) + "\n"; }
    bool Confirm(const std::wstring&) override { return m_answer; }

private:
    bool m_answer;
};
