// Times the engine's own operations on files of its own, with the product's deliberate pauses
// switched off through their seam: one WritePass, a whole schedule (method 8: three listed passes
// and the closing pass) and a whole WipeFile (method 8, then the final step's eight passes), on
// files of 1, 64 and 256 MiB, and the shortest schedule over each of many 4 KiB files. Prints the
// time per pass, the throughput per pass (MB = 10^6 bytes) and the process's peak memory.
//
//   QuenzoBench [--sizes 1,64,256|none] [--cache warm[,cold]] [--ops pass,schedule,wipe] [--rounds N]
//               [--small COUNT] [--profile] [--caller-prepares] [--machine]
//
// A Windows program under Wine cannot drop Linux's page cache, so with --caller-prepares the
// bench asks its caller (tools/bench/compare) to put each file in the wanted cache state: it
// prints "PREPARE warm|cold <Linux path>" and waits for a line "DONE" on its input. Without it
// only "warm" is measured, and the bench reads each file through itself first.
#include "BenchSupport.h"
#include "CSDEngine.h"
#include "Cp949Text.h"
#include "ExactPath.h"
#include "CallProfile.h"
#include "CrtRandom.h"
#include "FileError.h"
#include "Seams.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <sstream>

namespace {

constexpr int BENCH_METHOD = 8;
constexpr std::uint64_t SMALL_FILE_SIZE = 4096;

struct Options {
    std::vector<unsigned> sizesMiB{1, 64, 256};
    std::vector<std::string> caches{"warm"};
    std::vector<std::string> ops{"pass", "schedule", "wipe"};
    int rounds = 1;
    int smallFiles = 1000;
    bool profile = false;
    bool callerPrepares = false;
    bool machine = false;
};

std::vector<std::string> SplitList(const std::string& text)
{
    std::vector<std::string> items;
    std::stringstream parts(text);
    for (std::string item; std::getline(parts, item, ',');)
        if (!item.empty())
            items.push_back(item);
    return items;
}

bool Contains(const std::vector<std::string>& items, const std::string& item)
{
    return std::find(items.begin(), items.end(), item) != items.end();
}

bool ParseOptions(int argc, char** argv, Options& options)
{
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        const bool hasValue = i + 1 < argc;
        if (arg == "--sizes" && hasValue) {
            options.sizesMiB.clear();
            // "none" (or 0) leaves only the small files and the profile.
            for (const std::string& size : SplitList(argv[++i]))
                if (const unsigned long mib = std::strtoul(size.c_str(), nullptr, 10); mib > 0 && mib < 4096)
                    options.sizesMiB.push_back(static_cast<unsigned>(mib));
        } else if (arg == "--cache" && hasValue) {
            options.caches = SplitList(argv[++i]);
        } else if (arg == "--ops" && hasValue) {
            options.ops = SplitList(argv[++i]);
        } else if (arg == "--rounds" && hasValue) {
            options.rounds = std::max(1, std::atoi(argv[++i]));
        } else if (arg == "--small" && hasValue) {
            options.smallFiles = std::max(0, std::atoi(argv[++i]));
        } else if (arg == "--profile") {
            options.profile = true;
        } else if (arg == "--caller-prepares") {
            options.callerPrepares = true;
        } else if (arg == "--machine") {
            options.machine = true;
        } else {
            return false;
        }
    }
    for (const std::string& cache : options.caches)
        if (cache != "warm" && !(cache == "cold" && options.callerPrepares))
            return false;
    for (const std::string& op : options.ops)
        if (op != "pass" && op != "schedule" && op != "wipe")
            return false;
    return true;
}

// Puts the file in the cache state the next measurement starts from.
bool PrepareCache(const std::string& path, const std::string& cache, const Options& options)
{
    if (!options.callerPrepares)
        return ReadIntoCache(path);
    const std::string unixPath = UnixPathOf(path);
    if (unixPath.empty())
        return false;
    std::printf("PREPARE %s %s\n", cache.c_str(), unixPath.c_str());
    std::fflush(stdout);
    std::string answer;
    return std::getline(std::cin, answer) && answer.rfind("DONE", 0) == 0;
}

// The engine with every pass timed as it runs; the schedule's passes arrive through here too.
class TimedEngine : public CSDEngine {
public:
    TimedEngine() : CSDEngine([] { return BENCH_METHOD; }) {}

    bool WritePass(const LocatedPath& file, const PatternBuffer& pattern) override
    {
        Stopwatch watch;
        const bool ok = CSDEngine::WritePass(file, pattern);
        passSeconds.push_back(watch.Seconds());
        allPassesOk = allPassesOk && ok;
        return ok;
    }

    void Reset()
    {
        passSeconds.clear();
        allPassesOk = true;
    }

    std::vector<double> passSeconds;
    bool allPassesOk = true;
};

