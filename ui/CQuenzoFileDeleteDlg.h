#pragma once
#include "Dialog.h"
#include "ListView.h"

#include <commctrl.h>
#include <shellapi.h>

#include <atomic>
#include <memory>
#include <string>
#include <vector>

class CSDEngine;
class CQuenzoRealDeleteDlg;

// The deletion list "보안 삭제": the user collects files and folders, then destroys them. It also
// owns the current method, which the engine reads for every file.
class CQuenzoFileDeleteDlg : public CDialog {
public:
    CQuenzoFileDeleteDlg();
    ~CQuenzoFileDeleteDlg() override;

    // The engine that destroys the entries; the engine itself reads CurrentMethod().
    void SetEngine(CSDEngine* engine) { m_engine = engine; }
    // The setting "Method" as read at creation and at every opening (atoi: 0 when not a number).
    int CurrentMethod() const { return m_currentMethod; }

    int GetEntryCount() const { return m_list.GetItemCount(); }
    // A row as it is shown: the path's code page 949 text.
    std::string GetEntryPath(int index) const { return m_list.GetItemText(index, 0); }
    // The rows' exact paths, in row order: what a run destroys.
    const std::vector<std::wstring>& EntryPaths() const { return m_entries; }
    std::string GetEntrySizeText(int index) const { return m_list.GetItemText(index, 1); }

    // Adds files (exact paths) at the top, in order, each after a duplicate check on the exact
    // path; the first duplicate is reported and ends the adding. Returns how many were added.
    // (Picker and drop both come here.)
    int AddFiles(const std::vector<std::wstring>& paths);
    // Adds a folder as the second row (the first in an empty list), without a duplicate check.
    void AddFolder(const std::wstring& path);
    // Paths that Explorer's verb sent (exact, whole): each added as the picker or the folder
    // button would add it, quietly leaving out those already listed. While a run is being asked
    // about or carried out they wait and are added once it is over (the run clears the rows).
    // Before the window is open they wait for its opening.
    void AddRequested(const std::vector<std::wstring>& paths);

    CQuenzoRealDeleteDlg* ProgressWindow() const { return m_progress.get(); }

protected:
    BOOL OnInitDialog() override;
    bool OnCommand(WORD id, WORD code, HWND control) override;
    bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

private:
    void OnAddFile();
    void OnAddFolder();
    void OnDropFiles(HDROP drop);
    void OnSecureDelete();
    void RunSecureDelete();
    void SetUpList();
    void ReadCurrentMethod();
    void InsertRow(int index, const std::wstring& path, const std::string& size);
    void ClearRows();
    int Ask(const char* text, unsigned flags);

    CListView m_list;
    // The exact path of every row, in row order; the rows show their 949 text only.
    std::vector<std::wstring> m_entries;
    std::atomic<int> m_currentMethod{0};
    CSDEngine* m_engine = nullptr;
    std::unique_ptr<CQuenzoRealDeleteDlg> m_progress;
    bool m_asking = false;
    bool m_deleting = false;
    std::vector<std::wstring> m_waiting;  // AddRequested's paths until the rows can take them
};
