// The iXML chunk a piece carries.
#include "engine/PieceIXml.h"

namespace
{
const size_t kNone = std::string::npos;
// The letters and digits of a FILE_UID counted as one run of its number.
const size_t kMaxUidTail = 8;

// The decimal digits inside <pcName>...</pcName> (blanks around them
// allowed): their offset and count, or kNone.
size_t FindNumber(const std::string& strXml, const char* pcName, size_t* pnDigits)
{
    std::string strOpen = std::string("<") + pcName + ">";
    size_t iText = strXml.find(strOpen);
    if (iText == kNone)
        return kNone;
    iText += strOpen.size();
    size_t iEnd = strXml.find(std::string("</") + pcName + ">", iText);
    if (iEnd == kNone)
        return kNone;
    size_t iDigits = strXml.find_first_not_of(" \t\r\n", iText);
    size_t n = 0;
    while (iDigits + n < iEnd && strXml[iDigits + n] >= '0' && strXml[iDigits + n] <= '9')
        ++n;
    if (n == 0 || strXml.find_first_not_of(" \t\r\n", iDigits + n) != iEnd)
        return kNone;
    *pnDigits = n;
    return iDigits;
}

// The 32-bit decimal number of the element; 0 when there is none.
int ReadNumber(const std::string& strXml, const char* pcName, ULONGLONG* pqwValue)
{
    size_t nDigits = 0;
    size_t i = FindNumber(strXml, pcName, &nDigits);
    if (i == kNone || nDigits > 10)
        return 0;
    *pqwValue = 0;
    for (size_t k = 0; k < nDigits; ++k)
        *pqwValue = *pqwValue * 10 + (ULONGLONG)(strXml[i + k] - '0');
    return *pqwValue <= 0xFFFFFFFFull;
}

void WriteNumber(std::string* pstrXml, const char* pcName, ULONGLONG qwValue)
{
    size_t nDigits = 0;
    size_t i = FindNumber(*pstrXml, pcName, &nDigits);
    pstrXml->replace(i, nDigits, std::to_string(qwValue));
}

// Moves the 64-bit count held as two 32-bit halves on by qwAdd.
void MoveTimePair(std::string* pstrXml, const char* pcLow, const char* pcHigh, ULONGLONG qwAdd)
{
    ULONGLONG qwLow = 0, qwHigh = 0;
    if (!ReadNumber(*pstrXml, pcLow, &qwLow) || !ReadNumber(*pstrXml, pcHigh, &qwHigh))
        return;
    ULONGLONG qwTime = ((qwHigh << 32) | qwLow) + qwAdd;
    WriteNumber(pstrXml, pcLow, qwTime & 0xFFFFFFFFull);
    WriteNumber(pstrXml, pcHigh, qwTime >> 32);
}

bool IsAlnum(char c)
{
    return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

// The smallest alphabet that holds every character of the tail, so that the
// new tail looks like the old: decimal, hexadecimal, letters of one case, or
// both cases.
const char* PickAlphabet(const std::string& strTail)
{
    bool bUpper = false, bLower = false, bHexOnly = true;
    for (char c : strTail)
    {
        bUpper = bUpper || (c >= 'A' && c <= 'Z');
        bLower = bLower || (c >= 'a' && c <= 'z');
        bHexOnly = bHexOnly &&
                   ((c >= '0' && c <= '9') || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f'));
    }
    if (!bUpper && !bLower)
        return "0123456789";
    if (bHexOnly && !(bUpper && bLower))
        return bUpper ? "0123456789ABCDEF" : "0123456789abcdef";
    if (!(bUpper && bLower))
        return bUpper ? "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ"
                      : "0123456789abcdefghijklmnopqrstuvwxyz";
    return "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
}

// Adds dwAdd to the letters and digits of the FILE_UID text [iText, iEnd),
// read as one number: from its end, runs of at most kMaxUidTail letters and
// digits (a separator ends a run), each counted in its own smallest alphabet,
// and a run that wraps carries into the run before it. Every character keeps
// its place, and every run its alphabet; pieces stay unlike each other and the
// source as long as the UID has more values than the file has pieces.
void AddToUid(std::string* pstrXml, size_t iText, size_t iEnd, ULONGLONG qwAdd)
{
    size_t iRunEnd = iEnd;
    while (qwAdd != 0)
    {
        while (iRunEnd > iText && !IsAlnum((*pstrXml)[iRunEnd - 1]))
            --iRunEnd;
        size_t iRun = iRunEnd;
        while (iRun > iText && iRunEnd - iRun < kMaxUidTail && IsAlnum((*pstrXml)[iRun - 1]))
            --iRun;
        if (iRun == iRunEnd)
            return; // the whole UID wrapped
        std::string strRun = pstrXml->substr(iRun, iRunEnd - iRun);
        std::string strAlphabet = PickAlphabet(strRun);
        ULONGLONG qwBase = strAlphabet.size();
        ULONGLONG qwValue = 0, qwSpan = 1;
        for (char c : strRun)
        {
            qwValue = qwValue * qwBase + strAlphabet.find(c);
            qwSpan *= qwBase;
        }
        // At most 62^8 values a run: the sum stays far inside 64 bits.
        qwValue += qwAdd;
        qwAdd = qwValue / qwSpan;
        qwValue %= qwSpan;
        for (size_t i = strRun.size(); i > 0; --i)
        {
            strRun[i - 1] = strAlphabet[(size_t)(qwValue % qwBase)];
            qwValue /= qwBase;
        }
        pstrXml->replace(iRun, strRun.size(), strRun);
        iRunEnd = iRun;
    }
}

// The FILE_UID plus the piece number: a UID of the same length and alphabet.
void DeriveFileUid(std::string* pstrXml, DWORD dwPiece)
{
    size_t iText = pstrXml->find("<FILE_UID>");
    if (iText == kNone)
        return;
    iText += 10;
    size_t iEnd = pstrXml->find("</FILE_UID>", iText);
    if (iEnd == kNone)
        return;
    AddToUid(pstrXml, iText, iEnd, dwPiece);
}

// Frames of the file's rate counted at another rate, without overflow for
// any count a file can hold.
ULONGLONG ScaleFrames(ULONGLONG qwFrames, ULONGLONG qwTo, ULONGLONG qwFrom)
{
    return qwFrames / qwFrom * qwTo + qwFrames % qwFrom * qwTo / qwFrom;
}
} // namespace

std::string MakePieceIXml(const std::string& strSource, ULONGLONG qwFramesBefore, DWORD dwPiece,
                          DWORD dwSamplingRate)
{
    std::string strXml = strSource;
    MoveTimePair(&strXml, "BWF_TIME_REFERENCE_LOW", "BWF_TIME_REFERENCE_HIGH", qwFramesBefore);
    ULONGLONG qwStampRate = 0;
    ULONGLONG qwStampFrames = qwFramesBefore;
    if (ReadNumber(strXml, "TIMESTAMP_SAMPLE_RATE", &qwStampRate) && qwStampRate != 0 &&
        dwSamplingRate != 0 && qwStampRate != dwSamplingRate)
        qwStampFrames = ScaleFrames(qwFramesBefore, qwStampRate, dwSamplingRate);
    MoveTimePair(&strXml, "TIMESTAMP_SAMPLES_SINCE_MIDNIGHT_LO",
                 "TIMESTAMP_SAMPLES_SINCE_MIDNIGHT_HI", qwStampFrames);
    DeriveFileUid(&strXml, dwPiece);
    return strXml;
}
