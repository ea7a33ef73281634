#include "DeletionListModel.h"

#include "Cp949Text.h"
#include "ExactPath.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <functional>

std::string SizeText(const std::wstring& path)
{
    const auto checked = CheckedPath(path);
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!checked || !GetFileAttributesExW(Extended(*checked).c_str(), GetFileExInfoStandard, &data))
        return {};
    const unsigned long long size = (static_cast<unsigned long long>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
    char text[64];
    std::snprintf(text, sizeof(text), "%.2f", static_cast<double>(size) / 1024.0);
    return text;
}

std::vector<std::wstring> DeletionListModel::Paths() const
{
    std::vector<std::wstring> paths;
    for (const ListedEntry& entry : m_entries)
        paths.push_back(entry.path);
    return paths;
}

bool DeletionListModel::Contains(const std::wstring& path) const
{
    // Two names that show alike in code page 949 are still two files.
    return std::any_of(m_entries.begin(), m_entries.end(), [&](const ListedEntry& entry) { return entry.path == path; });
}

AddingOutcome DeletionListModel::Add(const std::vector<std::wstring>& paths, EntrySource source,
                                     const NeverDestroyPolicy& policy)
{
    AddingOutcome outcome;
    for (const std::wstring& path : paths) {
        const bool asFolder = source == EntrySource::Folder || (source == EntrySource::Requested && IsFolderPath(path));
        if (source != EntrySource::Folder && Contains(path)) {
            if (source == EntrySource::Chosen)
                outcome.duplicates.push_back(path);
            continue;
        }
        if (const Refusal refusal = policy.Judge(path); refusal != Refusal::None) {
            outcome.refused.emplace_back(path, refusal);
            continue;
        }
        if (asFolder)
            m_entries.insert(m_entries.begin() + std::min<std::size_t>(1, m_entries.size()), {path, ""});
        else
            m_entries.insert(m_entries.begin(), {path, SizeText(path)});
    }
    return outcome;
}

void DeletionListModel::Remove(std::vector<std::size_t> rows)
{
    // From the bottom up, so that every index still names the row it named.
    std::sort(rows.begin(), rows.end(), std::greater<>());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    for (const std::size_t row : rows)
        if (row < m_entries.size())
            m_entries.erase(m_entries.begin() + static_cast<std::ptrdiff_t>(row));
}

namespace {

// One line per path, the first kReportedPaths of them, then how many more there are.
std::string PathLines(const std::vector<std::string>& lines)
{
    std::string text;
    for (std::size_t i = 0; i < lines.size() && i < kReportedPaths; ++i)
        text += (i ? "\n" : "") + lines[i];
    if (lines.size() > kReportedPaths)
        text += "\n외 " + std::to_string(lines.size() - kReportedPaths) + "개";
    return text;
}

}  // namespace

std::string AddingReport(const AddingOutcome& outcome)
{
    if (outcome.refused.empty() && outcome.duplicates.size() == 1)
        return Narrow949(outcome.duplicates.front()) + "은 이미 추가돼 있습니다.";
    std::string text;
    if (!outcome.refused.empty()) {
        std::vector<std::string> lines;
        for (const auto& [path, refusal] : outcome.refused)
            lines.push_back(Narrow949(path) + ": " + RefusalText(refusal));
        text = "다음 항목은 지울 수 없어 추가하지 않았습니다.\n\n" + PathLines(lines);
    }
    if (!outcome.duplicates.empty()) {
        std::vector<std::string> lines;
        for (const std::wstring& path : outcome.duplicates)
            lines.push_back(Narrow949(path));
        text += (text.empty() ? "" : "\n\n") + std::string("다음 항목은 이미 추가돼 있습니다.\n\n") + PathLines(lines);
    }
    return text;
}
