// The notice popup set up as the main window sets it up: a real window on the test display. The
// desktop comes through the display source, a 1024 x 768 screen inside the test display so that
// the way up from the bottom is visible; the timers' ticks are sent by hand but in one test.
#include "CTaskbarNotifier.h"
#include "Sandbox.h"
#include "WindowTest.h"

#include <gtest/gtest.h>

#include <functional>
#include <utility>
#include <vector>

void PrintTo(const ScreenPoint& point, std::ostream* out);  // NotifierGeometryTest.cpp

namespace {

using Notifier = CTaskbarNotifier;
using Timers = std::vector<UINT_PTR>;
constexpr UINT_PTR kIn = Notifier::TIMER_SLIDE_IN;
constexpr UINT_PTR kHold = Notifier::TIMER_HOLD;
constexpr UINT_PTR kOut = Notifier::TIMER_SLIDE_OUT;
constexpr COLORREF kNormal = RGB(0, 0, 0);
constexpr COLORREF kHover = RGB(0, 0, 200);

DisplayFacts Work(int left, int top, int right, int bottom) { return {left, top, right, bottom, 1024, 768}; }
const DisplayFacts kBottom = Work(0, 0, 1024, 738);
const ScreenPoint kShown{844, 618};

// Ticks after a Popup from idle at the bottom, where each slide takes 60 steps.
using Ticks = std::vector<std::pair<UINT_PTR, int>>;
void Tick(HWND window, const Ticks& ticks)
{
    for (auto [timer, times] : ticks)
        while (times-- > 0)
            SendMessageA(window, WM_TIMER, timer, 0);
}

// The popup's running timers; each is started again with a period no test waits for.
Timers Running(HWND window)
{
    Timers running;
    for (UINT_PTR timer : {kIn, kHold, kOut})
        if (KillTimer(window, timer) && SetTimer(window, timer, 600000, nullptr))
            running.push_back(timer);
    return running;
}

ScreenPoint Place(HWND window)
{
    RECT rect;
    GetWindowRect(window, &rect);
    return {rect.left, rect.top};
}

// Whether `action` redraws the popup: a mark painted behind its back survives anything else.
bool Redraws(HWND window, const std::function<void()>& action)
{
    constexpr COLORREF kMark = RGB(255, 0, 255);
    const HDC dc = GetDC(window);
    const RECT corner{0, 0, 4, 4};
    const HBRUSH brush = CreateSolidBrush(kMark);
    FillRect(dc, &corner, brush);
    DeleteObject(brush);
    EXPECT_EQ(GetPixel(dc, 1, 1), kMark);
    action();
    const bool redrawn = GetPixel(dc, 1, 1) != kMark;
    ReleaseDC(window, dc);
    return redrawn;
}

// Pixels of `colour` in the caption's rectangle, which is white on the skin.
int CaptionPixels(HWND window, COLORREF colour)
{
    const HDC dc = GetDC(window);
    int count = 0;
    for (int y = 40; y < 90; ++y)
        for (int x = 10; x < 170; ++x)
            count += GetPixel(dc, x, y) == colour;
    ReleaseDC(window, dc);
    return count;
}

// Handles this thread's messages until `done` holds or `limit` ms have passed; the time waited.
DWORD PumpUntil(const std::function<bool()>& done, DWORD limit)
{
    const DWORD start = GetTickCount();
    while (!done() && GetTickCount() - start < limit)
        PumpMessages(1);
    return GetTickCount() - start;
}

class NotifierTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        owner = CreateWindowExA(0, "STATIC", "owner", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
        ASSERT_TRUE(notifier.CreatePopup(owner));
        ASSERT_TRUE(notifier.LoadSkin());
        notifier.MakeCaptionFonts();
        notifier.SetTextColors(kNormal, kHover);
        notifier.SetTextRect({10, 40, notifier.GetSkinWidth() - 10, notifier.GetSkinHeight() - 30});
        popup = notifier.GetSafeHwnd();
    }
    void TearDown() override { DestroyWindow(owner); }

    Sandbox sandbox;
    DisplayFacts display = kBottom;
    Notifier notifier{[this] { return display; }};
    HWND owner = nullptr;
    HWND popup = nullptr;
};

}  // namespace

TEST_F(NotifierTest, SlidesOutOfEachEdgeStaysAndSlidesBack)
{
    const struct {
        DisplayFacts display;
        ScreenPoint start;
        ScreenPoint shown;
        int steps;
    } cases[] = {
        {kBottom, {844, 738}, kShown, 60},
        {Work(30, 0, 1024, 768), {-150, 648}, {30, 648}, 90},
        {Work(0, 0, 994, 768), {994, 648}, {814, 648}, 90},
        {Work(0, 30, 1024, 768), {844, -90}, {844, 30}, 60},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.start));
        display = c.display;
        notifier.Popup();
        EXPECT_TRUE(IsWindowVisible(popup));
        EXPECT_NE(GetForegroundWindow(), popup);  // the keyboard stays where the user is typing
        EXPECT_EQ(Place(popup), c.start);
        EXPECT_EQ(notifier.GetState(), Notifier::STATE_IDLE);
        EXPECT_EQ(Running(popup), Timers{kIn});
        Tick(popup, {{kIn, c.steps}});
        EXPECT_EQ(Place(popup), c.shown);
        EXPECT_EQ(notifier.GetState(), Notifier::STATE_APPEARING);
        Tick(popup, {{kIn, 1}});
        EXPECT_EQ(notifier.GetState(), Notifier::STATE_WAITING);
        EXPECT_EQ(Running(popup), Timers{kHold});
        if (c.start == ScreenPoint{844, 738})
            SaveScreenshot(popup, "notice");
        Tick(popup, {{kHold, 1}});
        EXPECT_EQ(notifier.GetState(), Notifier::STATE_WAITING);
        EXPECT_EQ(Running(popup), Timers{kOut});
        Tick(popup, {{kOut, c.steps + 1}});
        EXPECT_EQ(notifier.GetState(), Notifier::STATE_IDLE);
        EXPECT_FALSE(IsWindowVisible(popup));
        EXPECT_EQ(Place(popup), c.start);
        EXPECT_EQ(Running(popup), Timers{});
    }
}

