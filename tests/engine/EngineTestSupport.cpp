#include "EngineTestSupport.h"

#include "Cp949Text.h"
#include "CrtRandom.h"
#include "ExactPath.h"
#include "Sandbox.h"
#include "Seams.h"

#include <gtest/gtest.h>

#include <sstream>

LocatedPath At(const std::string& path)
{
    const auto located = Locate(Widen949(path));
    EXPECT_TRUE(located.has_value()) << path;
    return located.value_or(LocatedPath{Widen949(path), L""});
}

FastPinnedSeams::FastPinnedSeams(std::uint32_t clockSeconds, const RecordingEngine* engine)
    : m_clock([clockSeconds] { return clockSeconds; })
{
    onPause = [this, engine](unsigned) { passesBefore.push_back(engine ? engine->passes.size() : 0); };
}

std::vector<std::string> ExpectedPassBuffers(const std::string& notation, std::uint32_t seed)
{
    constexpr std::size_t size = PATTERN_BUFFER_SIZE;
    CrtRandom::Seed(seed);
    std::vector<std::string> buffers;
    std::istringstream tokens(notation + " 00");
    for (std::string token; tokens >> token;) {
        std::string buffer(size, '\0');
        if (token == "R") {
            for (char& byte : buffer)
                byte = static_cast<char>(CrtRandom::Draw() & 0xFF);
        } else if (token[0] == '[') {
            std::string second, third;
            tokens >> second >> third;
            const char values[3] = {static_cast<char>(std::stoi(token.substr(1), nullptr, 16)),
                                    static_cast<char>(std::stoi(second, nullptr, 16)),
                                    static_cast<char>(std::stoi(third.substr(0, 2), nullptr, 16))};
            for (std::size_t i = 0; i < size; ++i)
                buffer[i] = values[i % 3];
        } else {
            const char value = static_cast<char>(std::stoi(token.substr(0, 2), nullptr, 16));
            const bool shortConstant = token.size() == 3 && token[2] == '*';
            buffer.assign(size, value);
            if (shortConstant)
                buffer[size - 1] = '\0';
        }
        buffers.push_back(buffer);
    }
    return buffers;
}

std::string Spread(const std::string& buffer, std::size_t size)
{
    std::string bytes;
    bytes.reserve(size);
    while (bytes.size() < size)
        bytes.append(buffer, 0, std::min(buffer.size(), size - bytes.size()));
    return bytes;
}
