// The "分割方法" dialog: the ways of cutting the command line offers (a
// length, equal parts, a size limit, markers alone or first, cuts moved to a
// pause, every pause, a cut list, files per channel, shared blocks) and the
// name template, with each value checked before it is taken.
#pragma once

#include "framework/win/CDialog.h"
#include "ui/PlanChoice.h"

class CMyPlanDialog : public CDialog
{
public:
    // Shows *pChoice and the section length; on OK both hold what the user
    // chose (the length only when the rule is the length).
    CMyPlanDialog(CWnd* pParentWnd, CMyPlanChoice* pChoice, CString* pstrSectionLength);

protected:
    BOOL OnInitDialog() override;
    void OnOK() override;
    int OnMessage(UINT uMsg, WPARAM wParam, LPARAM lParam, LRESULT* plResult) override;

private:
    void ShowChoice(const CMyPlanChoice& choice, const char* pcSectionLength);
    CMyPlanChoice ReadChoice() const;
    CString ReadText(int nID) const;
    int IsChecked(int nID) const;
    // Each box is usable only where the chosen rule reads it.
    void UpdateControls();
    void BrowseCutsFile();
    // Shows the refusal and puts the focus, text selected, on its box.
    void Refuse(const char* pcText, int nID);

    CMyPlanChoice* m_pChoice;
    CString* m_pstrSectionLength;
    // The user's own tick of "マーカーで区切る": 分けない shows the box ticked
    // without changing it, so another rule chosen afterwards shows it again.
    int m_bOwnMarkers = 0;
};
