#include "CallProfile.h"

#include "CSDEngine.h"
#include "Cp949Text.h"
#include "ExactPath.h"
#include "HandleOps.h"
#include "LinkGuard.h"
#include "ScopedHandle.h"

#include <windows.h>

#include <cstdio>
#include <functional>

namespace {

constexpr int SMALL_ITERATIONS = 1000;
constexpr int LARGE_REPEATS = 5;
constexpr std::uint64_t SMALL_SIZE = 4096;
constexpr std::uint64_t LARGE_SIZE = 64ULL << 20;
constexpr DWORD LARGE_CHUNK = 1 << 20;

class Report {
public:
    explicit Report(bool machine) : m_machine(machine) {}

    void Line(const char* key, const char* label, double seconds, std::uint64_t calls = 0)
    {
        if (m_machine) {
            std::printf("PROFILE %s seconds=%.9f calls=%llu\n", key, seconds, static_cast<unsigned long long>(calls));
        } else if (calls > 1) {
            std::printf("  %-52s %10.3f ms  %8.2f us/call (%llu calls)\n", label, seconds * 1e3, seconds * 1e6 / calls,
                        static_cast<unsigned long long>(calls));
        } else if (seconds >= 1e-3) {
            std::printf("  %-52s %10.3f ms\n", label, seconds * 1e3);
        } else {
            std::printf("  %-52s %10.2f us\n", label, seconds * 1e6);
        }
        std::fflush(stdout);
    }

private:
    bool m_machine;
};

// Median time of one run of `body` over `iterations` runs; false in `ok` if any run failed.
double MedianOf(int iterations, const std::function<bool()>& body, bool& ok)
{
    std::vector<double> times;
    times.reserve(static_cast<std::size_t>(iterations));
    for (int i = 0; i < iterations; ++i) {
        Stopwatch watch;
        ok = body() && ok;
        times.push_back(watch.Seconds());
    }
    return Median(times);
}

HANDLE OpenReader(const std::string& path)
{
    return CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                       nullptr);
}

HANDLE OpenWriter(const std::string& path)
{
    return CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
}

bool Rewind(HANDLE file)
{
    LARGE_INTEGER zero{};
    return SetFilePointerEx(file, zero, nullptr, FILE_BEGIN) != FALSE;
}

bool ReadAll(HANDLE file, DWORD chunk, std::vector<unsigned char>& buffer)
{
    for (;;) {
        DWORD got = 0;
        if (!ReadFile(file, buffer.data(), chunk, &got, nullptr))
            return false;
        if (got == 0)
            return true;
    }
}

bool WriteAll(HANDLE file, DWORD chunk, std::uint64_t size, const std::vector<unsigned char>& buffer)
{
    for (std::uint64_t remaining = size; remaining > 0;) {
        const DWORD piece = static_cast<DWORD>(std::min<std::uint64_t>(chunk, remaining));
        DWORD written = 0;
        if (!WriteFile(file, buffer.data(), piece, &written, nullptr) || written != piece)
            return false;
        remaining -= piece;
    }
    return true;
}

std::uint64_t CallsFor(std::uint64_t size, DWORD chunk) { return (size + chunk - 1) / chunk; }

bool ProfileSmallFile(const BenchFolder& folder, Report& report)
{
    const std::string path = folder.Path("profile-small.bin");
    if (!CreateDataFile(path, SMALL_SIZE))
        return false;
    bool ok = true;
    std::vector<unsigned char> buffer(LARGE_CHUNK);
    const auto expected = Locate(Widen949(path));
    if (!expected)
        return false;

    report.Line("small.expected_final_path", "Locate (link guard, once per file)",
                MedianOf(SMALL_ITERATIONS, [&] { return Locate(Widen949(path)).has_value(); }, ok));
    report.Line("small.open_reader", "CreateFileA for reading + CloseHandle",
                MedianOf(SMALL_ITERATIONS, [&] { return ScopedHandle(OpenReader(path)).IsValid(); }, ok));
    {
        ScopedHandle reader(OpenReader(path));
        LARGE_INTEGER size{};
        report.Line("small.handle_lands_at", "HandleLandsAt (link guard, one handle)",
                    MedianOf(SMALL_ITERATIONS, [&] { return HandleLandsAt(reader.Get(), expected->landing); }, ok));
        // What comparing file identities would cost instead of HandleLandsAt: both ask the volume.
        constexpr auto kFileIdInfo = static_cast<FILE_INFO_BY_HANDLE_CLASS>(18);  // Windows 8 on; the build targets 7
        struct {
            ULONGLONG volume;
            BYTE id[16];
        } id;
        report.Line("small.file_id", "GetFileInformationByHandleEx FileIdInfo",
                    MedianOf(SMALL_ITERATIONS, [&] {
                        return GetFileInformationByHandleEx(reader.Get(), kFileIdInfo, &id, sizeof(id)) != FALSE;
                    }, ok));
        BY_HANDLE_FILE_INFORMATION info;
        report.Line("small.file_info", "GetFileInformationByHandle",
                    MedianOf(
                        SMALL_ITERATIONS, [&] { return GetFileInformationByHandle(reader.Get(), &info) != FALSE; }, ok));
        report.Line("small.facts", "FactsOf (attributes, size, links)",
                    MedianOf(SMALL_ITERATIONS, [&] { return FactsOf(reader.Get()).has_value(); }, ok));
        report.Line("small.get_file_size", "GetFileSizeEx",
                    MedianOf(SMALL_ITERATIONS, [&] { return GetFileSizeEx(reader.Get(), &size) != FALSE; }, ok));
        report.Line("small.read_through", "rewind + ReadFile x2 (4,096 bytes, then 0)",
                    MedianOf(SMALL_ITERATIONS,
                             [&] { return Rewind(reader.Get()) && ReadAll(reader.Get(), PATTERN_BUFFER_SIZE, buffer); },
                             ok));
    }
    report.Line("small.get_attributes", "GetFileAttributesA",
                MedianOf(SMALL_ITERATIONS,
                         [&] { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }, ok));
    report.Line("small.open_writer", "CreateFileA for writing, no sharing + CloseHandle",
                MedianOf(SMALL_ITERATIONS, [&] { return ScopedHandle(OpenWriter(path)).IsValid(); }, ok));
    {
        ScopedHandle writer(OpenWriter(path));
        const double write = MedianOf(
            SMALL_ITERATIONS, [&] { return Rewind(writer.Get()) && WriteAll(writer.Get(), 4096, SMALL_SIZE, buffer); },
            ok);
        report.Line("small.write", "rewind + WriteFile (4,096 bytes)", write);
        const double writeAndFlush = MedianOf(
            SMALL_ITERATIONS,
            [&] {
                return Rewind(writer.Get()) && WriteAll(writer.Get(), 4096, SMALL_SIZE, buffer) &&
                       FlushFileBuffers(writer.Get());
            },
            ok);
        report.Line("small.flush", "FlushFileBuffers after that write", writeAndFlush - write);
    }
    CSDEngine engine([] { return 0; });
    PatternBuffer pattern;
    pattern.fill(0x00);
    report.Line("small.write_pass", "the engine's whole WritePass",
                MedianOf(SMALL_ITERATIONS, [&] { return engine.WritePass(*expected, pattern); }, ok));
    DeleteFileA(path.c_str());
    return ok;
}

