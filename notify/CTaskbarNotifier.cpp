#include "CTaskbarNotifier.h"

#include "Application.h"
#include "resource.h"

namespace {

constexpr char kClassName[] = "QuenzoLite.Notice";
constexpr unsigned kTimeToShow = 500;
constexpr unsigned kTimeToStay = 3000;
constexpr unsigned kTimeToHide = 500;
constexpr UINT kCaptionFormat = DT_CENTER | DT_VCENTER | DT_WORDBREAK | DT_END_ELLIPSIS;

}  // namespace

DisplayFacts CTaskbarNotifier::PlatformDisplay()
{
    DisplayFacts display;
    display.screenWidth = GetSystemMetrics(SM_CXSCREEN);
    display.screenHeight = GetSystemMetrics(SM_CYSCREEN);
    // Without an answer the whole screen stands for the work area, which slides from the bottom.
    RECT work{0, 0, display.screenWidth, display.screenHeight};
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    display.workLeft = work.left;
    display.workTop = work.top;
    display.workRight = work.right;
    display.workBottom = work.bottom;
    return display;
}

CTaskbarNotifier::CTaskbarNotifier(DisplaySource display) : m_display(std::move(display)) {}

bool CTaskbarNotifier::CreatePopup(HWND owner)
{
    if (!RegisterClass(kClassName, 0, LoadCursorA(nullptr, IDC_ARROW),
                       GetSysColorBrush(COLOR_WINDOW)))
        return false;
    if (!Create(kClassName, "", WS_POPUP, 0, RECT{0, 0, 0, 0}, owner))
        return false;
    m_owner = owner;
    return true;
}

bool CTaskbarNotifier::LoadSkin()
{
    m_skin.Reset();
    m_width = 0;
    m_height = 0;
    m_skin.Reset(LoadImageA(CWinApplication::Instance(), MAKEINTRESOURCEA(IDB_NOTICE_SKIN), IMAGE_BITMAP, 0, 0,
                            LR_DEFAULTCOLOR));
    BITMAP facts{};
    if (!m_skin.IsValid() || !GetObjectA(m_skin.Get(), sizeof(facts), &facts)) {
        m_skin.Reset();
        return false;
    }
    m_width = facts.bmWidth;
    m_height = facts.bmHeight;
    m_textRect = {0, 0, m_width, m_height};
    return true;
}

void CTaskbarNotifier::MakeCaptionFonts()
{
    LOGFONTA description{};
    const HDC screen = GetDC(nullptr);
    description.lfHeight = -MulDiv(90, GetDeviceCaps(screen, LOGPIXELSY), 720);  // 9 pt, given in tenths
    ReleaseDC(nullptr, screen);
    description.lfWeight = FW_NORMAL;
    // The system's character set, not the Western one: a caption is code page 949 text, which a
    // font of the Western set would read as Western bytes.
    description.lfCharSet = DEFAULT_CHARSET;
    lstrcpynA(description.lfFaceName, "Arial", LF_FACESIZE);
    m_normalFont.Reset(CreateFontIndirectA(&description));
    description.lfUnderline = TRUE;
    m_hoverFont.Reset(CreateFontIndirectA(&description));
}

void CTaskbarNotifier::SetTextColors(COLORREF normal, COLORREF hover)
{
    m_normalColor = normal;
    m_hoverColor = hover;
}

void CTaskbarNotifier::Popup()
{
    m_caption.clear();
    m_timeToShow = kTimeToShow;
    m_timeToStay = kTimeToStay;
    m_timeToHide = kTimeToHide;
    if (!m_hWnd)
        return;
    switch (m_state) {
    case STATE_IDLE:
        StartSlide();
        break;
    case STATE_APPEARING:
        Redraw();
        break;
    case STATE_WAITING:
        Redraw();
        // The hold may have handed over to the slide back an instant ago, before its first step.
        KillTimer(m_hWnd, TIMER_SLIDE_OUT);
        SetTimer(m_hWnd, TIMER_HOLD, m_timeToStay, nullptr);
        break;
    case STATE_DISAPPEARING:
        // The state stays: the slide back resumes as usual when this hold ends.
        KillTimer(m_hWnd, TIMER_SLIDE_OUT);
        SetTimer(m_hWnd, TIMER_HOLD, m_timeToStay, nullptr);
        m_current = m_slide->shown;
        MoveToCurrent();
        Redraw();
        break;
    }
}

// Stays idle until the first step, so another Popup before it plans the slide anew.
void CTaskbarNotifier::StartSlide()
{
    const std::optional<SlidePlan> plan = PlanSlide(m_display(), m_width, m_height, m_timeToShow, m_timeToHide);
    if (!plan)
        return;
    m_slide = plan;
    m_current = plan->start;
    MoveToCurrent();
    // A notice must not take the keyboard from whatever the user is typing into.
    ShowWindow(m_hWnd, SW_SHOWNOACTIVATE);
    SetTimer(m_hWnd, TIMER_SLIDE_IN, plan->showStepDelay, nullptr);
}

