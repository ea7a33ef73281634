#pragma once
#include "DeletionListModel.h"
#include "Dialog.h"
#include "ListView.h"

#include <commctrl.h>
#include <shellapi.h>

#include <atomic>
#include <memory>
#include <optional>
#include <string>
#include <vector>

// The exact paths the wide open-file picker returned in `buffer`: one full path, or (several
// chosen) the folder, a NUL, and each name followed by a NUL, the list ending in a second NUL.
// `fileOffset` is the picker's offset of the first name.
std::vector<std::wstring> ChosenPaths(const wchar_t* buffer, unsigned fileOffset);

// The selection buffer of the open-file picker, in characters: room for thousands of long names,
// since a selection that does not fit adds nothing at all.
constexpr unsigned kFilePickerBufferSize = 1u << 20;

class CSDEngine;
class CQuenzoRealDeleteDlg;

// The deletion list "보안 삭제": the user collects files and folders, then destroys them. The
// control only shows the rows of a DeletionListModel that lives from the opening to the closing;
// the Delete key and the list's menu item "목록에서 제거" take the selected rows out. It also owns
// the current method, which the engine reads for every file.
class CQuenzoFileDeleteDlg : public CDialog {
public:
    CQuenzoFileDeleteDlg();
    ~CQuenzoFileDeleteDlg() override;

    // The engine that destroys the entries; the engine itself reads CurrentMethod().
    void SetEngine(CSDEngine* engine) { m_engine = engine; }
    // The setting "Method" as read at creation and at every opening (atoi: 0 when not a number).
    int CurrentMethod() const { return m_currentMethod; }

    // The rows, while the window is open; none while it is closed.
    int GetEntryCount() const { return m_rows ? static_cast<int>(m_rows->Count()) : 0; }
    // A row as it is shown: the path's code page 949 text.
    std::string GetEntryPath(int index) const { return m_list.GetItemText(index, 0); }
    // A copy of the rows' exact paths, in row order: what a run started now destroys.
    std::vector<std::wstring> EntryPaths() const { return m_rows ? m_rows->Paths() : std::vector<std::wstring>{}; }
    std::string GetEntrySizeText(int index) const { return m_list.GetItemText(index, 1); }

    // Each way a path comes in: a batch is judged by the never-destroy policy and added as
    // DeletionListModel::Add says, and what was left out is told in one message. Nothing is added
    // while the window is closed. (Picker and drop both come to AddFiles.)
    void AddFiles(const std::vector<std::wstring>& paths);
    void AddFolder(const std::wstring& path);
    // Paths that Explorer's verb sent (exact, whole), added as EntrySource::Requested; the list
    // then comes to the front unless a window of ours holds it. While a run is being asked about
    // or carried out they wait, and the progress window stays in front, until the run is over
    // (the run clears the rows). Before the window is open they wait for its opening.
    void AddRequested(const std::vector<std::wstring>& paths);

    CQuenzoRealDeleteDlg* ProgressWindow() const { return m_progress.get(); }

protected:
    BOOL OnInitDialog() override;
    bool OnCommand(WORD id, WORD code, HWND control) override;
    bool OnNotify(const NMHDR& header, LRESULT& result) override;
    bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
    void OnDestroy() override;

private:
    void OnAddFile();
    void OnAddFolder();
    void OnDropFiles(HDROP drop);
    void OnSecureDelete();
    void RunSecureDelete();
    void SetUpList();
    void ReadCurrentMethod();
    void Add(const std::vector<std::wstring>& paths, EntrySource source);
    void AddWaiting();
    void ShowRows();
    void RemoveSelectedRows();
    void ShowListMenu(LPARAM where);
    int Ask(const char* text, unsigned flags);

    CListView m_list;  // shows m_rows
    std::optional<DeletionListModel> m_rows;  // from the opening to the closing
    std::atomic<int> m_currentMethod{0};
    CSDEngine* m_engine = nullptr;
    std::unique_ptr<CQuenzoRealDeleteDlg> m_progress;
    bool m_asking = false;
    bool m_deleting = false;
    std::vector<std::wstring> m_waiting;  // AddRequested's paths until the rows can take them
};
