#pragma once
#include "Dialog.h"
#include "Owned.h"

#include <vector>

// The alphas of the about window's one-second fade-in: v / 100 for v = 0, 255, 510, ... below
// 25500, that is 0, 2, 5, 7, ... 252 (it ends at 252, not 255).
std::vector<BYTE> FadeAlphas();

// The about window: one picture in a borderless-looking popup, made once by the main window and
// kept hidden for the program's life. "퀜조(&A)" fades it in over one second; a click on it hides
// it; a frame repaint or a change of activation (a click elsewhere) makes it fully transparent
// while it stays shown, until the next fade-in.
class CQuenzoAboutDlg : public CDialog {
public:
    CQuenzoAboutDlg();
    ~CQuenzoAboutDlg() override;

    // Shows the window and fades it in from alpha 0 to 252 in 100 steps of 10 ms, on the calling
    // thread and without handling messages meanwhile, so that nothing acts on a half-faded window.
    void FadeIn();

    // Makes `window` a layered window at `percent` % opacity (percent × 255 / 100, truncated).
    static void SetTransparency(int percent, HWND window);

protected:
    BOOL OnInitDialog() override;
    bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

private:
    void Paint();

    ScopedBitmap m_picture;
    SIZE m_pictureSize{};
    RECT m_windowRect{};
    ScopedBrush m_white;
};
