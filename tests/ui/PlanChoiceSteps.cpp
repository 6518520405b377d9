// Steps the plan choice tests share.
#include "PlanChoiceSteps.h"

#include "UiHelpers.h"

#include "resources/resource.h"

#include <gtest/gtest.h>

#include <algorithm>

void Press(HWND hDlg, int nID)
{
    PostMessageA(GetDlgItem(hDlg, nID), BM_CLICK, 0, 0);
}

HWND OpenPlanDialog(DialogDriver& d, HWND hDlg)
{
    d.Click(hDlg, IDC_PLAN_METHOD);
    return d.WaitForDialog("分割方法");
}

bool ClosedDialog(DialogDriver& d, const char* pcCaption)
{
    return d.WaitUntil([&] { return d.FindDialog(pcCaption) == nullptr; });
}

HWND PlannedPreview(DialogDriver& d, HWND hDlg)
{
    d.Click(hDlg, IDC_PREVIEW);
    HWND hPreview = d.WaitForDialog("プレビュー");
    if (hPreview == nullptr ||
        !d.WaitUntil([&] { return !d.Enabled(hPreview, IDC_PREVIEW_ABORT); }, 20000))
        return nullptr;
    return hPreview;
}

void ExecuteInto(DialogDriver& d, HWND hDlg, const std::string& out)
{
    d.Type(hDlg, IDC_OUTPUT_FOLDER_EDIT, out.c_str());
    d.Click(hDlg, IDC_EXECUTE);
    EXPECT_TRUE(d.WaitUntil([] { return !BoxRecorder::Boxes().empty(); }, 20000));
    EXPECT_TRUE(d.WaitUntil([&] { return IdleLook(hDlg); }, 20000));
}

std::vector<Piece> SortedPieces(const std::string& folder)
{
    std::vector<Piece> pieces = ReadFolder(folder);
    std::sort(pieces.begin(), pieces.end(),
              [](const Piece& a, const Piece& b) { return a.name < b.name; });
    return pieces;
}

std::string DataOf(const std::string& wav)
{
    for (size_t n = 12; n + 8 <= wav.size(); n += 8 + ((GetLE32(wav, n + 4) + 1) & ~1u))
        if (wav.compare(n, 4, "data") == 0)
            return wav.substr(n + 8, GetLE32(wav, n + 4));
    return std::string();
}
