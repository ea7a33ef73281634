#pragma once
#include <windows.h>

#include <string>

// A dialog built from a template resource, modal or modeless, in the shape of the classic
// framework: one dialog procedure stores `this` at WM_INITDIALOG and dispatches to virtual
// handlers, each returning whether it handled the message. A modal dialog runs its own message
// loop so that PreTranslateMessage sees keys before dialog processing does. Nothing thrown by a
// handler crosses the dialog procedure.
class CDialog {
public:
    explicit CDialog(UINT templateId) : m_templateId(templateId) {}
    virtual ~CDialog();
    CDialog(const CDialog&) = delete;
    CDialog& operator=(const CDialog&) = delete;

    // Shows the dialog and returns the result given to EndDialog, or -1 if it could not be made.
    // The loop also ends when the window is destroyed (DestroyWindow), with the result given to
    // EndDialog before, or -1.
    INT_PTR DoModal(HWND owner = nullptr);
    // Creates the dialog without a loop of its own (pages, tests); false if it could not be made.
    bool Create(HWND parent);
    // Ends a modal dialog with `result`; destroys a modeless one, or only hides it when it is to
    // live on (SetHiddenWhenEnded).
    void EndDialog(INT_PTR result);
    // A modeless window that lives for the program's life: "OK" and "Cancel" hide it.
    void SetHiddenWhenEnded(bool hidden) { m_hiddenWhenEnded = hidden; }

    HWND GetSafeHwnd() const { return m_hWnd; }
    HWND GetDlgItem(int id) const { return ::GetDlgItem(m_hWnd, id); }
    std::string GetItemText(int id) const;
    void SetItemText(int id, const std::string& text) const;

protected:
    virtual BOOL OnInitDialog() { return TRUE; }
    virtual bool OnCommand(WORD /*id*/, WORD /*code*/, HWND /*control*/) { return false; }
    virtual bool OnNotify(const NMHDR& /*header*/, LRESULT& /*result*/) { return false; }
    virtual bool OnTimer(UINT_PTR /*timerId*/) { return false; }
    // Any other message; set `result` and return true to handle it.
    virtual bool OnMessage(UINT /*message*/, WPARAM, LPARAM, LRESULT& /*result*/) { return false; }
    // True swallows the message before the dialog sees it (modal dialogs only).
    virtual bool PreTranslateMessage(MSG& /*message*/) { return false; }
    virtual void OnOK() { EndDialog(IDOK); }
    virtual void OnCancel() { EndDialog(IDCANCEL); }
    virtual void OnDestroy() {}

    // Paints the icon centred when the window is minimised, as the classic framework's dialogs do;
    // returns false (default painting) otherwise.
    bool PaintIconWhenMinimized(HICON icon);
    void SetIcons(HICON icon);
    // The program's windows all do the same: the icon resource as the big and small window icon,
    // and drawn centred while the window is minimised.
    void UseIcon(UINT resourceId);
    HICON Icon() const { return m_icon; }

    HWND m_hWnd = nullptr;

private:
    static INT_PTR CALLBACK DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    INT_PTR Dispatch(UINT message, WPARAM wParam, LPARAM lParam);
    bool IsOwnMessage(const MSG& message) const;

    UINT m_templateId;
    bool m_modal = false;
    bool m_endModal = false;
    bool m_hiddenWhenEnded = false;
    HICON m_icon = nullptr;
    INT_PTR m_result = -1;
};

