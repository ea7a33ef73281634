#include "DeletionRun.h"

#include "CSADirRead.h"
#include "CSDEngine.h"
#include "ExactPath.h"
#include "FileError.h"
#include "MethodCatalogue.h"
#include "Seams.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>

namespace {

constexpr unsigned kPassPauseMs = 100;
constexpr unsigned kFilePauseMs = 500;

// Counts the files the entries stand for, as the total bar's range needs.
std::int64_t CountFiles(const std::vector<std::wstring>& entries)
{
    std::int64_t total = 0;
    for (const std::wstring& entry : entries) {
        if (IsFolderPath(entry)) {
            CSADirRead reader;
            reader.CollectFolders(entry);
            reader.CollectFiles();
            total += static_cast<std::int64_t>(reader.Files().size());
        } else {
            total += 1;
        }
    }
    return total;
}

class Run {
public:
    Run(CSDEngine& engine, int passCount, std::int64_t fileTotal, DeletionDisplay& display)
        : m_engine(engine), m_passCount(passCount), m_fileTotal(fileTotal), m_display(display)
    {
    }

    // False when the run was halted. `file` is a chosen path or a file a walk found.
    template <typename File>
    bool WipeOneFile(const File& file, const std::wstring& path, bool pathFirst)
    {
        if (m_display.IsHalted())
            return false;
        Wipe(file, path);
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

    bool WipeOneFolder(const std::wstring& folder)
    {
        // The walk below and the folder wipe's own both fix the folder where it is now: a row that
        // is a link lists nothing here and is refused there.
        CSADirRead reader;
        reader.CollectFolders(folder);
        reader.CollectFiles();
        for (const FoundFile& file : reader.Files())
            if (!WipeOneFile(file, file.path, true))
                return false;
        if (m_display.IsHalted())
            return false;
        Record(m_engine.WipeFolder(folder));
        return true;
    }

    DeletionOutcome& Outcome() { return m_outcome; }

private:
    template <typename File>
    void Wipe(const File& file, const std::wstring& path)
    {
        try {
            Record(m_engine.WipeFile(file));
        } catch (const CFileException& error) {
            if (error.m_lOsError != ERROR_FILE_NOT_FOUND && error.m_lOsError != ERROR_PATH_NOT_FOUND)
                Record(WipeResult::Left(path, LeftReason::Rename));
        }
    }

    // The folder wipe retries what the file stage left, so the same leftover may come twice.
    void Record(const WipeResult& result)
    {
        for (const Leftover& leftover : result.leftovers)
            if (std::find(m_outcome.remaining.begin(), m_outcome.remaining.end(), leftover) == m_outcome.remaining.end())
                m_outcome.remaining.push_back(leftover);
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
    DeletionOutcome m_outcome;
};

}  // namespace

DeletionOutcome RunDeletion(CSDEngine& engine, const std::vector<std::wstring>& entries, int passCount,
                            DeletionDisplay& display)
{
    if (entries.empty())
        return {};
    const std::int64_t fileTotal = CountFiles(entries);
    display.SetTotalRange(static_cast<std::int64_t>(passCount) * fileTotal);
    Run run(engine, passCount, fileTotal, display);
    for (const std::wstring& entry : entries) {
        const bool going = IsFolderPath(entry) ? run.WipeOneFolder(entry) : run.WipeOneFile(entry, entry, false);
        if (!going) {
            run.Outcome().halted = true;
            break;
        }
    }
    return run.Outcome();
}

int DisplayedPassCount(int method) { return ListedPassCount(method); }

std::string PercentText(std::int64_t numerator, std::int64_t denominator)
{
    char text[32];
    std::snprintf(text, sizeof(text), "%lld%%", denominator > 0 ? static_cast<long long>(numerator / denominator) : 0LL);
    return text;
}
