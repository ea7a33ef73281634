#include "CQuenzoOptionDlg.h"
#include "CRegInfo.h"
#include "RefusedWrites.h"
#include "Sandbox.h"
#include "WindowTest.h"
#include "resource.h"

#include <gtest/gtest.h>
#include <commctrl.h>

namespace {

class OptionDlgTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        CRegInfo().RegisterAtStartup();
        Set("Method", "5");
        Set("Persnal", "0");
    }
    static void Set(const char* name, const char* value)
    {
        CRegInfo().WriteString(value, registry_layout::kSettingsGroup, registry_layout::kSettingsSubkey, name);
    }
    static std::string Get(const char* name) { return CRegInfo().ReadSetting(name); }

    HWND MethodPage() const { return options.MethodPage()->GetSafeHwnd(); }
    HWND PersnalPage() const { return options.PersnalPage()->GetSafeHwnd(); }
    std::string Text(HWND window, int id) const
    {
        char buffer[256] = {};
        GetDlgItemTextA(window, id, buffer, sizeof(buffer));
        return buffer;
    }
    // Moves the track bar as a drag of the thumb ends there.
    void MoveTrackBar(int position) const
    {
        const HWND bar = GetDlgItem(MethodPage(), IDC_METHOD_TRACKBAR);
        SendMessageA(bar, TBM_SETPOS, TRUE, position);
        SendMessageA(MethodPage(), WM_VSCROLL, MAKEWPARAM(TB_THUMBPOSITION, position), reinterpret_cast<LPARAM>(bar));
    }
    // Pixels of `control` unlike the dialog's face, as the control paints itself.
    static int InkPixels(HWND control)
    {
        RECT rect;
        GetClientRect(control, &rect);
        const HDC screen = GetDC(control);
        const HDC memory = CreateCompatibleDC(screen);
        const HBITMAP bitmap = CreateCompatibleBitmap(screen, rect.right, rect.bottom);
        const HGDIOBJ old = SelectObject(memory, bitmap);
        SendMessageA(control, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(memory), PRF_CLIENT);
        int ink = 0;
        for (int y = 0; y < rect.bottom; ++y)
            for (int x = 0; x < rect.right; ++x)
                ink += GetPixel(memory, x, y) != GetSysColor(COLOR_3DFACE);
        SelectObject(memory, old);
        DeleteObject(bitmap);
        DeleteDC(memory);
        ReleaseDC(control, screen);
        return ink;
    }
    void SelectPage(int index) const
    {
        LVITEMA item{};
        item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
        item.state = LVIS_SELECTED | LVIS_FOCUSED;
        SendMessageA(GetDlgItem(options.GetSafeHwnd(), IDC_PAGE_LIST), LVM_SETITEMSTATE, static_cast<WPARAM>(index),
                     reinterpret_cast<LPARAM>(&item));
    }

    Sandbox sandbox;  // refuses to run outside the test environment
    ScriptedPrompts prompts;
    CQuenzoOptionDlg options;
};

}  // namespace

// The page shows the stored method; the bottom of the track bar is method 13, and the page's own
// OK saves it and says so.
TEST_F(OptionDlgTest, MethodPageShowsAndSavesTheMethod)
{
    std::vector<std::string> texts;
    RunModalScript(options, nullptr,
                   {[&] {
                        EXPECT_EQ(SendDlgItemMessageA(MethodPage(), IDC_METHOD_TRACKBAR, TBM_GETPOS, 0, 0), 5);
                        EXPECT_EQ(Text(MethodPage(), IDC_METHOD_NAME), "DoD5220_22_M_E_C_E + Marrowick Algorithm");
                        EXPECT_EQ(Text(MethodPage(), IDC_METHOD_SPEED), "보통");
                        EXPECT_EQ(Text(MethodPage(), IDC_METHOD_PASSES), "7번 덮어씌움");
                        EXPECT_EQ(Text(MethodPage(), IDC_METHOD_NOTE), "참고 : 용량이 클 경우 느려질 수 있습니다.");
                        EXPECT_TRUE(IsWindowVisible(MethodPage()));
                        EXPECT_FALSE(IsWindowVisible(PersnalPage()));
                        SaveScreenshot(options.GetSafeHwnd(), "preferences-method");
                    },
                    [&] {
                        MoveTrackBar(13);
                        EXPECT_EQ(Text(MethodPage(), IDC_METHOD_NAME), "Simple + Marrowick Algorithm");
                        EXPECT_EQ(Text(MethodPage(), IDC_METHOD_SPEED), "아주 빠름");
                        EXPECT_EQ(Text(MethodPage(), IDC_METHOD_PASSES), "1번 덮어씌움");
                        ClickButton(MethodPage(), IDC_METHOD_SAVE);
                        EXPECT_EQ(Get("Method"), "13");
                    },
                    [&] { ClickButton(options.GetSafeHwnd(), IDC_OPTION_CANCEL, true); }});
    ASSERT_EQ(prompts.Shown().size(), 1u);
    EXPECT_EQ(prompts.Shown()[0].text, "저장하였습니다.");
    EXPECT_EQ(prompts.Shown()[0].caption, "QuenzoLite");
    EXPECT_EQ(prompts.Shown()[0].flags, static_cast<unsigned>(MB_TOPMOST | MB_ICONQUESTION));
    EXPECT_EQ(Get("Persnal"), "0");
}

