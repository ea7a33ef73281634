#include "Handover.h"

#include "ExactPath.h"

#include <algorithm>

StartRequest RequestOf(const std::vector<std::wstring>& arguments)
{
    StartRequest request;
    if (arguments.size() == 1 && NamesMatch(arguments[0], L"/close")) {
        request.kind = StartKind::Close;
        return request;
    }
    if (arguments.size() >= 2 && NamesMatch(arguments[0], L"/add")) {
        request.kind = StartKind::Add;
        for (std::size_t i = 1; i < arguments.size(); ++i)
            if (const auto path = CheckedPath(arguments[i]))
                AppendNew(request.paths, {*path});
    }
    return request;
}

std::wstring EncodePaths(const std::vector<std::wstring>& paths)
{
    std::wstring block;
    for (const std::wstring& path : paths) {
        block += path;
        block += L'\0';
    }
    return block;
}

std::optional<std::vector<std::wstring>> DecodePaths(const void* data, std::size_t bytes)
{
    if (!data || bytes == 0 || bytes % sizeof(wchar_t) != 0)
        return std::nullopt;
    const std::wstring_view block(static_cast<const wchar_t*>(data), bytes / sizeof(wchar_t));
    if (block.back() != L'\0')
        return std::nullopt;
    std::vector<std::wstring> paths;
    for (std::size_t start = 0; start < block.size();) {
        const std::size_t end = block.find(L'\0', start);
        const auto path = CheckedPath(block.substr(start, end - start));
        if (!path || *path != block.substr(start, end - start))
            return std::nullopt;
        paths.push_back(*path);
        start = end + 1;
    }
    return paths;
}

void AppendNew(std::vector<std::wstring>& list, const std::vector<std::wstring>& paths)
{
    for (const std::wstring& path : paths)
        if (std::find(list.begin(), list.end(), path) == list.end())
            list.push_back(path);
}
