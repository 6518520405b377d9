// The trace log (TraceFile.txt in the program folder) and its helpers.
#pragma once

#include "framework/CString.h"
#include "platform/Platform.h"

int WriteTraceFormat(const char* pcFormat, ...);
void WriteTraceText(const char* pcText, int bLineEnd);
void WriteTraceText(const CString& strText, int bLineEnd);
void WriteTraceString(const CString& strText);
int WriteTraceSystemError(DWORD dwError);

// While set, the entries the calling thread writes are dropped (and a trace
// file that cannot be opened is not reported): a preview plans as a run does
// on its own worker, without leaving a run's lines in the trace.
void SetTraceMuted(int bMuted);

int GetProgramFolder(CString* pstrFolder);
int FindLastCharSJis(const char* pcText, char cFind);
int IsSJisLeadByte(BYTE bChar);
int IsSJisTrailByte(BYTE bChar);
void ZeroFill(void* pBuff, DWORD dwCount);

// Start-up: sets the program folder (pcFolder, or the running program's
// folder when null), the trace file path beside it, and empties the file.
void StartTraceLog(const char* pcFolder);
// 1 when an entry since start-up did not reach the trace file (it could not
// be opened, written whole or closed), with the system's error of the first
// such entry in *pdwError. The writers go on dropping such entries quietly,
// as they always have; a front end that can say so asks here.
int GetTraceLostError(DWORD* pdwError);
// The process-wide program folder and trace file path ("" before start-up).
CString GetProgramFolderText();
CString GetTraceFilePath();
