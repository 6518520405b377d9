// The batch run on the worker thread.
#include "engine/BatchRun.h"

#include "engine/SplitFile.h"
#include "framework/AfxMessageBox.h"
#include "sources/MirroredFolder.h"
#include "sources/PathList.h"
#include "support/MyWString.h"
#include "support/PathText.h"
#include "support/Trace.h"

namespace
{
const WCHAR kSeparators[] = WSTR("\\/");
} // namespace

UINT RunThreadProc(LPVOID pParam)
{
    CMyBatchRun* pRun = (CMyBatchRun*)pParam;
    if (pRun == nullptr)
        return (UINT)-1;
    pRun->RunSplitJob();
    g_bIdle.store(1);
    return 0;
}

int CMyBatchRun::RunSplitJob()
{
    RunBatch();
    m_pHost->PostJobFinished();
    return 0;
}

DWORD CMyBatchRun::RunBatch()
{
    const CMyPathList* pList = m_pState->m_pPathList;
    DWORD dwCount = pList != nullptr ? pList->GetCount() : 0;
    if (dwCount == 0)
        return 0;
    ULONGLONG qwTotal = 0;
    for (DWORD i = 0; i < dwCount; ++i)
        qwTotal += pList->GetAt(i).FileSize;
    m_pState->m_ullTotalBytes.store(qwTotal);
    WriteTraceFormat("■トータルファイルサイズ: %I64u Byte\n", qwTotal);
    m_pState->m_ullDoneBytes.store(0);
    m_pState->m_dwFinished = 0;
    m_pState->m_dwCutShort = 0xFFFFFFFF;

    char acCurDir[2001];
    DWORD dwDirLength = GetCurrentDirectoryA(2000, acCurDir);
    int bHaveDir = dwDirLength > 0 && dwDirLength < 2000;

    // Progress per file is thinned so that long lists post at most ~2048.
    DWORD dwStep = dwCount / 1024 > 0 ? dwCount / 1024 : 1;
    DWORD dwTick = 0;
    DWORD dwSplit = 0;
    // Every collected file is known before the first piece is written, so
    // that none is overwritten, whichever comes first in the list; a host's
    // policy knows them already.
    CMySplitPolicy ownPolicy;
    CMySplitPolicy* pPolicy = m_pState->m_pPolicy;
    if (pPolicy == nullptr)
    {
        ownPolicy.TakeCollectedFiles(*pList);
        pPolicy = &ownPolicy;
    }
    CMySplitter splitter(m_pState, m_pHost);
    splitter.SetPolicy(pPolicy);
    for (DWORD i = 0; i < dwCount; ++i)
    {
        if (g_bAbort.load() || m_pState->m_bStopBatch.load())
            break;
        const CMyPathRecord& record = pList->GetAt(i);
        CString strBasePath;
        if (MakeOutputBasePath(&strBasePath, record))
        {
            WriteTraceFormat("--\n%s\n", (const char*)record.FilePath);
            WriteTraceFormat("%s\n", (const char*)strBasePath);
            // A file counts as split only when every piece of its plan was
            // written whole; the split has traced why when not.
            // A dry run creates no folder.
            if ((m_pState->m_bDryRun || MakeSureFolderOfPath(strBasePath, 1)) &&
                splitter.SplitFile(strBasePath, record.FilePath, m_pState->m_dwSectionLength) > 0 &&
                splitter.WasWhole())
            {
                ++dwSplit;
                ++m_pState->m_dwFinished;
                WriteTraceText("○　成功\n", 0);
            }
            else
            {
                WriteTraceText("×　失敗\n", 0);
                // The split stops between blocks: the file it was in when the
                // abort came keeps only the pieces written so far.
                if (g_bAbort.load())
                    m_pState->m_dwCutShort = i;
            }
        }
        if (++dwTick >= dwStep)
        {
            dwTick = 0;
            m_pHost->PostRunProgress();
        }
    }
    m_pState->m_ullDoneBytes.store(qwTotal);
    m_pHost->PostRunProgress();
    if (bHaveDir)
        SetCurrentDirectoryA(acCurDir);

    // A dry run has split nothing: its host says what would be.
    if (!g_bAbort.load() && !m_pState->m_bDryRun)
    {
        CString strSummary;
        strSummary.Format("%u 個中 %u 個のファイルを分割処理しました。\n", dwCount, dwSplit);
        AfxMessageBox(strSummary, MB_OK);
    }
    return dwSplit;
}

int CMyBatchRun::MakeOutputBasePath(CString* pstrBasePath, const CMyPathRecord& record) const
{
    if (pstrBasePath == nullptr || m_pState->m_strOutputFolder.IsEmpty())
        return 0;
    CString strBase = m_pState->m_strOutputFolder;
    CString strSubFolder;
    // The mirrored rest starts with its separator; an output folder at a drive
    // root ("E:\") or typed with a trailing one ends with one already.
    if (GetMirroredFolder(record, &strSubFolder))
        strBase += EndsWithSeparator(strBase) ? strSubFolder.Mid(1) : strSubFolder;
    if (!EndsWithSeparator(strBase))
        strBase += "\\";

    CMyWString strTitle(record.FileName);
    if (!strTitle.ToFileTitle(1, 4) || strTitle.GetLength() == 0)
        return 0;
    CString strTitleText = strTitle.GetCString();
    if (strTitleText.IsEmpty())
        return 0;
    *pstrBasePath = strBase + strTitleText;
    return 1;
}

int MakeSureFolderOfPath(const char* pcPath, int bFile)
{
    if (pcPath == nullptr || pcPath[0] == '\0')
        return 0;
    CMyWString strPath(pcPath);
    DWORD dwSep = strPath.ReverseFindOneOf(0xFFFFFFFF, kSeparators);
    if (dwSep == 0xFFFFFFFF)
        return 0;
    DWORD dwLast = strPath.GetLength() - 1;
    CString strFolder;
    if (bFile)
    {
        if (dwSep == dwLast)
            return 0;
        strFolder = strPath.GetSectorData(0, dwSep + 1);
    }
    else
    {
        strFolder = pcPath;
        if (dwSep != dwLast)
            strFolder += "\\";
    }
    // Windows reports success when a file stands where a folder should be
    // (creating it fails with "already exists"): look at what is there.
    DWORD dwError = ERROR_ALREADY_EXISTS;
    if (MakeSureDirectoryPathExists(strFolder))
    {
        DWORD dwAttributes = GetFileAttributesA(strFolder);
        if (dwAttributes != INVALID_FILE_ATTRIBUTES &&
            (dwAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0)
            return 1;
    }
    else
        dwError = GetLastError();
    WriteTraceFormat("※　出力フォルダを作成できません。MakeSureFolderOfPath()\n\tPath[%s]\n:",
                     (const char*)strFolder);
    WriteTraceSystemError(dwError);
    SetLastError(dwError);
    return 0;
}