struct Measurement {
    std::string op;
    std::string cache;
    std::uint64_t size = 0;
    double seconds = 0;  // the whole operation
    std::vector<double> passSeconds;
    bool ok = false;

    double PerPass() const { return passSeconds.empty() ? 0 : seconds / static_cast<double>(passSeconds.size()); }
    double MegabytesPerSecond() const { return PerPass() > 0 ? static_cast<double>(size) / PerPass() / 1e6 : 0; }
};

PatternBuffer RandomPattern()
{
    CrtRandom::Seed(seams::ClockSeconds());
    PatternBuffer pattern;
    FillPassBuffer(Pass{PassKind::Random, {0, 0, 0}}, pattern);
    return pattern;
}

Measurement RunOperation(TimedEngine& engine, const std::string& op, const std::string& path)
{
    Measurement result;
    engine.Reset();
    Stopwatch watch;
    // Locating the file is part of every operation: a wipe does it once for all its passes.
    const auto file = Locate(Widen949(path));
    if (!file) {
        result.ok = false;
    } else if (op == "pass") {
        static const PatternBuffer pattern = RandomPattern();
        result.ok = engine.WritePass(*file, pattern);
    } else if (op == "schedule") {
        result.ok = engine.RunSchedule(*file, BENCH_METHOD);
    } else {
        try {
            result.ok = engine.WipeFile(*file) && GetFileAttributesA(path.c_str()) == INVALID_FILE_ATTRIBUTES;
        } catch (const CFileException&) {
            result.ok = false;
        }
    }
    result.seconds = watch.Seconds();
    result.passSeconds = engine.passSeconds;
    result.ok = result.ok && engine.allPassesOk;
    result.op = op;
    return result;
}

void PrintMeasurement(const Measurement& m, const Options& options)
{
    if (options.machine) {
        std::printf("RESULT op=%s size=%llu cache=%s passes=%zu seconds=%.6f per_pass=%.6f mbps=%.1f first_pass=%.6f "
                    "ok=%d\n",
                    m.op.c_str(), static_cast<unsigned long long>(m.size), m.cache.c_str(), m.passSeconds.size(),
                    m.seconds, m.PerPass(), m.MegabytesPerSecond(), m.passSeconds.empty() ? 0.0 : m.passSeconds[0],
                    m.ok ? 1 : 0);
    } else {
        std::printf("%-9s %5llu MiB  %-5s %3zu passes  %9.2f ms/pass  %8.1f MB/s  %s\n", m.op.c_str(),
                    static_cast<unsigned long long>(m.size >> 20), m.cache.c_str(), m.passSeconds.size(),
                    m.PerPass() * 1e3, m.MegabytesPerSecond(), m.ok ? "ok" : "FAILED");
    }
    std::fflush(stdout);
}

void PrintPeakMemory(const std::string& after, const Options& options)
{
    const PeakMemory peak = ReadPeakMemory();
    if (options.machine)
        std::printf("MEMORY after=%s peak_working_set=%zu peak_private=%zu\n", after.c_str(), peak.workingSetBytes,
                    peak.privateBytes);
    else
        std::printf("peak memory after %s: working set %.1f MiB, private %.1f MiB\n", after.c_str(),
                    peak.workingSetBytes / 1048576.0, peak.privateBytes / 1048576.0);
    std::fflush(stdout);
}

// The operations in order on one file; the wipe comes last because it removes the file.
bool MeasureSize(const BenchFolder& folder, TimedEngine& engine, std::uint64_t size, const std::string& cache,
                 const Options& options)
{
    const std::string path = folder.Path("data.bin");
    if (!CreateDataFile(path, size))
        return false;
    bool ok = true;
    for (const char* op : {"pass", "schedule", "wipe"}) {
        if (!Contains(options.ops, op))
            continue;
        if (!PrepareCache(path, cache, options))
            return false;
        Measurement m = RunOperation(engine, op, path);
        m.size = size;
        m.cache = cache;
        PrintMeasurement(m, options);
        ok = ok && m.ok;
    }
    DeleteFileA(path.c_str());
    return ok;
}

