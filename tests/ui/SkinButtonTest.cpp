// The picture buttons as a user meets them: the real pointer moved and pressed over the main
// window's three buttons, each face read back from the pixels the button painted.
#include "CxSkinButton.h"
#include "Dialog.h"
#include "Sandbox.h"
#include "WindowTest.h"
#include "resource.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <functional>

namespace {

constexpr UINT kPlain = 0;  // the button-colour fill of a face without a picture
constexpr UINT kNoPicture = 999;
struct Skin {
    UINT normal, down, over, disabled;
};
// Bitmap resource numbers: the main window's set-up (pressed and disabled look like normal), and
// a skin whose four looks differ, so that each can be told from the others.
constexpr int kIds[] = {IDC_SECURE_DELETE_BUTTON, IDC_PERSONAL_BUTTON, IDC_OPTIONS_BUTTON};
constexpr Skin kMain[] = {{135, 135, 138, 135}, {136, 136, 139, 136}, {133, 133, 137, 133}};
constexpr Skin kDistinct = {135, 136, 138, 133};

// Handles what is queued before each look: a move is queued as the pointer is set, so a check
// never passes only because nothing has happened yet.
bool WaitUntil(const std::function<bool()>& condition, DWORD milliseconds = 3000)
{
    for (const DWORD start = GetTickCount(); GetTickCount() - start < milliseconds;) {
        PumpMessages(10);
        if (condition())
            return true;
    }
    return false;
}

// Whether what the button last painted (its window's surface, not a fresh drawing) is the picture
// `face` from its top-left corner, or the plain fill; on a grid of points, less those another
// window hides.
bool Shows(HWND button, UINT face)
{
    RECT area;
    GetClientRect(button, &area);
    const HDC painted = GetDC(button);
    const HDC picture = CreateCompatibleDC(painted);
    const auto bitmap = face == kPlain ? nullptr : LoadBitmapA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(face));
    BITMAP size{};
    if (bitmap && GetObjectA(bitmap, sizeof(size), &size))
        SetRect(&area, 0, 0, std::min<LONG>(area.right, size.bmWidth), std::min<LONG>(area.bottom, size.bmHeight));
    const HGDIOBJ old = bitmap ? SelectObject(picture, bitmap) : nullptr;
    int compared = 0, differing = 0;
    for (int y = 0; y < area.bottom; y += 3) {
        for (int x = 0; x < area.right; x += 3) {
            const COLORREF pixel = GetPixel(painted, x, y);
            if (pixel == CLR_INVALID)
                continue;
            ++compared;
            differing += pixel != (bitmap ? GetPixel(picture, x, y) : GetSysColor(COLOR_BTNFACE));
        }
    }
    if (bitmap) {
        SelectObject(picture, old);
        DeleteObject(bitmap);
    }
    DeleteDC(picture);
    ReleaseDC(button, painted);
    return compared > 1000 && differing == 0;
}

class MainWindow : public CDialog {
public:
    MainWindow() : CDialog(IDD_QUENZOLITE_DIALOG) {}
    int clicks = 0;  // of the first button

protected:
    bool OnCommand(WORD id, WORD code, HWND) override
    {
        clicks += id == kIds[0] && code == BN_CLICKED;
        return true;
    }
};