// Appearing: only a redraw. Waiting: the hold starts again, also when it has just handed over to
// a slide back whose first step has not come. Sliding back: fully shown at once, then a hold.
// Dismiss then leaves no timer, also the hold that runs while sliding back.
TEST_F(NotifierTest, PopupInEachStateKeepsTheNoticeUpUntilDismissed)
{
    const struct {
        Ticks ticks;
        Notifier::State state;
        ScreenPoint place;
        Timers timers;
    } cases[] = {
        {{{kIn, 10}}, Notifier::STATE_APPEARING, {844, 718}, {kIn}},
        {{{kIn, 61}}, Notifier::STATE_WAITING, kShown, {kHold}},
        {{{kIn, 61}, {kHold, 1}}, Notifier::STATE_WAITING, kShown, {kHold}},
        {{{kIn, 61}, {kHold, 1}, {kOut, 10}}, Notifier::STATE_DISAPPEARING, kShown, {kHold}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.state);
        notifier.Popup();
        Tick(popup, c.ticks);
        EXPECT_TRUE(Redraws(popup, [&] { notifier.Popup(); }));
        EXPECT_EQ(notifier.GetState(), c.state);
        EXPECT_EQ(Place(popup), c.place);
        EXPECT_EQ(Running(popup), c.timers);
        notifier.Dismiss();
        EXPECT_EQ(notifier.GetState(), Notifier::STATE_IDLE);
        EXPECT_FALSE(IsWindowVisible(popup));
        EXPECT_EQ(Running(popup), Timers{});
    }
}

TEST_F(NotifierTest, WithoutASkinPopupDoesNothing)
{
    Notifier bare{[this] { return display; }};
    ASSERT_TRUE(bare.CreatePopup(owner));
    bare.Popup();
    EXPECT_FALSE(IsWindowVisible(bare.GetSafeHwnd()));
    EXPECT_EQ(Running(bare.GetSafeHwnd()), Timers{});
}

// The underlined hover font and the hover colour come and go with the pointer, one redraw each
// way; the pointer is a hand; a click tells the owner and the notice goes on. The platform's
// notices are sent by hand: the test display's one pointer is shared with the window tests that
// run beside this program.
TEST_F(NotifierTest, PointerHoverRedrawsOnceEachWayAndAClickTellsTheOwner)
{
    notifier.Popup();
    Tick(popup, {{kIn, 61}});
    notifier.SetCaption("Notice");
    RedrawWindow(popup, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    EXPECT_GT(CaptionPixels(popup, kNormal), 0);
    EXPECT_EQ(CaptionPixels(popup, kHover), 0);
    for (int entry : {1, 2})
        EXPECT_EQ(Redraws(popup, [&] { SendMessageA(popup, WM_MOUSEHOVER, 0, MAKELPARAM(90, 60)); }), entry == 1);
    EXPECT_GT(CaptionPixels(popup, kHover), 40);  // the underline alone is wider
    EXPECT_EQ(CaptionPixels(popup, kNormal), 0);
    SaveScreenshot(popup, "notice-hover");
    for (int exit : {1, 2})
        EXPECT_EQ(Redraws(popup, [&] { SendMessageA(popup, WM_MOUSELEAVE, 0, 0); }), exit == 1);
    EXPECT_EQ(CaptionPixels(popup, kHover), 0);

    EXPECT_TRUE(SendMessageA(popup, WM_SETCURSOR, reinterpret_cast<WPARAM>(popup), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE)));
    EXPECT_EQ(GetCursor(), LoadCursorA(nullptr, MAKEINTRESOURCEA(32649)));  // IDC_HAND

    SendMessageA(popup, WM_LBUTTONUP, 0, MAKELPARAM(90, 60));
    MSG message{};
    ASSERT_TRUE(PeekMessageA(&message, owner, 0, 0, PM_REMOVE));
    EXPECT_EQ(message.message, 0x047Bu);
    EXPECT_EQ(message.wParam, 0u);
    EXPECT_EQ(message.lParam, 0);
    EXPECT_EQ(notifier.GetState(), Notifier::STATE_WAITING);
    EXPECT_EQ(Running(popup), Timers{kHold});
}

// On real time: each Popup keeps the notice up a full 3000 ms from that call.
TEST_F(NotifierTest, OnItsOwnTimersEachPopupHoldsThreeSeconds)
{
    notifier.Popup();
    ASSERT_LT(PumpUntil([&] { return notifier.GetState() == Notifier::STATE_WAITING; }, 5000), 5000u);
    EXPECT_EQ(Place(popup), kShown);
    PumpMessages(1000);
    notifier.Popup();
    EXPECT_GE(PumpUntil([&] { return notifier.GetState() != Notifier::STATE_WAITING; }, 6000), 2900u);
    ASSERT_EQ(notifier.GetState(), Notifier::STATE_DISAPPEARING);

    notifier.Popup();
    EXPECT_EQ(Place(popup), kShown);
    EXPECT_GE(PumpUntil([&] { return !(Place(popup) == kShown); }, 6000), 2900u);
    EXPECT_LT(PumpUntil([&] { return notifier.GetState() == Notifier::STATE_IDLE; }, 5000), 5000u);
    EXPECT_FALSE(IsWindowVisible(popup));
}
