// The "分割方法" dialog.
#include "ui/MyPlanDialog.h"

#include "engine/SectionLength.h"
#include "framework/AfxMessageBox.h"
#include "resources/resource.h"

namespace
{
// The name box's ready choices; any other template may be typed.
const char* const kNameChoices[] = {"{title}_{n}", "{title}_{start}", "{date}_{time}", "{label}"};

// Each rule's button and the box of its value (0: none).
const struct
{
    PlanRuleKind Kind;
    int nButton;
    int nEdit;
} kRules[] = {{kRuleLength, IDC_PLAN_LENGTH, IDC_PLAN_LENGTH_EDIT},
              {kRuleParts, IDC_PLAN_PARTS, IDC_PLAN_PARTS_EDIT},
              {kRuleMaxSize, IDC_PLAN_MAX_SIZE, IDC_PLAN_MAX_SIZE_EDIT},
              {kRuleWhole, IDC_PLAN_WHOLE, 0}};

const struct
{
    PlanChoiceField Field;
    int nID;
} kFieldBoxes[] = {{kChoiceLength, IDC_PLAN_LENGTH_EDIT},
                   {kChoiceParts, IDC_PLAN_PARTS_EDIT},
                   {kChoiceMaxSize, IDC_PLAN_MAX_SIZE_EDIT},
                   {kChoicePauseWindow, IDC_PLAN_PAUSE_WINDOW},
                   {kChoicePauseMin, IDC_PLAN_PAUSE_MIN},
                   {kChoicePauseLevel, IDC_PLAN_PAUSE_LEVEL},
                   {kChoiceName, IDC_PLAN_NAME}};

// The main window's section length at start-up.
const char kStartLength[] = "00:03:00";
} // namespace

CMyPlanDialog::CMyPlanDialog(CWnd* pParentWnd, CMyPlanChoice* pChoice, CString* pstrSectionLength)
    : CDialog(IDD_PLAN_DIALOG, pParentWnd), m_pChoice(pChoice),
      m_pstrSectionLength(pstrSectionLength)
{
}

BOOL CMyPlanDialog::OnInitDialog()
{
    CDialog::OnInitDialog();
    HWND hName = GetDlgItem(IDC_PLAN_NAME);
    for (const char* pcName : kNameChoices)
        ::SendMessageA(hName, CB_ADDSTRING, 0, (LPARAM)pcName);
    ShowChoice(*m_pChoice, *m_pstrSectionLength);
    return TRUE;
}

void CMyPlanDialog::ShowChoice(const CMyPlanChoice& choice, const char* pcSectionLength)
{
    for (const auto& rule : kRules)
        if (rule.Kind == choice.Kind)
            ::CheckRadioButton(m_hWnd, IDC_PLAN_LENGTH, IDC_PLAN_WHOLE, rule.nButton);
    ::SetDlgItemTextA(m_hWnd, IDC_PLAN_LENGTH_EDIT, pcSectionLength);
    ::SetDlgItemTextA(m_hWnd, IDC_PLAN_PARTS_EDIT, choice.strParts);
    ::SetDlgItemTextA(m_hWnd, IDC_PLAN_MAX_SIZE_EDIT, choice.strMaxSize);
    m_bOwnMarkers = choice.bMarkers;
    ::CheckDlgButton(m_hWnd, IDC_PLAN_PAUSE, choice.bPause ? BST_CHECKED : BST_UNCHECKED);
    ::SetDlgItemTextA(m_hWnd, IDC_PLAN_PAUSE_WINDOW, choice.strPauseWindow);
    ::SetDlgItemTextA(m_hWnd, IDC_PLAN_PAUSE_MIN, choice.strPauseMin);
    ::SetDlgItemTextA(m_hWnd, IDC_PLAN_PAUSE_LEVEL, choice.strPauseLevel);
    ::SetDlgItemTextA(m_hWnd, IDC_PLAN_NAME, choice.strName);
    UpdateControls();
}

CString CMyPlanDialog::ReadText(int nID) const
{
    CString strText;
    CWnd box;
    box.m_hWnd = GetDlgItem(nID);
    box.GetWindowText(strText);
    strText.TrimLeft();
    strText.TrimRight();
    return strText;
}

int CMyPlanDialog::IsChecked(int nID) const
{
    return ::IsDlgButtonChecked(m_hWnd, nID) == BST_CHECKED;
}