// The main window's template, its buttons skinned as the main window does it; the pointer stays
// within this window.
class SkinButtonTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(window.Create(nullptr));
        SetWindowPos(window.GetSafeHwnd(), HWND_TOP, 40, 700, 0, 0, SWP_NOSIZE | SWP_SHOWWINDOW);
        for (int i = 0; i < 3; ++i) {
            ASSERT_TRUE(buttons[i].Attach(Button(i)));
            buttons[i].SetTextColor(RGB(255, 255, 255));
            Reskin(i, kMain[i]);
        }
        // The pointer reaches the buttons only once the server has the window shown.
        ASSERT_TRUE(WaitUntil([&] { return WindowFromPoint(Centre(Button(0))) == Button(0); }));
        MoveTo(Background());
    }

    HWND Button(int index) const { return window.GetDlgItem(kIds[index]); }
    void Reskin(int index, const Skin& skin)
    {
        buttons[index].SetSkin(skin.normal, skin.down, skin.over, skin.disabled);
    }
    static POINT Centre(HWND control)
    {
        RECT rect;
        GetWindowRect(control, &rect);
        return {(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
    }
    // A point of the window just below the first button.
    POINT Background() const
    {
        RECT rect;
        GetWindowRect(Button(0), &rect);
        return {(rect.left + rect.right) / 2, rect.bottom + 8};
    }
    // Wine also warps the X pointer, and every Wine process on the display, the desktop's own too,
    // turns the pointer events it reads into positions: one that reads late (on a loaded machine)
    // puts the pointer back where it was a moment before, and X refuses a warp while another
    // program holds the pointer. So after each placing the desktop's process is made to catch up
    // (a message it handles only after the events before it), and the pointer counts as there once
    // it has stayed there for 150 ms, longer than Wine goes without asking X where it is.
    // Otherwise it is placed again, by way of a point beside it: Wine does not warp to where it
    // believes the pointer already is.
    static void MoveTo(POINT point)
    {
        bool there = false;
        POINT now{};
        for (int attempt = 0; attempt < 10 && !there; ++attempt) {
            if (attempt)
                SetCursorPos(point.x + 1, point.y);
            SetCursorPos(point.x, point.y);
            int steady = 0;
            there = WaitUntil([&] {
                DWORD_PTR ignored;
                SendMessageTimeoutA(GetDesktopWindow(), WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 1000, &ignored);
                GetCursorPos(&now);
                return (steady = now.x == point.x && now.y == point.y ? steady + 1 : 0) >= 15;
            }, 1000);
        }
        EXPECT_TRUE(there) << "the pointer did not stay at " << point.x << "," << point.y << " but went to " << now.x
                           << "," << now.y;
    }
    // Places the pointer at `point` until `shown` holds. When a late echo moved the pointer
    // meanwhile, the last move the button handled may say the pointer was elsewhere, and no further
    // move comes: the pointer is placed again by way of a point beside it, as a user would move the
    // mouse once more, a bounded number of times.
    static void PointAt(POINT point, const std::function<bool()>& shown)
    {
        for (int attempt = 0; attempt < 3; ++attempt) {
            if (attempt)
                MoveTo({point.x + 1, point.y + 1});
            MoveTo(point);
            if (WaitUntil(shown, 1500))
                return;
        }
    }
    // A press at the pointer; one that the button did not get (the pointer was elsewhere for a
    // moment, as above) is let go off the button's capture, which clicks nothing, and made again.
    void PressAt(POINT point)
    {
        for (int attempt = 0; attempt < 3; ++attempt) {
            Mouse(MOUSEEVENTF_LEFTDOWN);
            if (WaitUntil([&] { return GetCapture() == Button(0); }, 1500))
                return;
            Mouse(MOUSEEVENTF_LEFTUP);
            MoveTo({point.x + 1, point.y + 1});
            MoveTo(point);
        }
    }
    // Both clicks in one input batch, so that they stay a double click; a batch that reached no
    // window under a busy display (the clicks did not come) is sent again from the same point.
    void DoubleClickAt(POINT point, const std::function<bool()>& shown)
    {
        const int before = window.clicks;
        INPUT inputs[4]{};
        const DWORD flags[] = {MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP, MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP};
        for (int i = 0; i < 4; ++i) {
            inputs[i].type = INPUT_MOUSE;
            inputs[i].mi.dwFlags = flags[i];
        }
        for (int attempt = 0; attempt < 3 && window.clicks == before; ++attempt) {
            MoveTo(point);
            SendInput(4, inputs, sizeof(INPUT));
            WaitUntil(shown, 1500);
        }
    }
    // The pointer's state as the system sees it, for a failure message.
    std::string Where() const
    {
        POINT at{};
        GetCursorPos(&at);
        char text[160];
        std::snprintf(text, sizeof(text), "(pointer at %ld,%ld over %p; capture %p; button %p, state %#lx)", at.x, at.y,
                      static_cast<void*>(WindowFromPoint(at)), static_cast<void*>(GetCapture()),
                      static_cast<void*>(Button(0)), static_cast<unsigned long>(SendMessageA(Button(0), BM_GETSTATE, 0, 0)));
        return text;
    }
    static void Mouse(DWORD flags)
    {
        INPUT input{};
        input.type = INPUT_MOUSE;
        input.mi.dwFlags = flags;
        SendInput(1, &input, sizeof(input));
    }

    Sandbox sandbox;
    MainWindow window;
    CxSkinButton buttons[3];
};

}  // namespace

// Straight from one button onto the next: the first gives up its over look as the second takes it.
TEST_F(SkinButtonTest, PointerOverShowsTheOverPictureUntilItLeaves)
{
    for (int i = 0; i < 3; ++i) {
        PointAt(Centre(Button(i)),
                [&] { return Shows(Button(i), kMain[i].over) && (i == 0 || Shows(Button(i - 1), kMain[i - 1].normal)); });
        EXPECT_TRUE(WaitUntil([&] { return Shows(Button(i), kMain[i].over); })) << "onto " << i;
        EXPECT_TRUE(i == 0 || WaitUntil([&] { return Shows(Button(i - 1), kMain[i - 1].normal); })) << "left " << i - 1;
        if (i == 1)
            SaveScreenshot(window.GetSafeHwnd(), "skin-button-over");
    }
    const auto allNormal = [&] {
        return Shows(Button(0), kMain[0].normal) && Shows(Button(1), kMain[1].normal) && Shows(Button(2), kMain[2].normal);
    };
    PointAt(Background(), allNormal);
    for (int i = 0; i < 3; ++i)
        EXPECT_TRUE(WaitUntil([&] { return Shows(Button(i), kMain[i].normal); })) << "off " << i;
    SaveScreenshot(window.GetSafeHwnd(), "skin-button-normal");
}

