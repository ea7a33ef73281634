#include "CxSkinButton.h"

#include "Application.h"

namespace {

LPARAM PointParam(POINT point) { return MAKELPARAM(point.x, point.y); }

HBITMAP LoadPicture(UINT id)
{
    return LoadBitmapA(CWinApplication::Instance(), MAKEINTRESOURCEA(id));
}

// The picture's top-left part, unscaled, as large as the rectangle; without a picture the
// button's plain colour, so a failed load still shows a button-like face.
void PaintFace(HDC dc, const RECT& rect, HBITMAP picture)
{
    if (!picture) {
        FillRect(dc, &rect, GetSysColorBrush(COLOR_BTNFACE));
        return;
    }
    HDC memory = CreateCompatibleDC(dc);
    const HGDIOBJ old = SelectObject(memory, picture);
    BitBlt(dc, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top, memory, 0, 0, SRCCOPY);
    SelectObject(memory, old);
    DeleteDC(memory);
}

}  // namespace

CxSkinButton::CxSkinButton() : m_textColor(GetSysColor(COLOR_BTNTEXT)) {}

CxSkinButton::~CxSkinButton() = default;

bool CxSkinButton::Attach(HWND control)
{
    if (!Subclass(control))
        return false;
    const LONG_PTR style = GetWindowLongPtrA(control, GWL_STYLE);
    SetWindowLongPtrA(control, GWL_STYLE, (style & ~static_cast<LONG_PTR>(BS_TYPEMASK)) | BS_OWNERDRAW);
    InvalidateRect(control, nullptr, TRUE);
    return true;
}

bool CxSkinButton::SetSkin(UINT normal, UINT down, UINT over, UINT disabled)
{
    m_normal.Reset(LoadPicture(normal));
    m_down.Reset(LoadPicture(down));
    m_over.Reset(LoadPicture(over));
    m_disabled.Reset(LoadPicture(disabled));
    if (m_hWnd)
        InvalidateRect(m_hWnd, nullptr, TRUE);
    return m_normal.IsValid() && m_down.IsValid() && m_over.IsValid() && m_disabled.IsValid();
}

bool CxSkinButton::OnEraseBackground(HDC)
{
    return true;  // the face covers the whole button; erasing first would only flicker
}

bool CxSkinButton::IsHeldWithCapture() const { return m_held && GetCapture() == m_hWnd; }

bool CxSkinButton::IsPushed() const { return (SendMessageA(m_hWnd, BM_GETSTATE, 0, 0) & BST_PUSHED) != 0; }

// The window at the point rather than the button's rectangle: a window lying over the button
// hides it from the pointer as well.
bool CxSkinButton::IsUnderCursor(POINT screenPoint) const { return WindowFromPoint(screenPoint) == m_hWnd; }

// Wine accepts the request but tracks nothing when the pointer has already moved off the window
// by the time the move is handled (Windows posts the leaving at once instead), which would leave
// the button "over" for good: only a tracking the system really holds counts as granted.
bool CxSkinButton::TrackLeaving() const
{
    TRACKMOUSEEVENT track{sizeof(track), TME_LEAVE, m_hWnd, 0};
    if (!TrackMouseEvent(&track))
        return false;
    TRACKMOUSEEVENT current{sizeof(current), TME_QUERY, nullptr, 0};
    return TrackMouseEvent(&current) && (current.dwFlags & TME_LEAVE) && current.hwndTrack == m_hWnd;
}

bool CxSkinButton::OnMouseMove(UINT keys, POINT point)
{
    if (IsHeldWithCapture()) {
        POINT screen = point;
        ClientToScreen(m_hWnd, &screen);
        const bool over = IsUnderCursor(screen);
        if (over != IsPushed()) {
            SendMessageA(m_hWnd, BM_SETSTATE, over, 0);
            InvalidateRect(m_hWnd, nullptr, TRUE);
        }
    } else if (!m_mouseOver) {
        if (TrackLeaving()) {
            m_mouseOver = true;
            InvalidateRect(m_hWnd, nullptr, TRUE);
        }
    }
    Default(WM_MOUSEMOVE, keys, PointParam(point));
    return true;
}

