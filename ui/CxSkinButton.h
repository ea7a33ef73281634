#pragma once
#include "Owned.h"
#include "Window.h"

// A push button that paints itself from four pictures: normal, pressed, under the pointer, and
// disabled. It takes over an existing dialog control, follows the pointer to show the "over"
// picture, and while the left button is held keeps the pressed look in step with whether the
// pointer is still over it. A face without a picture is filled with the system's button colour.
class CxSkinButton : public CWindow {
public:
    CxSkinButton();
    // Frees the pictures; the control, if it still exists, gets its own procedure back but stays
    // owner-drawn, so it then draws nothing of its own.
    ~CxSkinButton() override;

    // Takes over `control` (a push button) and gives it the owner-draw button type, so that its
    // parent asks this object to draw it. False if the control is null or already taken over by
    // some object; the control is then left as it was.
    bool Attach(HWND control);

    // Frees the pictures held so far and loads the four bitmaps numbered so (resource numbers are
    // 16-bit) from the program's module. A resource that does not load leaves its face without a
    // picture. Returns whether all four loaded; the button is redrawn if it is attached.
    bool SetSkin(UINT normal, UINT down, UINT over, UINT disabled);

    // The caption's colour in the normal and pressed looks (disabled captions use the system's
    // colours); applies from the next drawing, nothing else changes.
    void SetTextColor(COLORREF color) { m_textColor = color; }

protected:
    bool OnEraseBackground(HDC dc) override;
    bool OnMouseMove(UINT keys, POINT point) override;
    bool OnMouseLeave() override;
    bool OnLButtonDown(UINT keys, POINT point) override;
    bool OnLButtonUp(UINT keys, POINT point) override;
    bool OnLButtonDoubleClick(UINT keys, POINT point) override;
    bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
    void OnDrawItem(const DRAWITEMSTRUCT& item) override;

private:
    bool IsHeldWithCapture() const;
    bool IsPushed() const;
    bool IsUnderCursor(POINT screenPoint) const;
    bool TrackLeaving() const;
    bool CorrectPushedLook();
    HBITMAP FaceFor(UINT itemState) const;
    void DrawCaption(HDC dc, RECT textRect, UINT itemState) const;

    bool m_mouseOver = false;  // tracking the pointer's leaving: the pointer is over the button
    bool m_held = false;       // the left button went down here and has not come up or been lost
    ScopedBitmap m_normal;
    ScopedBitmap m_down;
    ScopedBitmap m_disabled;
    ScopedBitmap m_over;
    COLORREF m_textColor;
};
