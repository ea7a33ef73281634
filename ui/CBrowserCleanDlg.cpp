#include "CBrowserCleanDlg.h"

#include "BrowserCleaner.h"
#include "Busy.h"
#include "CRegInfo.h"
#include "CleaningRun.h"
#include "Cp949Text.h"
#include "MessageBoxes.h"
#include "resource.h"

namespace {

const struct {
    int box;
    BrowserCategory category;
} kBoxes[] = {
    {IDC_BROWSER_CACHE, kBrowserCache},     {IDC_BROWSER_COOKIES, kBrowserCookies},
    {IDC_BROWSER_HISTORY, kBrowserHistory}, {IDC_BROWSER_FORMS, kBrowserForms},
    {IDC_BROWSER_PASSWORDS, kBrowserPasswords},
};

constexpr unsigned kQuestion = MB_TOPMOST | MB_ICONQUESTION;

}  // namespace

CBrowserCleanDlg::CBrowserCleanDlg(CSDEngine& engine, CRegInfo& settings, std::optional<BrowserRoots> roots)
    : CDialog(IDD_BROWSER_CLEAN_DIALOG), m_engine(engine), m_settings(settings), m_roots(std::move(roots))
{
}

BOOL CBrowserCleanDlg::OnInitDialog()
{
    UseIcon(IDR_MAINFRAME);
    if (!m_roots)
        m_roots = BrowserRoots::OfCurrentUser();
    m_found = m_roots ? FindBrowserProfiles(*m_roots) : FoundProfiles{};
    const HWND list = GetDlgItem(IDC_BROWSER_PROFILES);
    for (const BrowserProfile& profile : m_found.profiles) {
        const std::string label = InfoOf(profile.kind).name + (" - " + Narrow949(profile.name));
        const auto row = SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(label.c_str()));
        SendMessageA(list, LB_SETSEL, TRUE, row);
    }
    // Selecting a row scrolls the list to it; the first browser is where a reader starts.
    SendMessageA(list, LB_SETTOPINDEX, 0, 0);
    const unsigned categories = CategoriesFromSetting(m_settings.ReadSetting(registry_layout::kBrowserCategoriesValue));
    for (const auto& box : kBoxes)
        CheckDlgButton(m_hWnd, box.box, (categories & box.category) ? BST_CHECKED : BST_UNCHECKED);
    if (m_found.profiles.empty())
        SetItemText(IDC_BROWSER_NOTE, "정리할 브라우저 프로필을 찾지 못했습니다.");
    return TRUE;
}

std::vector<BrowserProfile> CBrowserCleanDlg::ChosenProfiles() const
{
    std::vector<BrowserProfile> chosen;
    for (std::size_t i = 0; i < m_found.profiles.size(); ++i)
        if (SendMessageA(GetDlgItem(IDC_BROWSER_PROFILES), LB_GETSEL, i, 0) > 0)
            chosen.push_back(m_found.profiles[i]);
    return chosen;
}

unsigned CBrowserCleanDlg::ChosenCategories() const
{
    unsigned categories = 0;
    for (const auto& box : kBoxes)
        if (IsDlgButtonChecked(m_hWnd, box.box) == BST_CHECKED)
            categories |= box.category;
    return categories;
}

bool CBrowserCleanDlg::OnCommand(WORD id, WORD /*code*/, HWND /*control*/)
{
    if (id == IDC_BROWSER_CLEAN) {
        OnClean();
        return true;
    }
    if (id == IDC_BROWSER_CLOSE) {
        EndDialog(IDOK);
        return true;
    }
    return false;
}

void CBrowserCleanDlg::OnClean()
{
    const CBusyScope busy;
    const std::vector<BrowserProfile> profiles = ChosenProfiles();
    const unsigned categories = ChosenCategories();
    if (profiles.empty() || categories == 0) {
        PlatformMessageBox("하나 이상 체크를 하셔야 합니다.", "QuenzoLite", kQuestion);
        return;
    }
    m_settings.WriteString(CategoriesSetting(categories), registry_layout::kSettingsGroup,
                           registry_layout::kSettingsSubkey, registry_layout::kBrowserCategoriesValue);
    BrowserReport preview = PreviewBrowserCleaning(profiles, categories);
    preview.skipped.insert(preview.skipped.begin(), m_found.skipped.begin(), m_found.skipped.end());
    if (PlatformMessageBox(BrowserReportText(preview, true) + "\n\n삭제하시겠습니까? 실행 중인 브라우저는 닫습니다.",
                           "QuenzoLite", kQuestion | MB_YESNO) != IDYES)
        return;
    const bool secure = IsSecureCleaningSetting(m_settings.ReadSetting(registry_layout::kPersnalValue));
    const auto keepWaiting = [](BrowserKind kind) {
        return PlatformMessageBox(std::string(InfoOf(kind).name) +
                                      "이(가) 아직 실행 중입니다. 브라우저 창을 닫은 뒤 다시 시도를 누르십시오.\n"
                                      "취소하면 이 브라우저는 건너뜁니다.",
                                  "QuenzoLite", MB_TOPMOST | MB_ICONWARNING | MB_RETRYCANCEL) == IDRETRY;
    };
    const BrowserReport report = CleanBrowsers(m_engine, profiles, categories, secure, keepWaiting);
    AfxMessageBox(BrowserReportText(report, false), MB_OK);
}