// The fixed cost of a pass, whatever the size: the shortest schedule (method 13, a listed pass
// and the closing pass) over each of `count` files of 4 KiB. A schedule opens and checks its file
// at its first pass and writes the later ones through that handle, so the first pass and the
// later ones are reported apart, and the cost per pass is the schedule's time over its passes:
// the most a pass of any schedule costs, since longer ones share that one opening more widely.
bool MeasureSmallFiles(const BenchFolder& folder, TimedEngine& engine, int count, const Options& options)
{
    constexpr int kShortestMethod = 13;
    std::vector<std::string> paths;
    for (int i = 0; i < count; ++i) {
        paths.push_back(folder.Path("small" + std::to_string(i) + ".bin"));
        if (!CreateDataFile(paths.back(), SMALL_FILE_SIZE))
            return false;
    }
    std::vector<double> perPass, first, later;
    bool ok = true;
    Stopwatch total;
    for (const std::string& path : paths) {
        const auto file = Locate(Widen949(path));
        engine.Reset();
        Stopwatch watch;
        ok = file && engine.RunSchedule(*file, kShortestMethod) && engine.allPassesOk && ok;
        const double seconds = watch.Seconds();
        if (engine.passSeconds.size() < 2)
            return false;
        perPass.push_back(seconds / static_cast<double>(engine.passSeconds.size()));
        first.push_back(engine.passSeconds.front());
        later.insert(later.end(), engine.passSeconds.begin() + 1, engine.passSeconds.end());
    }
    const double totalSeconds = total.Seconds();
    std::sort(perPass.begin(), perPass.end());
    const double p90 = perPass[perPass.size() * 9 / 10];
    if (options.machine)
        std::printf("SMALL count=%d size=%llu total=%.6f median=%.6f p90=%.6f first=%.6f later=%.6f ok=%d\n", count,
                    static_cast<unsigned long long>(SMALL_FILE_SIZE), totalSeconds, Median(perPass), p90,
                    Median(first), Median(later), ok ? 1 : 0);
    else
        std::printf("passes over %d files of 4 KiB, method %d: %.3f ms per pass (90th percentile %.3f ms; first pass "
                    "%.3f ms, later passes %.3f ms)  %s\n",
                    count, kShortestMethod, Median(perPass) * 1e3, p90 * 1e3, Median(first) * 1e3,
                    Median(later) * 1e3, ok ? "ok" : "FAILED");
    std::fflush(stdout);
    for (const std::string& path : paths)
        DeleteFileA(path.c_str());
    return ok;
}

// The largest file, the profile's 64 MiB file and the small files, with a margin that keeps
// the disk from filling up under other programs.
bool HasRoomFor(const BenchFolder& folder, const Options& options)
{
    ULARGE_INTEGER available{};
    if (!GetDiskFreeSpaceExA(folder.Path("").c_str(), &available, nullptr, nullptr))
        return false;
    const auto& sizes = options.sizesMiB;
    const unsigned largestMiB = sizes.empty() ? 0 : *std::max_element(sizes.begin(), sizes.end());
    const std::uint64_t needed = (static_cast<std::uint64_t>(largestMiB) + 64 + 1024) << 20;
    return available.QuadPart >= needed + static_cast<std::uint64_t>(options.smallFiles) * SMALL_FILE_SIZE;
}

}  // namespace

int main(int argc, char** argv)
{
    Options options;
    if (!ParseOptions(argc, argv, options)) {
        std::fprintf(stderr,
                     "usage: QuenzoBench [--sizes 1,64,256|none] [--cache warm[,cold]] [--ops pass,schedule,wipe] "
                     "[--rounds N] [--small COUNT] [--profile] [--caller-prepares] [--machine]\n"
                     "(cold needs --caller-prepares: the caller evicts the file from Linux's page cache)\n");
        return 2;
    }
    BenchFolder folder;
    if (!folder.IsValid()) {
        std::fprintf(stderr, "cannot create the bench's temporary folder\n");
        return 1;
    }
    if (!HasRoomFor(folder, options)) {
        std::fprintf(stderr, "not enough free disk space for the bench's files\n");
        return 1;
    }
    unsigned skippedPauseMs = 0;
    const seams::ScopedPauses skipPauses([&skippedPauseMs](unsigned ms) { skippedPauseMs += ms; });

    TimedEngine engine;
    bool ok = true;
    // The content block is the bench's own memory: taken before the first reading, it leaves the
    // rise after it to the engine.
    ContentBlock();
    PrintPeakMemory("start", options);
    for (const unsigned sizeMiB : options.sizesMiB) {
        for (int round = 0; round < options.rounds; ++round)
            for (const std::string& cache : options.caches)
                ok = MeasureSize(folder, engine, static_cast<std::uint64_t>(sizeMiB) << 20, cache, options) && ok;
        PrintPeakMemory(std::to_string(sizeMiB) + "MiB", options);
    }
    if (options.smallFiles > 0)
        ok = MeasureSmallFiles(folder, engine, options.smallFiles, options) && ok;
    if (options.profile)
        ok = RunCallProfile(folder, options.machine, options.caches,
                            [&options](const std::string& path, const std::string& cache) {
                                return PrepareCache(path, cache, options);
                            }) &&
             ok;

    if (options.machine)
        std::printf("PAUSES skipped_ms=%u\n", skippedPauseMs);
    else
        std::printf("deliberate pauses skipped through the seam: %u ms\n", skippedPauseMs);
    return ok ? 0 : 1;
}