// The window's OK saves what both pages show: a method moved to used to be lost.
TEST_F(OptionDlgTest, WindowOkSavesWhatBothPagesShow)
{
    RunModalScript(options, nullptr,
                   {[&] {
                        MoveTrackBar(2);
                        SelectPage(1);
                        EXPECT_FALSE(IsWindowVisible(MethodPage()));
                        EXPECT_TRUE(IsWindowVisible(PersnalPage()));
                        EXPECT_FALSE(IsDlgButtonChecked(PersnalPage(), IDC_PERSNAL_SECURE));
                        SendDlgItemMessageA(PersnalPage(), IDC_PERSNAL_SECURE, BM_CLICK, 0, 0);
                        SaveScreenshot(options.GetSafeHwnd(), "preferences-personal");
                    },
                    [&] {
                        // Switching back and forth keeps each page's state.
                        SelectPage(0);
                        EXPECT_EQ(SendDlgItemMessageA(MethodPage(), IDC_METHOD_TRACKBAR, TBM_GETPOS, 0, 0), 2);
                        SelectPage(1);
                        EXPECT_TRUE(IsDlgButtonChecked(PersnalPage(), IDC_PERSNAL_SECURE));
                        ClickButton(options.GetSafeHwnd(), IDC_OPTION_OK, true);
                    }});
    EXPECT_EQ(Get("Persnal"), "1");
    EXPECT_EQ(Get("Method"), "2");
    EXPECT_TRUE(prompts.Shown().empty());
}

// 취소 saves nothing; Enter, Escape and Alt+F4 close nothing.
TEST_F(OptionDlgTest, CancelSavesNothingAndKeysCloseNothing)
{
    Set("Persnal", "1");
    bool stillOpen = false;
    RunModalScript(options, nullptr,
                   {[&] {
                        EXPECT_TRUE(IsDlgButtonChecked(PersnalPage(), IDC_PERSNAL_SECURE));
                        SendDlgItemMessageA(PersnalPage(), IDC_PERSNAL_SECURE, BM_CLICK, 0, 0);
                        const HWND focus = GetDlgItem(options.GetSafeHwnd(), IDC_OPTION_OK);
                        PostMessageA(focus, WM_KEYDOWN, VK_ESCAPE, 0);
                        PostMessageA(focus, WM_KEYDOWN, VK_RETURN, 0);
                        PostMessageA(GetDlgItem(MethodPage(), IDC_METHOD_SAVE), WM_KEYDOWN, VK_ESCAPE, 0);
                        PostMessageA(focus, WM_SYSKEYDOWN, VK_F4, 1 << 29);
                    },
                    [&] { stillOpen = IsWindow(options.GetSafeHwnd()) != FALSE; },
                    [&] { ClickButton(options.GetSafeHwnd(), IDC_OPTION_CANCEL, true); }});
    EXPECT_TRUE(stillOpen);
    EXPECT_EQ(Get("Persnal"), "1");
    EXPECT_TRUE(prompts.Shown().empty());
}

// A save the registry refuses says so and stores nothing (it used to report "저장하였습니다.").
TEST_F(OptionDlgTest, RefusedSaveSaysItFailed)
{
    const RefusedWrites locked(registry_layout::kSettingsKey);
    ASSERT_TRUE(locked.Refuses());
    RunModalScript(options, nullptr,
                   {[&] {
                        MoveTrackBar(13);
                        ClickButton(MethodPage(), IDC_METHOD_SAVE);
                    },
                    [&] { ClickButton(options.GetSafeHwnd(), IDC_OPTION_OK, true); },
                    [&] { ClickButton(options.GetSafeHwnd(), IDC_OPTION_CANCEL, true); }});
    // The window's OK too: it stays open instead of closing as if saved.
    EXPECT_EQ(prompts.Texts(), std::vector<std::string>(2, "저장하지 못했습니다."));
    EXPECT_EQ(prompts.Shown().at(0).caption, "QuenzoLite");
    EXPECT_EQ(prompts.Shown().at(0).flags, static_cast<unsigned>(MB_TOPMOST | MB_ICONERROR));
    EXPECT_EQ(Get("Method"), "5");
}

// The line of 37 "─" above the buttons is drawn: Wine's stand-in for 돋움체 drew nothing for it.
TEST_F(OptionDlgTest, SeparatorLineIsDrawn)
{
    RunModalScript(options, nullptr,
                   {[&] {
                        const HWND line = GetDlgItem(options.GetSafeHwnd(), IDC_OPTION_SEPARATOR);
                        wchar_t text[64] = {};
                        GetWindowTextW(line, text, 64);
                        EXPECT_EQ(std::wstring(text), std::wstring(37, L'\x2500'));
                        RECT rect;
                        GetClientRect(line, &rect);
                        EXPECT_GE(InkPixels(line), rect.right / 2);
                    },
                    [&] { ClickButton(options.GetSafeHwnd(), IDC_OPTION_CANCEL, true); }});
}
