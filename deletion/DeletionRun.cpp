#include "DeletionRun.h"

#include "CSADirRead.h"
#include "CSDEngine.h"
#include "Cp949Text.h"
#include "ExactPath.h"
#include "FileError.h"
#include "MethodCatalogue.h"
#include "NeverDestroy.h"
#include "Seams.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>

namespace {

constexpr unsigned kPassPauseMs = 100;
constexpr unsigned kFilePauseMs = 500;

// Whether anything is listed under the path itself (a link is not followed). A path the engine
// refuses, or one that cannot be looked at, counts as there: the engine then says why it stays.
bool IsThere(const std::wstring& path)
{
    const auto checked = CheckedPath(path);
    if (!checked)
        return true;
    WIN32_FIND_DATAW found;
    const HANDLE handle = FindFirstFileW(Extended(*checked).c_str(), &found);
    const DWORD error = GetLastError();
    const ScopedFind find(handle);
    return find.IsValid() || (error != ERROR_FILE_NOT_FOUND && error != ERROR_PATH_NOT_FOUND);
}

// The files a walk of the folder finds below it now.
std::size_t FilesIn(const std::wstring& folder)
{
    CSADirRead reader;
    reader.CollectFolders(folder);
    reader.CollectFiles();
    return reader.Files().size();
}

// Counts the files the entries stand for, as the total bar's range needs.
std::int64_t CountFiles(const std::vector<std::wstring>& entries)
{
    std::int64_t total = 0;
    for (const std::wstring& entry : entries)
        if (IsThere(entry))
            total += IsFolderPath(entry) ? static_cast<std::int64_t>(FilesIn(entry)) : 1;
    return total;
}

class Run {
public:
    Run(CSDEngine& engine, int passCount, std::int64_t fileTotal, DeletionDisplay& display)
        : m_engine(engine), m_passCount(passCount), m_fileTotal(fileTotal), m_display(display)
    {
    }

    // Destroys one chosen entry and records what became of it. False once the run is halted.
    bool Destroy(const std::wstring& entry)
    {
        if (!IsThere(entry)) {
            // A row inside a folder destroyed earlier (or the same folder chosen twice) went with it.
            const auto holder = std::find_if(m_destroyed.begin(), m_destroyed.end(),
                                             [&](const std::wstring& gone) { return SameOrInside(entry, gone); });
            if (holder != m_destroyed.end())
                ++m_outcome.destroyed;
            else
                Leave({entry, LeftReason::Missing});
            return true;
        }
        const bool folder = IsFolderPath(entry);
        const std::size_t wipesBefore = m_wipes;
        bool gone = false;
        const bool going = folder ? WipeOneFolder(entry, gone) : WipeOneFile(entry, entry, false, gone);
        if (gone && !IsThere(entry)) {
            ++m_outcome.destroyed;
            m_destroyed.push_back(entry);
        } else if (m_wipes == wipesBefore) {
            Leave({entry, LeftReason::NotReached});
        } else if (!going && folder) {
            Leave({entry, LeftReason::Interrupted, FilesIn(entry)});
        }
        return going;
    }

    // The folder wipe retries what the file stage left, so the same leftover may come twice.
    void Leave(const Leftover& leftover)
    {
        if (std::find(m_outcome.remaining.begin(), m_outcome.remaining.end(), leftover) == m_outcome.remaining.end())
            m_outcome.remaining.push_back(leftover);
    }

    DeletionOutcome& Outcome() { return m_outcome; }

private:
    // False when the run was halted. `file` is a chosen path or a file a walk found; `gone` says
    // whether the engine destroyed it.
    template <typename File>
    bool WipeOneFile(const File& file, const std::wstring& path, bool pathFirst, bool& gone)
    {
        if (m_display.IsHalted())
            return false;
        gone = Wipe(file, path);
        if (m_display.IsHalted())
            return false;
        const std::string shown = Narrow949(path);
        if (pathFirst)
            m_display.ShowPath(shown);
        m_display.SetFileRange(m_passCount);
        if (!pathFirst)
            m_display.ShowPath(shown);
        return ShowSteps() && Pause(kFilePauseMs);
    }