void CTaskbarNotifier::Dismiss()
{
    if (!m_hWnd)
        return;
    // All three: a Popup while sliding back runs the hold timer in the disappearing state.
    KillTimer(m_hWnd, TIMER_SLIDE_IN);
    KillTimer(m_hWnd, TIMER_HOLD);
    KillTimer(m_hWnd, TIMER_SLIDE_OUT);
    MoveWindow(m_hWnd, 0, 0, 0, 0, TRUE);
    ShowWindow(m_hWnd, SW_HIDE);
    m_state = STATE_IDLE;
}

bool CTaskbarNotifier::OnTimer(UINT_PTR timerId)
{
    if (!m_slide)
        return false;
    switch (timerId) {
    case TIMER_SLIDE_IN:
        m_state = STATE_APPEARING;
        if (!StepIn(*m_slide, m_current)) {
            KillTimer(m_hWnd, TIMER_SLIDE_IN);
            SetTimer(m_hWnd, TIMER_HOLD, m_timeToStay, nullptr);
            m_state = STATE_WAITING;
        }
        MoveToCurrent();
        break;
    case TIMER_HOLD:
        KillTimer(m_hWnd, TIMER_HOLD);
        SetTimer(m_hWnd, TIMER_SLIDE_OUT, m_slide->hideStepDelay, nullptr);
        break;
    case TIMER_SLIDE_OUT:
        m_state = STATE_DISAPPEARING;
        if (!StepBack(*m_slide, m_current)) {
            KillTimer(m_hWnd, TIMER_SLIDE_OUT);
            Dismiss();
        }
        // After Dismiss this parks the hidden popup at its start, full size, for the next slide.
        MoveToCurrent();
        break;
    default:
        break;
    }
    return false;
}

void CTaskbarNotifier::MoveToCurrent()
{
    SetWindowPos(m_hWnd, nullptr, m_current.x, m_current.y, m_width, m_height,
                 SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOOWNERZORDER);
}

void CTaskbarNotifier::Redraw() { RedrawWindow(m_hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW); }

bool CTaskbarNotifier::OnEraseBackground(HDC dc)
{
    if (!m_skin.IsValid())
        return false;
    const HDC memory = CreateCompatibleDC(dc);
    const HGDIOBJ previous = SelectObject(memory, m_skin.Get());
    BitBlt(dc, 0, 0, m_width, m_height, memory, 0, 0, SRCCOPY);
    SelectObject(memory, previous);
    DeleteDC(memory);
    return true;
}

bool CTaskbarNotifier::OnPaint()
{
    PAINTSTRUCT paint;
    const HDC dc = BeginPaint(m_hWnd, &paint);
    const ScopedGdiObject& font = m_mouseOver ? m_hoverFont : m_normalFont;
    const HGDIOBJ previous = font.IsValid() ? SelectObject(dc, font.Get()) : nullptr;
    SetTextColor(dc, m_mouseOver ? m_hoverColor : m_normalColor);
    SetBkMode(dc, TRANSPARENT);
    RECT text = m_textRect;
    DrawTextA(dc, m_caption.c_str(), -1, &text, kCaptionFormat);
    if (previous)
        SelectObject(dc, previous);
    EndPaint(m_hWnd, &paint);
    return true;
}

bool CTaskbarNotifier::OnMouseMove(UINT, POINT)
{
    TRACKMOUSEEVENT track{sizeof(track), TME_HOVER | TME_LEAVE, m_hWnd, 1};
    TrackMouseEvent(&track);
    return false;
}

void CTaskbarNotifier::SetMouseOver(bool over)
{
    if (m_mouseOver == over)
        return;
    m_mouseOver = over;
    Redraw();
}

bool CTaskbarNotifier::OnMouseLeave()
{
    SetMouseOver(false);
    return true;
}

bool CTaskbarNotifier::OnLButtonUp(UINT, POINT)
{
    // Only a notice to the owner: the slide goes on.
    if (m_owner)
        PostMessageA(m_owner, WM_NOTIFIER_CLICKED, 0, 0);
    return false;
}

bool CTaskbarNotifier::OnSetCursor(HWND, UINT hitTest, UINT)
{
    if (hitTest != HTCLIENT)
        return false;
    SetCursor(m_handCursor);
    return true;
}

bool CTaskbarNotifier::OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result)
{
    switch (message) {
    case WM_CREATE:
        if (Default(message, wParam, lParam) == -1) {
            result = -1;
            return true;
        }
        m_handCursor = LoadCursorA(nullptr, IDC_HAND);
        result = 0;
        return true;
    case WM_MOUSEHOVER:
        SetMouseOver(true);
        result = 0;
        return true;
    default:
        return false;
    }
}
