#include "RecordingEngine.h"

#include "Cp949Text.h"
#include "ExactPath.h"
#include "Sandbox.h"

#include <algorithm>

bool RecordingEngine::WritePass(const LocatedPath& file, const PatternBuffer& pattern)
{
    const std::string path = Narrow949(file.path);
    if (beforePass)
        beforePass(passes.size(), path);
    const bool ok = CSDEngine::WritePass(file, pattern);
    // Within a schedule nobody else can open the file: it is read through the schedule's handle.
    const auto held = ReadScheduledFile();
    passes.push_back({path, ok, held ? *held : ReadAll(path)});
    return ok;
}

bool RecordingEngine::Wrote(const std::string& path) const
{
    return std::any_of(passes.begin(), passes.end(), [&](const PassRecord& pass) { return pass.path == path; });
}
