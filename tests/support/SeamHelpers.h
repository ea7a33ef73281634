#pragma once
#include "Seams.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <functional>
#include <vector>

// Pauses return at once and are recorded in order; `onPause` runs at each one after it is
// recorded, so a test can act there (halt a run, note what was done before the pause). Restores
// what was there before when it goes out of scope.
class RecordedPauses {
public:
    std::vector<unsigned> pauses;  // milliseconds
    std::function<void(unsigned milliseconds)> onPause;

private:
    seams::ScopedPauses m_scope{[this](unsigned ms) {
        pauses.push_back(ms);
        if (onPause)
            onPause(ms);
    }};
};

// Pauses as above; any message box fails the test (the code under test must ask nothing) and is
// answered No. Restores both seams when it goes out of scope.
class QuietSeams : public RecordedPauses {
    seams::ScopedPrompts m_prompts{[](const seams::Prompt& prompt) {
        ADD_FAILURE() << "unexpected message box: " << prompt.text;
        return IDNO;
    }};
};
