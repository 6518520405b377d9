// Times the add-files job on a tree of 20,000 WAV files in 400 folders against
// a plain recursive listing of the same tree, and prints both and their ratio.
//   add_bench [scratch folder]   (default: the system's temporary folder)
#include "sources/AddJob.h"

#include "framework/CString.h"
#include "support/FileSystem.h"
#include "support/Trace.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace
{
const int kParents = 20;
const int kFoldersPerParent = 20;
const int kFilesPerFolder = 50;

// A picker that selected the tree's root folder.
class CBenchHost : public CMyAddHost
{
public:
    CBenchHost(const CString& strParent, const WIN32_FIND_DATAA& root)
        : m_strParent(strParent), m_root(root)
    {
    }
    CString GetPickerFolderText(DWORD) override { return m_strParent; }
    CString GetCurrentFolder(DWORD) override { return m_strParent; }
    DWORD GetSelectedCount(DWORD) override { return 1; }
    const WIN32_FIND_DATAA& GetSelectedEntry(DWORD, DWORD) override { return m_root; }
    void SetLastPickerFolder(const CString&) override {}
    void RebuildList() override {}
    void ShowTotalSize(ULONGLONG) override {}
    void OpenReport(const char*) override {}
    void DestroyPicker() override {}
    void PostJobFinished() override {}

private:
    CString m_strParent;
    WIN32_FIND_DATAA m_root;
};

// 44 bytes: an empty canonical PCM header is all a listing needs.
const char kHeader[44] = {'R', 'I', 'F',  'F',        36,  0,   0,    0,          'W', 'A', 'V',
                          'E', 'f', 'm',  't',        ' ', 16,  0,    0,          0,   1,   0,
                          2,   0,   0x44, (char)0xAC, 0,   0,   0x10, (char)0xB1, 2,   0,   4,
                          0,   16,  0,    'd',        'a', 't', 'a',  0,          0,   0,   0};

bool WriteFileBytes(const CString& strPath)
{
    HANDLE h = CreateFileA(strPath, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                           nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return false;
    DWORD dwDone = 0;
    BOOL bOk = WriteFile(h, kHeader, sizeof(kHeader), &dwDone, nullptr);
    CloseHandle(h);
    return bOk && dwDone == sizeof(kHeader);
}

bool BuildTree(const CString& strRoot)
{
    unsigned uFile = 0;
    CreateDirectoryA(strRoot, nullptr);
    for (int p = 0; p < kParents; p++)
    {
        CString strParent;
        strParent.Format("%s\\group%02d", (const char*)strRoot, p);
        CreateDirectoryA(strParent, nullptr);
        for (int f = 0; f < kFoldersPerParent; f++)
        {
            CString strFolder;
            strFolder.Format("%s\\disc%02d", (const char*)strParent, f);
            CreateDirectoryA(strFolder, nullptr);
            for (int k = 0; k < kFilesPerFolder; k++)
            {
                CString strFile;
                strFile.Format("%s\\take%05u.wav", (const char*)strFolder, uFile++);
                if (!WriteFileBytes(strFile))
                    return false;
            }
        }
    }
    return true;
}

// What any program must do to see the tree: list every folder, recursively.
void PlainWalk(const CString& strFolder, std::vector<std::string>& names)
{
    WIN32_FIND_DATAA entry;
    HANDLE hFind = FindFirstFileA(strFolder + "\\*.*", &entry);
    if (hFind == INVALID_HANDLE_VALUE)
        return;
    std::vector<CString> subFolders;
    do
    {
        if (strcmp(entry.cFileName, ".") == 0 || strcmp(entry.cFileName, "..") == 0)
            continue;
        if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
            subFolders.push_back(strFolder + "\\" + entry.cFileName);
        else
            names.push_back(entry.cFileName);
    } while (FindNextFileA(hFind, &entry));
    FindClose(hFind);
    for (const CString& strSub : subFolders)
        PlainWalk(strSub, names);
}

void RemoveTree(const CString& strFolder)
{
    WIN32_FIND_DATAA entry;
    HANDLE hFind = FindFirstFileA(strFolder + "\\*.*", &entry);
    if (hFind != INVALID_HANDLE_VALUE)
    {
        do
        {
            CString strName(entry.cFileName);
            if (strName == "." || strName == "..")
                continue;
            CString strChild = strFolder + "\\" + strName;
            if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                RemoveTree(strChild);
            else
                DeleteFileA(strChild);
        } while (FindNextFileA(hFind, &entry));
        FindClose(hFind);
    }
    RemoveDirectoryA(strFolder);
}

double Seconds(std::chrono::steady_clock::time_point start)
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}
} // namespace

int main(int argc, char** argv)
{
    CString strScratch;
    if (argc > 1)
        strScratch = argv[1];
    else
    {
#ifdef _WIN32
        char acTemp[MAX_PATH];
        GetTempPathA(MAX_PATH, acTemp);
        strScratch = acTemp;
        if (strScratch.Right(1) == "\\")
            strScratch = strScratch.Left(strScratch.GetLength() - 1);
#else
        const char* pcTmp = getenv("TMPDIR");
        strScratch = pcTmp != nullptr && pcTmp[0] != '\0' ? pcTmp : "/tmp";
#endif
    }
    CString strParent;
    strParent.Format("%s\\wavoss-add-bench-%u", (const char*)strScratch, GetTickCount());
    CreateDirectoryA(strParent, nullptr);
    StartTraceLog(strParent);
    CString strRoot = strParent + "\\tree";
    printf("building %d files in %d folders under %s ...\n",
           kParents * kFoldersPerParent * kFilesPerFolder, kParents * kFoldersPerParent,
           (const char*)strRoot);
    if (!BuildTree(strRoot))
    {
        printf("cannot build the tree\n");
        RemoveTree(strParent);
        return 1;
    }
    WIN32_FIND_DATAA root;
    GetFindData(&root, strRoot);

    double dWalk = 1e9;
    double dJob = 1e9;
    size_t nWalked = 0;
    DWORD dwAdded = 0;
    for (int round = 0; round < 3; round++)
    {
        std::vector<std::string> names;
        auto start = std::chrono::steady_clock::now();
        PlainWalk(strRoot, names);
        double d = Seconds(start);
        dWalk = d < dWalk ? d : dWalk;
        nWalked = names.size();

        CMyFilteredPathList list;
        list.SetPatternOn(0);
        list.SetExtension("wav");
        list.SetExtensionOn(1);
        CBenchHost host(strParent, root);
        CMyAddJob job(&list, &host);
        start = std::chrono::steady_clock::now();
        job.RunAddJob();
        d = Seconds(start);
        dJob = d < dJob ? d : dJob;
        dwAdded = list.GetCount();
    }
    printf("plain recursive listing: %zu files in %.3f s\n", nWalked, dWalk);
    printf("add-files job:           %u files in %.3f s\n", (unsigned)dwAdded, dJob);
    printf("ratio (job / listing):   %.2f\n", dJob / dWalk);
    RemoveTree(strParent);
    return dwAdded == nWalked ? 0 : 1;
}
