#include "ui/TaskbarProgress.h"

CMyTaskbarProgress::~CMyTaskbarProgress()
{
    if (m_pTaskbar != nullptr)
        m_pTaskbar->Release();
    if (m_bComStarted)
        CoUninitialize();
}

int CMyTaskbarProgress::Attach()
{
    if (m_bTried)
        return m_pTaskbar != nullptr;
    m_bTried = 1;
    HRESULT hr = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    m_bComStarted = SUCCEEDED(hr);
    void* pTaskbar = nullptr;
    hr = CoCreateInstance(CLSID_TaskbarList, nullptr, CLSCTX_INPROC_SERVER, IID_ITaskbarList3,
                          &pTaskbar);
    if (FAILED(hr) || pTaskbar == nullptr)
        return 0; // the run goes on with the bar alone
    m_pTaskbar = (ITaskbarList3*)pTaskbar;
    if (FAILED(m_pTaskbar->HrInit()))
    {
        m_pTaskbar->Release();
        m_pTaskbar = nullptr;
    }
    return m_pTaskbar != nullptr;
}

void CMyTaskbarProgress::SetState(HWND hWnd, State state)
{
    static const TBPFLAG kFlags[] = {TBPF_NOPROGRESS, TBPF_NORMAL, TBPF_PAUSED, TBPF_ERROR};
    if (Attach())
        m_pTaskbar->SetProgressState(hWnd, kFlags[state]);
}

void CMyTaskbarProgress::SetPos(HWND hWnd, int nPos)
{
    if (Attach())
        m_pTaskbar->SetProgressValue(hWnd, (ULONGLONG)nPos, 1024);
}
