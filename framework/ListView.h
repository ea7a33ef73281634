#pragma once
#include <windows.h>
#include <commctrl.h>

#include <string>
#include <vector>

// A non-owning holder of a list-view control's handle, with the few operations the windows use.
class CListView {
public:
    void Attach(HWND control) { m_hWnd = control; }
    HWND GetSafeHwnd() const { return m_hWnd; }

    int GetItemCount() const;
    std::string GetItemText(int item, int column) const;
    int InsertItem(int index, const std::string& text, int image = -1) const;
    void SetItemText(int item, int column, const std::string& text) const;
    void DeleteAllItems() const;
    // The selected rows' indices, top to bottom.
    std::vector<int> SelectedItems() const;
    void InsertColumn(int column, const std::string& header, int width) const;

private:
    HWND m_hWnd = nullptr;
};
