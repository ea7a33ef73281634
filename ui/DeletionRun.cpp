#include "DeletionRun.h"

#include "CSADirRead.h"
#include "FileError.h"
#include "Seams.h"

#include <windows.h>

#include <cstdio>

namespace {

constexpr unsigned kPassPauseMs = 100;
constexpr unsigned kFilePauseMs = 500;

// Counts the files the entries stand for, as the total bar's range needs.
std::int64_t CountFiles(const std::vector<std::string>& entries)
{
    std::int64_t total = 0;
    for (const std::string& entry : entries) {
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

    // False when the run was halted.
    bool WipeOneFile(const std::string& path, bool pathFirst)
    {
        if (m_display.IsHalted())
            return false;
        if (!Wipe(path))
            m_outcome.remaining.push_back(path);
        if (m_display.IsHalted())
            return false;
        if (pathFirst)
            m_display.ShowPath(path);
        m_display.SetFileRange(m_passCount);
        if (!pathFirst)
            m_display.ShowPath(path);
        return ShowSteps() && Pause(kFilePauseMs);
    }

    bool WipeOneFolder(const std::string& folder)
    {
        CSADirRead reader;
        reader.CollectFolders(folder);
        reader.CollectFiles();
        for (const FoundFile& file : reader.Files())
            if (!WipeOneFile(file.path, true))
                return false;
        if (m_display.IsHalted())
            return false;
        if (!m_engine.WipeFolder(folder))
            m_outcome.remaining.push_back(folder);
        return true;
    }

    DeletionOutcome& Outcome() { return m_outcome; }

private:
    // Whether the file is gone (a path that never existed counts as gone).
    bool Wipe(const std::string& path)
    {
        try {
            return m_engine.WipeFile(path);
        } catch (const CFileException& error) {
            return error.m_lOsError == ERROR_FILE_NOT_FOUND || error.m_lOsError == ERROR_PATH_NOT_FOUND;
        }
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

bool IsFolderPath(const std::string& path)
{
    WIN32_FIND_DATAA found;
    HANDLE find = FindFirstFileA(path.c_str(), &found);
    if (find == INVALID_HANDLE_VALUE)
        return false;
    FindClose(find);
    return (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

DeletionOutcome RunDeletion(CSDEngine& engine, const std::vector<std::string>& entries, int passCount,
                            DeletionDisplay& display)
{
    if (entries.empty())
        return {};
    const std::int64_t fileTotal = CountFiles(entries);
    display.SetTotalRange(static_cast<std::int64_t>(passCount) * fileTotal);
    Run run(engine, passCount, fileTotal, display);
    for (const std::string& entry : entries) {
        const bool going = IsFolderPath(entry) ? run.WipeOneFolder(entry) : run.WipeOneFile(entry, false);
        if (!going) {
            run.Outcome().halted = true;
            break;
        }
    }
    return run.Outcome();
}

std::string PercentText(std::int64_t numerator, std::int64_t denominator)
{
    char text[32];
    std::snprintf(text, sizeof(text), "%lld%%", denominator > 0 ? static_cast<long long>(numerator / denominator) : 0LL);
    return text;
}

std::string RemainingMessage(const std::vector<std::string>& remaining, std::size_t shown)
{
    std::string text = "다음 항목은 삭제하지 못했습니다.\n";
    for (std::size_t i = 0; i < remaining.size() && i < shown; ++i)
        text += "\n" + remaining[i];
    if (remaining.size() > shown)
        text += "\n\n외 " + std::to_string(remaining.size() - shown) + "개";
    return text;
}