// While held, the face follows whether the pointer is on the button, which a window lying over it
// hides; only a release on it clicks; a press cut short by a change of focus no longer follows the
// pointer; and each click of a double click presses the button.
TEST_F(SkinButtonTest, HeldPressFollowsThePointerAndOnlyAReleaseOnTheButtonClicks)
{
    Reskin(0, kDistinct);
    const HWND button = Button(0);
    RECT place;
    GetWindowRect(button, &place);
    // Topmost: under Wine the dialog, activated by the press, rises above the windows it owns.
    const HWND cover = CreateWindowExA(WS_EX_TOOLWINDOW | WS_EX_TOPMOST, "STATIC", "",
                                       WS_POPUP | WS_VISIBLE | SS_NOTIFY, place.right - 24, place.bottom - 24, 16, 16,
                                       window.GetSafeHwnd(), nullptr, nullptr, nullptr);
    enum Act { Onto, Off, Covered, Press, Release, Unfocus, DoubleClick };
    // Normal or over: after a click the over look comes back with the next move, which Wine fakes
    // at times when the capture ends.
    constexpr UINT kReleased = ~0u;
    const struct {
        const char* what;
        Act act;
        UINT face;
        int clicks;
    } steps[] = {
        {"onto", Onto, kDistinct.over, 0},          {"press", Press, kDistinct.down, 0},
        {"drag off", Off, kDistinct.normal, 0},     {"drag back", Onto, kDistinct.down, 0},
        {"drag onto the window over it", Covered, kDistinct.normal, 0},
        {"drag back", Onto, kDistinct.down, 0},     {"drag off", Off, kDistinct.normal, 0},
        {"release off", Release, kDistinct.normal, 0},
        {"onto", Onto, kDistinct.over, 0},          {"press", Press, kDistinct.down, 0},
        {"release on", Release, kReleased, 1},      {"press", Press, kDistinct.down, 1},
        {"drag off", Off, kDistinct.normal, 1},     {"focus to another", Unfocus, kDistinct.normal, 1},
        {"back on", Onto, kDistinct.over, 1},       {"release on", Release, kDistinct.over, 1},
        {"double click", DoubleClick, kReleased, 3},
    };
    for (const auto& step : steps) {
        const auto shown = [&] {
            const bool face = step.face == kReleased ? Shows(button, kDistinct.normal) || Shows(button, kDistinct.over)
                                                     : Shows(button, step.face);
            return face && window.clicks >= step.clicks;
        };
        switch (step.act) {
        case Onto: PointAt(Centre(button), shown); break;
        case Off: PointAt(Background(), shown); break;
        case Covered: PointAt(Centre(cover), shown); break;
        case Press: PressAt(Centre(button)); break;
        case Release: Mouse(MOUSEEVENTF_LEFTUP); break;
        case Unfocus: SetFocus(Button(1)); break;
        case DoubleClick:
            DoubleClickAt(Centre(button), shown);
            break;
        }
        EXPECT_TRUE(WaitUntil(shown)) << step.what << ": not " << step.face << " " << Where();
        EXPECT_EQ(window.clicks, step.clicks) << step.what;
        if (step.act == Press && step.clicks == 0)
            SaveScreenshot(window.GetSafeHwnd(), "skin-button-pressed");
    }
    DestroyWindow(cover);
}

TEST_F(SkinButtonTest, DisabledAndMissingPicturesShowTheirFaces)
{
    const struct {
        const char* what;
        Skin skin;
        bool enabled, pointerOver;
        UINT face;
        const char* screenshot;
    } cases[] = {
        {"disabled", kDistinct, false, false, kDistinct.disabled, "skin-button-disabled"},
        {"disabled, pointer over", kDistinct, false, true, kDistinct.disabled, nullptr},
        {"disabled picture missing", {135, 136, 138, kNoPicture}, false, false, kPlain, nullptr},
        {"normal picture missing", {kNoPicture, 136, 138, 133}, true, false, kPlain, nullptr},
        {"normal picture missing, pointer over", {kNoPicture, 136, 138, 133}, true, true, kPlain,
         "skin-button-no-normal"},
    };
    for (const auto& c : cases) {
        MoveTo(Background());
        Reskin(0, c.skin);
        EnableWindow(Button(0), c.enabled);
        if (c.pointerOver)
            PointAt(Centre(Button(0)), [&] { return Shows(Button(0), c.face); });
        EXPECT_TRUE(WaitUntil([&] { return Shows(Button(0), c.face); })) << c.what;
        if (c.screenshot)
            SaveScreenshot(window.GetSafeHwnd(), c.screenshot);
    }
}
