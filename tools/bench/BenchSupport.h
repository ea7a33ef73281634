#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// Wall-clock time from the performance counter.
class Stopwatch {
public:
    Stopwatch();
    double Seconds() const;
    void Restart();

private:
    long long m_start;
};

// The bench's own folder in the prefix's temporary folder. Every file the bench makes lives
// here; the destructor deletes every file left in it (a failed wipe leaves its scrambled name)
// and the folder itself. It holds no subfolders and no links, so nothing outside is reached.
class BenchFolder {
public:
    BenchFolder();
    ~BenchFolder();
    BenchFolder(const BenchFolder&) = delete;
    BenchFolder& operator=(const BenchFolder&) = delete;

    bool IsValid() const { return !m_root.empty(); }
    std::string Path(const std::string& name) const { return m_root + "\\" + name; }
    void RemoveEverything();

private:
    std::string m_root;
};

// The contents of every data file, here and in the peers' folder (tools/bench/compare makes the
// same bytes): a 1 MiB block of splitmix64 output (seed "QUENZOLI", words little-endian),
// repeated and cut at the file's size. Random-looking bytes keep any compressing or
// deduplicating layer under the file system from flattering one side.
const std::vector<unsigned char>& ContentBlock();

// Creates (or replaces) the file with `size` bytes of the content and flushes it to the disk.
bool CreateDataFile(const std::string& path, std::uint64_t size);

// Reads the whole file once so that every page of it is in the cache.
bool ReadIntoCache(const std::string& path);

// Under Wine, the Linux path of a DOS path ("" elsewhere): the caller evicts pages by that name.
std::string UnixPathOf(const std::string& dosPath);

struct PeakMemory {
    std::size_t workingSetBytes;  // the most resident memory the process ever had
    std::size_t privateBytes;     // the most committed private memory
};
PeakMemory ReadPeakMemory();

double Median(std::vector<double> values);