// One timed read-through of the whole file, from a fresh handle as the engine opens it.
bool TimeReadThrough(const std::string& path, DWORD chunk, std::vector<unsigned char>& buffer, double& seconds)
{
    Stopwatch watch;
    ScopedHandle reader(OpenReader(path));
    const bool ok = reader.IsValid() && ReadAll(reader.Get(), chunk, buffer);
    seconds = watch.Seconds();
    return ok;
}

// One timed overwrite without truncation, its write calls and its flush timed apart.
bool TimeOverwrite(const std::string& path, DWORD chunk, const std::vector<unsigned char>& buffer,
                   double& writeSeconds, double& flushSeconds)
{
    Stopwatch watch;
    ScopedHandle writer(OpenWriter(path));
    if (!writer.IsValid() || !WriteAll(writer.Get(), chunk, LARGE_SIZE, buffer))
        return false;
    writeSeconds = watch.Seconds();
    watch.Restart();
    const bool flushed = FlushFileBuffers(writer.Get()) != FALSE;
    flushSeconds = watch.Seconds();
    return flushed;
}

bool ProfileLargeFile(const BenchFolder& folder, Report& report, const std::string& cache,
                      const PrepareCacheFunction& prepare)
{
    const std::string path = folder.Path("profile-large.bin");
    if (!CreateDataFile(path, LARGE_SIZE))
        return false;
    std::vector<unsigned char> buffer(LARGE_CHUNK, 0x5A);
    bool ok = true;
    for (const DWORD chunk : {static_cast<DWORD>(PATTERN_BUFFER_SIZE), LARGE_CHUNK}) {
        std::vector<double> reads, writes, flushes;
        for (int i = 0; i < LARGE_REPEATS; ++i) {
            double read = 0, write = 0, flush = 0;
            ok = prepare(path, cache) && TimeReadThrough(path, chunk, buffer, read) &&
                 TimeOverwrite(path, chunk, buffer, write, flush) && ok;
            reads.push_back(read);
            writes.push_back(write);
            flushes.push_back(flush);
        }
        const bool engineChunk = chunk == PATTERN_BUFFER_SIZE;
        const std::string key = "large." + cache + (engineChunk ? ".10239." : ".1m.");
        const std::string label = engineChunk ? "10,239-byte calls" : "1 MiB calls";
        report.Line((key + "read").c_str(), ("64 MiB read-through, " + label).c_str(), Median(reads),
                    CallsFor(LARGE_SIZE, chunk));
        report.Line((key + "write").c_str(), ("64 MiB overwrite, " + label).c_str(), Median(writes),
                    CallsFor(LARGE_SIZE, chunk));
        report.Line((key + "flush").c_str(), "  then FlushFileBuffers", Median(flushes), 1);
    }
    CSDEngine engine([] { return 0; });
    PatternBuffer pattern;
    pattern.fill(0x00);
    std::vector<double> passes;
    const auto file = Locate(Widen949(path));
    ok = file.has_value() && ok;
    for (int i = 0; file && i < LARGE_REPEATS; ++i) {
        ok = prepare(path, cache) && ok;
        Stopwatch watch;
        ok = engine.WritePass(*file, pattern) && ok;
        passes.push_back(watch.Seconds());
    }
    report.Line(("large." + cache + ".write_pass").c_str(), "the engine's whole WritePass over 64 MiB",
                Median(passes), 1);
    DeleteFileA(path.c_str());
    return ok;
}

}  // namespace

bool RunCallProfile(const BenchFolder& folder, bool machine, const std::vector<std::string>& caches,
                    const PrepareCacheFunction& prepare)
{
    Report report(machine);
    if (!machine)
        std::printf("per call, 4 KiB file in the cache (median of %d):\n", SMALL_ITERATIONS);
    bool ok = ProfileSmallFile(folder, report);
    for (const std::string& cache : caches) {
        if (!machine)
            std::printf("phases of a pass, 64 MiB file, %s (median of %d):\n", cache.c_str(), LARGE_REPEATS);
        ok = ProfileLargeFile(folder, report, cache, prepare) && ok;
    }
    return ok;
}