CMyPlanChoice CMyPlanDialog::ReadChoice() const
{
    CMyPlanChoice choice;
    for (const auto& rule : kRules)
        if (IsChecked(rule.nButton))
            choice.Kind = rule.Kind;
    choice.bMarkers = m_bOwnMarkers;
    choice.strParts = ReadText(IDC_PLAN_PARTS_EDIT);
    choice.strMaxSize = ReadText(IDC_PLAN_MAX_SIZE_EDIT);
    choice.bPause = IsChecked(IDC_PLAN_PAUSE);
    choice.strPauseWindow = ReadText(IDC_PLAN_PAUSE_WINDOW);
    choice.strPauseMin = ReadText(IDC_PLAN_PAUSE_MIN);
    choice.strPauseLevel = ReadText(IDC_PLAN_PAUSE_LEVEL);
    choice.strName = ReadText(IDC_PLAN_NAME);
    return choice;
}

void CMyPlanDialog::UpdateControls()
{
    const CMyPlanChoice choice = ReadChoice();
    for (const auto& rule : kRules)
        if (rule.nEdit != 0)
            ::EnableWindow(GetDlgItem(rule.nEdit), rule.Kind == choice.Kind);
    // Markers alone are always markers.
    const int bMarkersShown = choice.Kind == kRuleWhole || m_bOwnMarkers;
    ::CheckDlgButton(m_hWnd, IDC_PLAN_MARKERS, bMarkersShown ? BST_CHECKED : BST_UNCHECKED);
    ::EnableWindow(GetDlgItem(IDC_PLAN_MARKERS), choice.Kind != kRuleWhole);
    const int bPauseRule = CanMoveToPause(choice.Kind);
    ::EnableWindow(GetDlgItem(IDC_PLAN_PAUSE), bPauseRule);
    for (int nID : {IDC_PLAN_PAUSE_WINDOW, IDC_PLAN_PAUSE_MIN, IDC_PLAN_PAUSE_LEVEL})
        ::EnableWindow(GetDlgItem(nID), bPauseRule && choice.bPause);
}

void CMyPlanDialog::Refuse(const char* pcText, int nID)
{
    AfxMessageBox(pcText, MB_OK);
    HWND hBox = GetDlgItem(nID);
    if (hBox != nullptr)
        SendMessage(WM_NEXTDLGCTL, (WPARAM)hBox, TRUE);
}

void CMyPlanDialog::OnOK()
{
    const CMyPlanChoice choice = ReadChoice();
    const CString strLength = ReadText(IDC_PLAN_LENGTH_EDIT);
    if (UsesSectionLength(choice) && ParseSectionLength(strLength) == 0)
    {
        Refuse("※　無効な区間長です。", IDC_PLAN_LENGTH_EDIT);
        return;
    }
    CMyPlanRequest request;
    CString strError;
    PlanChoiceField field = kChoiceNone;
    if (!MakePlanChoiceRequest(choice, &request, &strError, &field))
    {
        int nID = IDC_PLAN_NAME;
        for (const auto& box : kFieldBoxes)
            if (box.Field == field)
                nID = box.nID;
        Refuse(strError, nID);
        return;
    }
    *m_pChoice = choice;
    if (UsesSectionLength(choice))
        *m_pstrSectionLength = strLength;
    EndDialog(IDOK);
}

int CMyPlanDialog::OnMessage(UINT uMsg, WPARAM wParam, LPARAM lParam, LRESULT* plResult)
{
    if (uMsg == WM_COMMAND && HIWORD(wParam) == BN_CLICKED)
    {
        const int nID = LOWORD(wParam);
        if (nID >= IDC_PLAN_LENGTH && nID <= IDC_PLAN_WHOLE)
        {
            ::CheckRadioButton(m_hWnd, IDC_PLAN_LENGTH, IDC_PLAN_WHOLE, nID);
            UpdateControls();
            return 1;
        }
        if (nID == IDC_PLAN_MARKERS)
        {
            m_bOwnMarkers = IsChecked(IDC_PLAN_MARKERS);
            return 1;
        }
        if (nID == IDC_PLAN_PAUSE)
        {
            UpdateControls();
            return 1;
        }
        if (nID == IDC_PLAN_DEFAULTS)
        {
            ShowChoice(CMyPlanChoice(), kStartLength);
            return 1;
        }
    }
    return CDialog::OnMessage(uMsg, wParam, lParam, plResult);
}
