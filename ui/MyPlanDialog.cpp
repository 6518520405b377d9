// The "分割方法" dialog.
#include "ui/MyPlanDialog.h"

#include "engine/SectionLength.h"
#include "framework/AfxMessageBox.h"
#include "resources/resource.h"

#include <commdlg.h>

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
                   {kChoiceName, IDC_PLAN_NAME},
                   {kChoiceEveryPauseMin, IDC_PLAN_EVERY_MIN},
                   {kChoiceEveryPauseLevel, IDC_PLAN_EVERY_LEVEL},
                   {kChoiceMinPiece, IDC_PLAN_MIN_PIECE},
                   {kChoiceChannels, IDC_PLAN_CH_EDIT},
                   {kChoiceCutsFile, IDC_PLAN_CUTS_EDIT}};

const struct
{
    CutsChoice Cuts;
    int nButton;
} kCutsButtons[] = {{kCutsNone, IDC_PLAN_CUTS_NONE},
                    {kCutsFile, IDC_PLAN_CUTS_FILE},
                    {kCutsBeside, IDC_PLAN_CUTS_BESIDE}};

const struct
{
    ChannelChoice Channels;
    int nButton;
} kChannelButtons[] = {{kChannelsTogether, IDC_PLAN_CH_TOGETHER},
                       {kChannelsEach, IDC_PLAN_CH_EACH},
                       {kChannelsGroups, IDC_PLAN_CH_GROUPS}};

int CheckOf(int bChecked)
{
    return bChecked ? BST_CHECKED : BST_UNCHECKED;
}

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
    ::CheckDlgButton(m_hWnd, IDC_PLAN_EVERY_PAUSE, CheckOf(choice.bEveryPause));
    ::SetDlgItemTextA(m_hWnd, IDC_PLAN_EVERY_MIN, choice.strEveryPauseMin);
    ::SetDlgItemTextA(m_hWnd, IDC_PLAN_EVERY_LEVEL, choice.strEveryPauseLevel);
    ::CheckDlgButton(m_hWnd, IDC_PLAN_AUTO_LEVEL, CheckOf(choice.bAutoLevel));
    ::SetDlgItemTextA(m_hWnd, IDC_PLAN_MIN_PIECE, choice.strMinPiece);
    ::CheckDlgButton(m_hWnd, IDC_PLAN_TRIM, CheckOf(choice.bTrim));
    for (const auto& button : kChannelButtons)
        if (button.Channels == choice.Channels)
            ::CheckRadioButton(m_hWnd, IDC_PLAN_CH_TOGETHER, IDC_PLAN_CH_GROUPS, button.nButton);
    ::SetDlgItemTextA(m_hWnd, IDC_PLAN_CH_EDIT, choice.strChannelGroups);
    ::CheckDlgButton(m_hWnd, IDC_PLAN_SHARE, CheckOf(choice.bShareBlocks));
    for (const auto& button : kCutsButtons)
        if (button.Cuts == choice.Cuts)
            ::CheckRadioButton(m_hWnd, IDC_PLAN_CUTS_NONE, IDC_PLAN_CUTS_BESIDE, button.nButton);
    ::SetDlgItemTextA(m_hWnd, IDC_PLAN_CUTS_EDIT, choice.strCutsFile);
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
    choice.bEveryPause = IsChecked(IDC_PLAN_EVERY_PAUSE);
    choice.strEveryPauseMin = ReadText(IDC_PLAN_EVERY_MIN);
    choice.strEveryPauseLevel = ReadText(IDC_PLAN_EVERY_LEVEL);
    choice.bAutoLevel = IsChecked(IDC_PLAN_AUTO_LEVEL);
    choice.strMinPiece = ReadText(IDC_PLAN_MIN_PIECE);
    choice.bTrim = IsChecked(IDC_PLAN_TRIM);
    for (const auto& button : kChannelButtons)
        if (IsChecked(button.nButton))
            choice.Channels = button.Channels;
    choice.strChannelGroups = ReadText(IDC_PLAN_CH_EDIT);
    choice.bShareBlocks = IsChecked(IDC_PLAN_SHARE);
    for (const auto& button : kCutsButtons)
        if (IsChecked(button.nButton))
            choice.Cuts = button.Cuts;
    choice.strCutsFile = ReadText(IDC_PLAN_CUTS_EDIT);
    return choice;
}

