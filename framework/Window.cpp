#include "Window.h"

#include "Application.h"
#include "Unhandled.h"

#include <windowsx.h>

namespace {
// The property that binds a window to its object, for created and subclassed windows alike.
constexpr char kBinding[] = "QuenzoLite.CWindow";

POINT PointOf(LPARAM lParam) { return {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)}; }
}  // namespace

CWindow::~CWindow()
{
    if (!m_hWnd)
        return;
    const HWND window = m_hWnd;
    if (m_created) {
        Unbind();
        DestroyWindow(window);
    } else {
        Unbind();
    }
}

bool CWindow::RegisterClass(const char* className, UINT style, HCURSOR cursor, HBRUSH background)
{
    WNDCLASSEXA existing{};
    existing.cbSize = sizeof(existing);
    if (GetClassInfoExA(CWinApplication::Instance(), className, &existing))
        return true;
    WNDCLASSEXA windowClass{};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.style = style;
    windowClass.lpfnWndProc = WindowProc;
    windowClass.hInstance = CWinApplication::Instance();
    windowClass.hCursor = cursor ? cursor : LoadCursorA(nullptr, IDC_ARROW);
    windowClass.hbrBackground = background;
    windowClass.lpszClassName = className;
    return RegisterClassExA(&windowClass) != 0;
}

bool CWindow::Create(const char* className, const char* title, DWORD style, DWORD exStyle, const RECT& place,
                     HWND parent)
{
    if (m_hWnd)
        return false;
    m_created = true;
    const HWND window = CreateWindowExA(exStyle, className, title, style, place.left, place.top,
                                        place.right - place.left, place.bottom - place.top, parent, nullptr,
                                        CWinApplication::Instance(), this);
    if (!window)
        m_created = false;
    return window != nullptr;
}

bool CWindow::Subclass(HWND control)
{
    if (m_hWnd || !control || FromHandle(control))
        return false;
    if (!Bind(control))
        return false;
    m_previous = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(control, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&CWindow::WindowProc)));
    return true;
}

CWindow* CWindow::FromHandle(HWND window)
{
    return window ? static_cast<CWindow*>(GetPropA(window, kBinding)) : nullptr;
}

bool CWindow::Bind(HWND window)
{
    if (!SetPropA(window, kBinding, this))
        return false;
    m_hWnd = window;
    return true;
}

void CWindow::Unbind()
{
    if (!m_hWnd)
        return;
    if (m_previous) {
        SetWindowLongPtrA(m_hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_previous));
        m_previous = nullptr;
    }
    RemovePropA(m_hWnd, kBinding);
    m_hWnd = nullptr;
}

LRESULT CWindow::Default(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (m_previous)
        return CallWindowProcA(m_previous, m_hWnd, message, wParam, lParam);
    return DefWindowProcA(m_hWnd, message, wParam, lParam);
}

LRESULT CALLBACK CWindow::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    CWindow* self = FromHandle(window);
    if (!self && message == WM_NCCREATE) {
        self = static_cast<CWindow*>(reinterpret_cast<const CREATESTRUCTA*>(lParam)->lpCreateParams);
        if (self && !self->Bind(window))
            return FALSE;
    }
    if (!self)
        return DefWindowProcA(window, message, wParam, lParam);
    try {
        return self->Dispatch(message, wParam, lParam);
    } catch (...) {
        ReportUnhandled("a window");
    }
    return 0;
}

LRESULT CWindow::Dispatch(UINT message, WPARAM wParam, LPARAM lParam)
{
    LRESULT result = 0;
    bool handled = false;
    switch (message) {
    case WM_PAINT:
        handled = OnPaint();
        break;
    case WM_ERASEBKGND:
        handled = OnEraseBackground(reinterpret_cast<HDC>(wParam));
        result = handled;
        break;
    case WM_TIMER:
        handled = OnTimer(wParam);
        break;
    case WM_MOUSEMOVE:
        handled = OnMouseMove(static_cast<UINT>(wParam), PointOf(lParam));
        break;
    case WM_MOUSELEAVE:
        handled = OnMouseLeave();
        break;
    case WM_LBUTTONDOWN:
        handled = OnLButtonDown(static_cast<UINT>(wParam), PointOf(lParam));
        break;
    case WM_LBUTTONUP:
        handled = OnLButtonUp(static_cast<UINT>(wParam), PointOf(lParam));
        break;
    case WM_LBUTTONDBLCLK:
        handled = OnLButtonDoubleClick(static_cast<UINT>(wParam), PointOf(lParam));
        break;
    case WM_SETCURSOR:
        handled = OnSetCursor(reinterpret_cast<HWND>(wParam), LOWORD(lParam), HIWORD(lParam));
        result = handled;
        break;
    case WM_DRAWITEM:
        if (CWindow* control = FromHandle(reinterpret_cast<const DRAWITEMSTRUCT*>(lParam)->hwndItem)) {
            control->DrawItem(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
            return TRUE;
        }
        break;
    case WM_NCDESTROY: {
        OnDestroy();
        const LRESULT last = Default(message, wParam, lParam);
        Unbind();
        m_created = false;
        return last;
    }
    default:
        handled = OnMessage(message, wParam, lParam, result);
        break;
    }
    return handled ? result : Default(message, wParam, lParam);
}
