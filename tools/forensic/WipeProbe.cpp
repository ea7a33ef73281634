// Wipes files or folders through the engine as the program does, for tools/forensic/name-traces:
//   WipeProbe file PATH...     the file wipe (method 13, no deliberate pause), all in one run
//   WipeProbe folder PATH...   the folder wipe, all in one run
//   WipeProbe scrub-cost DIR   times the scrub of freed names in DIR (milliseconds, medians)
// Prints one line per item: "gone" or each leftover with its reason. Exit code 1 when anything was left.
#include "CSDEngine.h"
#include "Cp949Text.h"
#include "ExactPath.h"
#include "FileError.h"
#include "NameScrub.h"
#include "Seams.h"

#include <windows.h>
#include <shellapi.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

namespace {

// <chrono> does not build under the code page 949 execution character set.
double NowMs()
{
    LARGE_INTEGER counter, frequency;
    QueryPerformanceCounter(&counter);
    QueryPerformanceFrequency(&frequency);
    return 1000.0 * static_cast<double>(counter.QuadPart) / static_cast<double>(frequency.QuadPart);
}

int Report(const std::wstring& path, const WipeResult& result)
{
    std::printf("%s: %s\n", Narrow949(path).c_str(), result.gone ? "gone" : "left");
    for (const Leftover& leftover : result.leftovers)
        std::printf("  left %s (reason %d)\n", Narrow949(leftover.path).c_str(), static_cast<int>(leftover.reason));
    return result.gone && result.leftovers.empty() ? 0 : 1;
}

double MedianMs(std::vector<double> samples)
{
    std::sort(samples.begin(), samples.end());
    return samples.empty() ? 0 : samples[samples.size() / 2];
}

// One scrub of `names` freed names of 10 and 32 characters, as many times as asked.
double TimeScrub(const LocatedPath& folder, std::size_t names, int rounds)
{
    std::vector<FreedName> freed;
    for (std::size_t i = 0; i < names; ++i)
        freed.push_back(FreedNameOf(i % 2 ? std::wstring(32, L'f') : std::wstring(L"report.txt")));
    std::vector<double> samples;
    for (int round = 0; round < rounds; ++round) {
        const double start = NowMs();
        const WipeResult result = ScrubNames(folder, PlanScrub(freed));
        samples.push_back(NowMs() - start);
        if (!result.leftovers.empty())
            std::printf("scrub failed in %s\n", Narrow949(folder.path).c_str());
    }
    return MedianMs(samples);
}

int ScrubCost(const std::wstring& dir)
{
    const auto folder = Locate(dir);
    if (!folder) {
        std::printf("cannot locate %s\n", Narrow949(dir).c_str());
        return 2;
    }
    CSDEngine engine([] { return 13; });
    // File wipes of 4 KiB one after the other in one folder: each scrub there first fills again
    // the runs the earlier ones left, so the later wipes cost more, up to the cap.
    std::vector<double> wipes;
    for (int i = 0; i < 80; ++i) {
        const std::wstring path = JoinPath(dir, L"cost-" + std::to_wstring(i) + L".txt");
        const HANDLE file = CreateFileW(Extended(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
        std::string bytes(4096, 'q');
        DWORD written = 0;
        WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
        CloseHandle(file);
        const double start = NowMs();
        engine.WipeFile(path);
        wipes.push_back(NowMs() - start);
    }
    for (const std::size_t n : {1u, 10u, 30u, 60u, 80u})
        std::printf("file wipe of 4 KiB, method 13, scrub included, file %zu of a folder: %.2f ms\n", n, wipes[n - 1]);
    std::printf("scrub after one file (2 freed names, 8 files): %.2f ms\n", TimeScrub(*folder, 2, 15));
    for (const std::size_t files : {10u, 30u, 100u})
        std::printf("scrub of a folder after %zu files (%zu freed names, %zu files): %.2f ms\n", files, 2 * files,
                    PlanScrub(std::vector<FreedName>(2 * files)).size(), TimeScrub(*folder, 2 * files, 5));
    return 0;
}

}  // namespace

int main()
{
    int count = 0;
    LPWSTR* args = CommandLineToArgvW(GetCommandLineW(), &count);
    if (!args || count < 3) {
        std::printf("usage: WipeProbe file|folder PATH... | scrub-cost DIR\n");
        return 2;
    }
    const std::wstring mode = args[1];
    seams::ScopedPauses noPauses([](unsigned) {});
    if (mode == L"scrub-cost")
        return ScrubCost(args[2]);
    // As QuenzoWipe runs: no deliberate pause, and the paths of one line are one run.
    CSDEngine engine([] { return 13; }, 0);
    CSDEngine::WipeRun run(engine);
    int status = 0;
    for (int i = 2; i < count; ++i) {
        const std::wstring path = args[i];
        try {
            status |= Report(path, mode == L"folder" ? engine.WipeFolder(path) : engine.WipeFile(path));
        } catch (const CFileException& error) {
            std::printf("%s: rename failed (%lu)\n", Narrow949(path).c_str(), error.m_lOsError);
            status = 1;
        }
    }
    return status | Report(L"(the run's scrubs)", run.Finish());
}