    bool WipeOneFolder(const std::wstring& folder, bool& gone)
    {
        // The walk below and the folder wipe's own both fix the folder where it is now: a row that
        // is a link lists nothing here and is refused there.
        CSADirRead reader;
        reader.CollectFolders(folder);
        reader.CollectFiles();
        bool fileGone = false;
        for (const FoundFile& file : reader.Files())
            if (!WipeOneFile(file, file.path, true, fileGone))
                return false;
        if (m_display.IsHalted())
            return false;
        ++m_wipes;
        gone = Record(m_engine.WipeFolder(folder));
        return true;
    }

    // Whether the engine destroyed the file. A file that vanished before its rename is gone.
    template <typename File>
    bool Wipe(const File& file, const std::wstring& path)
    {
        ++m_wipes;
        try {
            return Record(m_engine.WipeFile(file));
        } catch (const CFileException& error) {
            if (error.m_lOsError == ERROR_FILE_NOT_FOUND || error.m_lOsError == ERROR_PATH_NOT_FOUND)
                return true;
            Leave({path, LeftReason::Rename});
            return false;
        }
    }

    bool Record(const WipeResult& result)
    {
        for (const Leftover& leftover : result.leftovers)
            Leave(leftover);
        return result.gone;
    }

    bool ShowSteps()
    {
        for (int pass = 1; pass <= m_passCount; ++pass) {
            if (m_display.IsHalted())
                return false;
            const std::string filePercent = PercentText(100LL * pass, m_passCount);
            const std::string totalPercent = PercentText(100LL * (m_stepsDone + 1), m_passCount * m_fileTotal);
            ++m_stepsDone;
            m_display.ShowStep(m_passCount, pass, filePercent, totalPercent, m_stepsDone);
            if (!Pause(kPassPauseMs))
                return false;
        }
        return true;
    }

    bool Pause(unsigned milliseconds)
    {
        if (m_display.IsHalted())
            return false;
        seams::Pause(milliseconds);
        return true;
    }

    CSDEngine& m_engine;
    const std::int64_t m_passCount;
    const std::int64_t m_fileTotal;
    DeletionDisplay& m_display;
    std::int64_t m_stepsDone = 0;
    std::size_t m_wipes = 0;                // engine calls made, files and folders
    std::vector<std::wstring> m_destroyed;  // the entries destroyed so far
    DeletionOutcome m_outcome;
};

}  // namespace

DeletionOutcome RunDeletion(CSDEngine& engine, const std::vector<std::wstring>& entries, int passCount,
                            DeletionDisplay& display, const NeverDestroyPolicy* policy)
{
    if (entries.empty())
        return {};
    std::vector<std::wstring> allowed;
    std::vector<Leftover> refused;
    for (const std::wstring& entry : entries) {
        if (policy && policy->Judge(entry) != Refusal::None)
            refused.push_back({entry, LeftReason::Protected});
        else
            allowed.push_back(entry);
    }
    const std::int64_t fileTotal = CountFiles(allowed);
    display.SetTotalRange(static_cast<std::int64_t>(passCount) * fileTotal);
    Run run(engine, passCount, fileTotal, display);
    for (const Leftover& leftover : refused)
        run.Leave(leftover);
    // Each folder's freed names are scrubbed once, after the run's last file there, also after a
    // halt: the files destroyed by then are gone and their names must not stay.
    CSDEngine::WipeRun scrubs(engine);
    for (const std::wstring& entry : allowed) {
        if (run.Outcome().halted)
            run.Leave({entry, LeftReason::NotReached});
        else if (!run.Destroy(entry))
            run.Outcome().halted = true;
    }
    for (const Leftover& leftover : scrubs.Finish().leftovers)
        run.Leave(leftover);
    return run.Outcome();
}

int DisplayedPassCount(int method) { return ListedPassCount(method); }

std::string EndReport(const DeletionOutcome& outcome, std::size_t chosen)
{
    if (!outcome.halted && outcome.destroyed == chosen && outcome.remaining.empty())
        return "퀜조 하였습니다.";
    std::string text = outcome.halted ? "삭제를 취소했습니다. " : "";
    text += std::to_string(chosen) + "개 중 " + std::to_string(outcome.destroyed) + "개를 삭제했습니다.";
    if (!outcome.remaining.empty())
        text += " 다음 항목은 남아 있습니다." + RemainingLines(outcome.remaining);
    return text;
}

std::string PercentText(std::int64_t numerator, std::int64_t denominator)
{
    char text[32];
    std::snprintf(text, sizeof(text), "%lld%%", denominator > 0 ? static_cast<long long>(numerator / denominator) : 0LL);
    return text;
}
