#include "WipeResult.h"

#include "Cp949Text.h"
#include "ExactPath.h"

const char* ReasonText(LeftReason reason)
{
    switch (reason) {
    case LeftReason::InvalidPath: return "잘못된 경로";
    case LeftReason::Link: return "링크";
    case LeftReason::HardLinks: return "하드 링크가 있음";
    case LeftReason::WrongKind: return "종류가 다름";
    case LeftReason::InUse: return "열 수 없음";
    case LeftReason::Overwrite: return "덮어쓰지 못함";
    case LeftReason::Rename: return "이름을 바꾸지 못함";
    case LeftReason::Delete: return "지우지 못함";
    case LeftReason::NotEmpty: return "남은 항목이 있음";
    case LeftReason::TooBroad: return "사용자 파일이 있는 폴더라 비우지 않음";
    case LeftReason::NamesKept: return "지운 이름을 폴더에서 덮어쓰지 못함";
    case LeftReason::Missing: return "찾을 수 없음";
    case LeftReason::NotReached: return "취소되어 삭제하지 않음";
    case LeftReason::Interrupted: return "취소되어 일부만 삭제함";
    case LeftReason::Protected: return "보호된 폴더라 지우지 않음";
    case LeftReason::Busy: return "다른 삭제가 진행 중이라 지우지 않음";
    }
    return "";
}

std::string RemainingLines(const std::vector<Leftover>& remaining, std::size_t shown)
{
    std::string text = "\n";
    for (std::size_t i = 0; i < remaining.size() && i < shown; ++i) {
        const Leftover& leftover = remaining[i];
        text += "\n" + Narrow949(leftover.path) + " (" + ReasonText(leftover.reason);
        if (leftover.filesInside > 0)
            text += ", 남은 파일 " + std::to_string(leftover.filesInside) + "개";
        text += ")";
    }
    if (remaining.size() > shown)
        text += "\n\n외 " + std::to_string(remaining.size() - shown) + "개";
    return text;
}

std::string RemainingMessage(const std::vector<Leftover>& remaining, std::size_t shown)
{
    return "다음 항목은 삭제하지 못했습니다." + RemainingLines(remaining, shown);
}
