// Shows the engine at work on a file of its own: creates a demonstration file in a new temporary
// folder, wipes it with the method given on the command line (default 8) and prints the file as
// every pass leaves it. It touches nothing else.
#include "CSDEngine.h"
#include "FileError.h"

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

namespace {

class TracingEngine : public CSDEngine {
public:
    explicit TracingEngine(int method) : CSDEngine([method] { return method; }) {}

    bool WritePass(const std::string& path, const PatternBuffer& pattern) override
    {
        const bool ok = CSDEngine::WritePass(path, pattern);
        std::ifstream in(path, std::ios::binary);
        std::string head(16, '\0');
        in.read(head.data(), static_cast<std::streamsize>(head.size()));
        head.resize(static_cast<std::size_t>(in.gcount()));
        std::printf("pass %2d %s %-40s", ++m_pass, ok ? "ok  " : "FAIL", path.substr(path.find_last_of('\\') + 1).c_str());
        for (unsigned char byte : head)
            std::printf(" %02X", byte);
        std::printf(" ...\n");
        return ok;
    }

private:
    int m_pass = 0;
};

}  // namespace

int main(int argc, char** argv)
{
    const int method = argc > 1 ? std::atoi(argv[1]) : 8;
    char temp[MAX_PATH];
    if (!GetTempPathA(MAX_PATH, temp))
        return 1;
    const std::string folder = std::string(temp) + "QuenzoLiteDemo." + std::to_string(GetCurrentProcessId());
    if (!CreateDirectoryA(folder.c_str(), nullptr))
        return 1;
    const std::string path = folder + "\\퀜조 데모.txt";
    {
        std::ofstream out(path, std::ios::binary);
        for (int i = 0; i < 1000; ++i)
            out << "QuenzoLite demonstration line " << i << "\n";
    }

    const WipeMethod* info = FindMethod(method);
    std::printf("file:   %s\nmethod: %d %s\n", path.c_str(), method, info ? info->displayName : "(none: final step only)");
    TracingEngine engine(method);
    bool gone = false;
    try {
        gone = engine.WipeFile(path);
    } catch (const CFileException& error) {
        std::printf("file error %lu\n", error.m_lOsError);
    }
    std::printf("result: %s\n", gone ? "destroyed" : "NOT destroyed");
    RemoveDirectoryA(folder.c_str());
    return gone ? 0 : 1;
}
