// The window layer's own promises, which the resident program's windows rely on.
#include "Dialog.h"
#include "Sandbox.h"
#include "Thread.h"
#include "Window.h"
#include "WindowTest.h"
#include "resource.h"

#include <gtest/gtest.h>

#include <atomic>

namespace {

class PlainDialog : public CDialog {
public:
    PlainDialog() : CDialog(IDD_QUENZOREALDELETE_DIALOG) {}
};

// Counts what reaches it and draws itself when its parent is asked to.
class CountingControl : public CWindow {
public:
    int clicks = 0;
    int drawn = 0;

protected:
    bool OnLButtonDown(UINT, POINT) override
    {
        ++clicks;
        return true;
    }
    void OnDrawItem(const DRAWITEMSTRUCT&) override { ++drawn; }
};

}  // namespace

// The main window's exit command destroys it: its modal loop must end then, not only on EndDialog.
TEST(ModalLoop, EndsWhenTheWindowIsDestroyed)
{
    Sandbox sandbox;
    PlainDialog dialog;
    const INT_PTR result = RunModalScript(dialog, nullptr, {[&] { DestroyWindow(dialog.GetSafeHwnd()); }});
    EXPECT_EQ(result, -1);
    EXPECT_EQ(dialog.GetSafeHwnd(), nullptr);
}

// A modeless window that lives on is only hidden by its end, and can be shown again.
TEST(ModelessDialog, HiddenWhenEndedCanComeBack)
{
    Sandbox sandbox;
    PlainDialog dialog;
    dialog.SetHiddenWhenEnded(true);
    ASSERT_TRUE(dialog.Create(nullptr));
    ShowWindow(dialog.GetSafeHwnd(), SW_SHOW);
    dialog.EndDialog(IDOK);
    ASSERT_TRUE(IsWindow(dialog.GetSafeHwnd()));
    EXPECT_FALSE(IsWindowVisible(dialog.GetSafeHwnd()));
}

// A worker that keeps sending to a window of this thread is stopped and joined without a
// deadlock: the join handles the sent messages until the worker sees the request.
TEST(WorkerThread, StopsAndJoinsWhileItsWindowReceivesSentMessages)
{
    Sandbox sandbox;
    PlainDialog dialog;
    ASSERT_TRUE(dialog.Create(nullptr));
    const HWND window = dialog.GetSafeHwnd();
    std::atomic<int> sent{0};
    CWorkerThread worker;
    ASSERT_TRUE(worker.Start([&] {
        while (!worker.StopRequested()) {
            SendMessageA(window, WM_NULL, 0, 0);
            ++sent;
            worker.WaitForStop(5);
        }
    }));
    for (const DWORD since = GetTickCount(); sent.load() < 3 && GetTickCount() - since < 10000;)
        PumpMessages(5);
    ASSERT_GE(sent.load(), 3) << "the worker's messages did not arrive";
    const DWORD start = GetTickCount();
    worker.StopAndJoin();
    EXPECT_LT(GetTickCount() - start, 1000u);
    EXPECT_FALSE(worker.IsRunning());
    EXPECT_GT(sent.load(), 0);
}

// A subclassed control's messages reach the object first; what it leaves still reaches the
// control; its parent's owner-draw request reaches the control; and the control gets its own
// procedure back when the object goes.
TEST(WindowBase, SubclassedControlHandlesItsMessagesAndDrawsItself)
{
    Sandbox sandbox;
    PlainDialog dialog;
    ASSERT_TRUE(dialog.Create(nullptr));
    const HWND control = CreateWindowExA(0, "BUTTON", "press", WS_CHILD | WS_VISIBLE | BS_OWNERDRAW, 0, 0, 50, 20,
                                         dialog.GetSafeHwnd(), reinterpret_cast<HMENU>(4711), nullptr, nullptr);
    const auto original = GetWindowLongPtrA(control, GWLP_WNDPROC);
    {
        CountingControl counting;
        ASSERT_TRUE(counting.Subclass(control));
        EXPECT_EQ(CWindow::FromHandle(control), &counting);
        SendMessageA(control, WM_LBUTTONDOWN, MK_LBUTTON, 0);
        SetWindowTextA(control, "pressed");
        char text[16] = {};
        GetWindowTextA(control, text, sizeof(text));
        EXPECT_STREQ(text, "pressed");
        DRAWITEMSTRUCT item{};
        item.CtlType = ODT_BUTTON;
        item.CtlID = 4711;
        item.hwndItem = control;
        SendMessageA(dialog.GetSafeHwnd(), WM_DRAWITEM, 4711, reinterpret_cast<LPARAM>(&item));
        EXPECT_EQ(counting.clicks, 1);
        EXPECT_EQ(counting.drawn, 1);
    }
    EXPECT_EQ(CWindow::FromHandle(control), nullptr);
    EXPECT_EQ(GetWindowLongPtrA(control, GWLP_WNDPROC), original);
}