void CMyPlanDialog::UpdateControls()
{
    const CMyPlanChoice choice = ReadChoice();
    for (const auto& rule : kRules)
        if (rule.nEdit != 0)
            ::EnableWindow(GetDlgItem(rule.nEdit), rule.Kind == choice.Kind);
    // Markers alone are always markers; every pause and a list may cut
    // without them.
    const int bMarkersOnly =
        choice.Kind == kRuleWhole && !choice.bEveryPause && choice.Cuts == kCutsNone;
    ::CheckDlgButton(m_hWnd, IDC_PLAN_MARKERS, CheckOf(bMarkersOnly || m_bOwnMarkers));
    ::EnableWindow(GetDlgItem(IDC_PLAN_MARKERS), !bMarkersOnly);
    const int bPauseRule = CanMoveToPause(choice.Kind);
    ::EnableWindow(GetDlgItem(IDC_PLAN_PAUSE), bPauseRule);
    ::EnableWindow(GetDlgItem(IDC_PLAN_PAUSE_WINDOW), bPauseRule && choice.bPause);
    // Every pause's length and level serve the moved cuts too.
    for (int nID : {IDC_PLAN_PAUSE_MIN, IDC_PLAN_PAUSE_LEVEL})
        ::EnableWindow(GetDlgItem(nID), bPauseRule && choice.bPause && !choice.bEveryPause);
    for (int nID : {IDC_PLAN_EVERY_MIN, IDC_PLAN_AUTO_LEVEL, IDC_PLAN_MIN_PIECE, IDC_PLAN_TRIM})
        ::EnableWindow(GetDlgItem(nID), choice.bEveryPause);
    ::EnableWindow(GetDlgItem(IDC_PLAN_EVERY_LEVEL), choice.bEveryPause && !choice.bAutoLevel);
    ::EnableWindow(GetDlgItem(IDC_PLAN_CH_EDIT), choice.Channels == kChannelsGroups);
    for (int nID : {IDC_PLAN_CUTS_EDIT, IDC_PLAN_CUTS_BROWSE})
        ::EnableWindow(GetDlgItem(nID), choice.Cuts == kCutsFile);
}

// The system's file picker, opened where the list typed lies.
void CMyPlanDialog::BrowseCutsFile()
{
    char acPath[MAX_PATH] = {};
    lstrcpynA(acPath, ReadText(IDC_PLAN_CUTS_EDIT), MAX_PATH);
    OPENFILENAMEA ofn = {};
    ofn.lStructSize = sizeof(ofn);
    ofn.hwndOwner = m_hWnd;
    ofn.lpstrFilter = "カット位置ファイル (*.cue;*.txt;*.csv)\0*.cue;*.txt;*.csv\0"
                      "すべてのファイル (*.*)\0*.*\0";
    ofn.lpstrFile = acPath;
    ofn.nMaxFile = MAX_PATH;
    ofn.Flags = OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY | OFN_NOCHANGEDIR;
    if (GetOpenFileNameA(&ofn))
        ::SetDlgItemTextA(m_hWnd, IDC_PLAN_CUTS_EDIT, acPath);
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
        if (nID >= IDC_PLAN_CUTS_NONE && nID <= IDC_PLAN_CUTS_BESIDE)
        {
            ::CheckRadioButton(m_hWnd, IDC_PLAN_CUTS_NONE, IDC_PLAN_CUTS_BESIDE, nID);
            UpdateControls();
            return 1;
        }
        if (nID == IDC_PLAN_CUTS_BROWSE)
        {
            BrowseCutsFile();
            return 1;
        }
        if (nID >= IDC_PLAN_CH_TOGETHER && nID <= IDC_PLAN_CH_GROUPS)
        {
            ::CheckRadioButton(m_hWnd, IDC_PLAN_CH_TOGETHER, IDC_PLAN_CH_GROUPS, nID);
            UpdateControls();
            return 1;
        }
        if (nID == IDC_PLAN_PAUSE || nID == IDC_PLAN_EVERY_PAUSE || nID == IDC_PLAN_AUTO_LEVEL)
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
