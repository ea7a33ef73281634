#pragma once
#include "NotifierGeometry.h"
#include "Owned.h"
#include "Window.h"

#include <functional>
#include <optional>
#include <string>

// Posted to the owner when the popup is clicked; both parameters 0.
constexpr UINT WM_NOTIFIER_CLICKED = WM_USER + 123;

// The notice popup: a borderless window showing the skin bitmap (and a caption over it, if one is
// set) that slides out of the taskbar's edge, stays a while and slides back, on its own timers.
// Everything runs on the thread that created it.
class CTaskbarNotifier : public CWindow {
public:
    enum State { STATE_IDLE = 0, STATE_APPEARING = 1, STATE_WAITING = 2, STATE_DISAPPEARING = 3 };
    static constexpr UINT_PTR TIMER_SLIDE_IN = 1;
    static constexpr UINT_PTR TIMER_HOLD = 2;
    static constexpr UINT_PTR TIMER_SLIDE_OUT = 3;

    // Where the popup learns the work area and the screen's size, asked afresh on every slide.
    using DisplaySource = std::function<DisplayFacts()>;
    static DisplayFacts PlatformDisplay();

    explicit CTaskbarNotifier(DisplaySource display = PlatformDisplay);

    // Registers the popup's window class and creates the popup, hidden, 0 x 0 at 0, 0, owned by
    // `owner`, which then receives WM_NOTIFIER_CLICKED. False when no window could be made (or
    // this object already has one); nothing else is left then.
    bool CreatePopup(HWND owner);
    // Loads the skin (bitmap IDB_NOTICE_SKIN) in place of any earlier one; its size becomes the
    // popup's size, and the text rectangle the whole of it. False when the bitmap cannot be loaded:
    // the popup is left without a skin, and Popup does nothing until a skin loads.
    bool LoadSkin();
    // Makes the caption's fonts: Arial 9 pt, plain while the pointer is away, underlined over the
    // popup. Without them the caption is drawn in the window's default font.
    void MakeCaptionFonts();
    // Clears the caption and shows the notice: from idle it slides out of the taskbar (500 ms),
    // stays 3000 ms and slides back (500 ms); while it slides out it is only redrawn; while it
    // stays, or slides back, it returns to fully shown and stays another 3000 ms from this call.
    // Does nothing without a skin at least 2 pixels across the sliding direction.
    void Popup();
    // Stops the animation: no timer of the popup runs, the window is hidden at 0, 0 with size
    // 0 x 0, and the state is idle. The owner may call it to take the notice away at once.
    void Dismiss();

    // The caption's colours with the pointer away from and over the popup (0x00BBGGRR).
    void SetTextColors(COLORREF normal, COLORREF hover);
    // Where the caption is drawn, in client coordinates; LoadSkin resets it to the whole skin.
    void SetTextRect(const RECT& rect) { m_textRect = rect; }
    // A caption over the skin, until the next Popup clears it; takes effect at the next redraw.
    void SetCaption(const std::string& caption) { m_caption = caption; }

    State GetState() const { return m_state; }
    int GetSkinWidth() const { return m_width; }
    int GetSkinHeight() const { return m_height; }

protected:
    bool OnPaint() override;
    bool OnEraseBackground(HDC dc) override;
    bool OnTimer(UINT_PTR timerId) override;
    bool OnMouseMove(UINT keys, POINT point) override;
    bool OnMouseLeave() override;
    bool OnLButtonUp(UINT keys, POINT point) override;
    bool OnSetCursor(HWND window, UINT hitTest, UINT message) override;
    bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

private:
    void StartSlide();
    void MoveToCurrent();
    void Redraw();
    void SetMouseOver(bool over);

    HWND m_owner = nullptr;
    DisplaySource m_display;
    ScopedGdiObject m_normalFont;
    ScopedGdiObject m_hoverFont;
    COLORREF m_normalColor = RGB(133, 146, 181);
    COLORREF m_hoverColor = RGB(10, 36, 106);
    HCURSOR m_handCursor = nullptr;
    ScopedGdiObject m_skin;
    RECT m_textRect{};
    int m_width = 0;
    int m_height = 0;
    std::string m_caption;
    bool m_mouseOver = false;
    State m_state = STATE_IDLE;
    unsigned m_timeToShow = 0;
    unsigned m_timeToStay = 0;
    unsigned m_timeToHide = 0;
    std::optional<SlidePlan> m_slide;  // the slide in progress, or the last one
    ScreenPoint m_current;
};
