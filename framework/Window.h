#pragma once
#include <windows.h>

// A window that is not a dialog, in the same shape as CDialog: either one of our own window
// classes, created here with `this` bound before its first message, or an existing control taken
// over (subclassed) so that its messages reach this object first. Each handler returns whether it
// handled the message; what it leaves goes to Default (the class's or the control's own
// procedure). A control that draws itself gets the owner-draw requests its parent receives.
// Nothing thrown by a handler crosses the window procedure.
class CWindow {
public:
    CWindow() = default;
    // Destroys a window it created; gives a subclassed control its own procedure back.
    virtual ~CWindow();
    CWindow(const CWindow&) = delete;
    CWindow& operator=(const CWindow&) = delete;

    // Registers a window class of our own (once per name, later calls succeed without change)
    // whose windows are created through Create.
    static bool RegisterClass(const char* className, UINT style, HCURSOR cursor, HBRUSH background);
    bool Create(const char* className, const char* title, DWORD style, DWORD exStyle, const RECT& place,
                HWND parent);
    // Takes over an existing window (a dialog's control); false if this object already has one.
    bool Subclass(HWND control);
    // The object bound to `window`, or nullptr.
    static CWindow* FromHandle(HWND window);

    HWND GetSafeHwnd() const { return m_hWnd; }
    void DrawItem(const DRAWITEMSTRUCT& item) { OnDrawItem(item); }

protected:
    virtual bool OnPaint() { return false; }
    virtual bool OnEraseBackground(HDC /*dc*/) { return false; }
    virtual bool OnTimer(UINT_PTR /*timerId*/) { return false; }
    virtual bool OnMouseMove(UINT /*keys*/, POINT /*point*/) { return false; }
    virtual bool OnMouseLeave() { return false; }
    virtual bool OnLButtonDown(UINT /*keys*/, POINT /*point*/) { return false; }
    virtual bool OnLButtonUp(UINT /*keys*/, POINT /*point*/) { return false; }
    virtual bool OnLButtonDoubleClick(UINT /*keys*/, POINT /*point*/) { return false; }
    virtual bool OnSetCursor(HWND /*window*/, UINT /*hitTest*/, UINT /*message*/) { return false; }
    virtual void OnDrawItem(const DRAWITEMSTRUCT& /*item*/) {}
    // Any other message; set `result` and return true to handle it.
    virtual bool OnMessage(UINT /*message*/, WPARAM, LPARAM, LRESULT& /*result*/) { return false; }
    // The window is going: the last message this object sees for it.
    virtual void OnDestroy() {}

    // What the window would do without this object.
    LRESULT Default(UINT message, WPARAM wParam, LPARAM lParam);

    HWND m_hWnd = nullptr;

private:
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT Dispatch(UINT message, WPARAM wParam, LPARAM lParam);
    bool Bind(HWND window);
    void Unbind();

    WNDPROC m_previous = nullptr;  // a subclassed control's own procedure
    bool m_created = false;
};
