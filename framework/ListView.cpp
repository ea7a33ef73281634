#include "ListView.h"

#include <vector>

int CListView::GetItemCount() const { return static_cast<int>(SendMessageA(m_hWnd, LVM_GETITEMCOUNT, 0, 0)); }

std::string CListView::GetItemText(int item, int column) const
{
    // The control copies at most the buffer's size; grow until the text fits.
    for (std::size_t size = 512;; size *= 2) {
        std::vector<char> text(size);
        LVITEMA row{};
        row.iSubItem = column;
        row.pszText = text.data();
        row.cchTextMax = static_cast<int>(size);
        const auto length = static_cast<std::size_t>(
            SendMessageA(m_hWnd, LVM_GETITEMTEXTA, static_cast<WPARAM>(item), reinterpret_cast<LPARAM>(&row)));
        if (length + 1 < size)
            return std::string(text.data(), length);
    }
}

int CListView::InsertItem(int index, const std::string& text, int image) const
{
    LVITEMA row{};
    row.mask = LVIF_TEXT | (image >= 0 ? LVIF_IMAGE : 0);
    row.iItem = index;
    row.pszText = const_cast<char*>(text.c_str());
    row.iImage = image;
    return static_cast<int>(SendMessageA(m_hWnd, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&row)));
}

void CListView::SetItemText(int item, int column, const std::string& text) const
{
    LVITEMA row{};
    row.iSubItem = column;
    row.pszText = const_cast<char*>(text.c_str());
    SendMessageA(m_hWnd, LVM_SETITEMTEXTA, static_cast<WPARAM>(item), reinterpret_cast<LPARAM>(&row));
}

void CListView::DeleteAllItems() const { SendMessageA(m_hWnd, LVM_DELETEALLITEMS, 0, 0); }

std::vector<int> CListView::SelectedItems() const
{
    std::vector<int> items;
    for (int item = -1; (item = static_cast<int>(SendMessageA(m_hWnd, LVM_GETNEXTITEM, static_cast<WPARAM>(item),
                                                               LVNI_SELECTED))) >= 0;)
        items.push_back(item);
    return items;
}

void CListView::InsertColumn(int column, const std::string& header, int width) const
{
    LVCOLUMNA info{};
    info.mask = LVCF_FMT | LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
    info.fmt = LVCFMT_LEFT;
    info.cx = width;
    info.pszText = const_cast<char*>(header.c_str());
    info.iSubItem = column;
    SendMessageA(m_hWnd, LVM_INSERTCOLUMNA, static_cast<WPARAM>(column), reinterpret_cast<LPARAM>(&info));
}
