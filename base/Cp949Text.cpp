#include "Cp949Text.h"

#include <windows.h>

namespace {

constexpr UINT kKoreanCodePage = 949;

}  // namespace

std::wstring Widen949(std::string_view text)
{
    if (text.empty())
        return {};
    const int size = static_cast<int>(text.size());
    const int length = MultiByteToWideChar(kKoreanCodePage, 0, text.data(), size, nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    MultiByteToWideChar(kKoreanCodePage, 0, text.data(), size, wide.data(), length);
    return wide;
}

std::string Narrow949(std::wstring_view text)
{
    if (text.empty())
        return {};
    const int size = static_cast<int>(text.size());
    const int length = WideCharToMultiByte(kKoreanCodePage, 0, text.data(), size, nullptr, 0, nullptr, nullptr);
    std::string narrow(static_cast<std::size_t>(length), '\0');
    WideCharToMultiByte(kKoreanCodePage, 0, text.data(), size, narrow.data(), length, nullptr, nullptr);
    return narrow;
}

bool MapsExactlyTo949(std::wstring_view text)
{
    // Best fit is what turns "₩" into a backslash; a round trip catches it and every "?" too.
    return Widen949(Narrow949(text)) == text;
}

std::string DigestInput(std::wstring_view path)
{
    if (MapsExactlyTo949(path))
        return Narrow949(path);
    const int size = static_cast<int>(path.size());
    const int length = WideCharToMultiByte(CP_UTF8, 0, path.data(), size, nullptr, 0, nullptr, nullptr);
    std::string utf8(static_cast<std::size_t>(length), '\0');
    WideCharToMultiByte(CP_UTF8, 0, path.data(), size, utf8.data(), length, nullptr, nullptr);
    return utf8;
}