bool CxSkinButton::OnMouseLeave()
{
    m_mouseOver = false;
    InvalidateRect(m_hWnd, nullptr, TRUE);
    return true;
}

bool CxSkinButton::OnLButtonDown(UINT keys, POINT point)
{
    // The pressed look replaces the over look; the pointer's leaving is of no interest until the
    // button is released.
    if (m_mouseOver) {
        TRACKMOUSEEVENT cancel{sizeof(cancel), TME_CANCEL | TME_LEAVE, m_hWnd, 0};
        if (TrackMouseEvent(&cancel))
            m_mouseOver = false;
    }
    Default(WM_LBUTTONDOWN, keys, PointParam(point));
    m_held = true;
    return true;
}

bool CxSkinButton::OnLButtonUp(UINT keys, POINT point)
{
    m_held = false;
    Default(WM_LBUTTONUP, keys, PointParam(point));
    return true;
}

bool CxSkinButton::OnLButtonDoubleClick(UINT keys, POINT point)
{
    // An owner-drawn button only reports a double click and is not pressed by it, so a quick
    // second click would be lost.
    SendMessageA(m_hWnd, WM_LBUTTONDOWN, keys, PointParam(point));
    return true;
}

bool CxSkinButton::OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result)
{
    if (message != WM_KILLFOCUS)
        return false;
    // A press the user can no longer finish (another window took the focus) must not stay down.
    if (GetCapture() == m_hWnd) {
        ReleaseCapture();
        m_held = false;
    }
    result = Default(message, wParam, lParam);
    return true;
}

// While held, the system's pushed state can disagree with what is really under the cursor (the
// capture reports points over a window lying above the button). Corrects it and says so; the
// change of state brings a new drawing request.
bool CxSkinButton::CorrectPushedLook()
{
    POINT cursor;
    if (!IsHeldWithCapture() || !GetCursorPos(&cursor))
        return false;
    const bool under = IsUnderCursor(cursor);
    const bool pushed = IsPushed();
    if (under == pushed)
        return false;
    SendMessageA(m_hWnd, BM_SETSTATE, under, 0);
    return true;
}

HBITMAP CxSkinButton::FaceFor(UINT itemState) const
{
    if (itemState & ODS_DISABLED)
        return m_disabled.Get();
    if (itemState & ODS_SELECTED)
        return m_down.Get();
    // Without its normal picture the button is plain in every look but pressed and disabled.
    if (!m_normal.IsValid())
        return nullptr;
    return m_mouseOver && m_over.IsValid() ? m_over.Get() : m_normal.Get();
}

void CxSkinButton::DrawCaption(HDC dc, RECT textRect, UINT itemState) const
{
    char caption[256] = {};
    if (GetWindowTextA(m_hWnd, caption, sizeof(caption)) <= 0)
        return;
    constexpr UINT format = DT_SINGLELINE | DT_CENTER | DT_VCENTER;
    if (itemState & ODS_DISABLED) {
        ::SetTextColor(dc, GetSysColor(COLOR_HIGHLIGHT));
        DrawTextA(dc, caption, -1, &textRect, format);
        OffsetRect(&textRect, -1, -1);
        ::SetTextColor(dc, GetSysColor(COLOR_GRAYTEXT));
        DrawTextA(dc, caption, -1, &textRect, format);
        return;
    }
    if (itemState & ODS_SELECTED)
        OffsetRect(&textRect, 1, 1);
    ::SetTextColor(dc, m_textColor);
    DrawTextA(dc, caption, -1, &textRect, format);
}

void CxSkinButton::OnDrawItem(const DRAWITEMSTRUCT& item)
{
    if (CorrectPushedLook())
        return;
    const int saved = SaveDC(item.hDC);
    PaintFace(item.hDC, item.rcItem, FaceFor(item.itemState));
    RECT textRect = item.rcItem;
    InflateRect(&textRect, -2, 0);
    SetBkMode(item.hDC, TRANSPARENT);
    DrawCaption(item.hDC, textRect, item.itemState);
    RestoreDC(item.hDC, saved);
}
