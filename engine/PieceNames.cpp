// Piece names from a template.
#include "engine/PieceNames.h"

#include "engine/Markers.h"
#include "engine/WaveHeader.h"
#include "support/SJisByteType.h"
#include "support/SystemNames.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

namespace
{
// Where a bext body holds its OriginationDate ("yyyy-mm-dd").
const DWORD kBextDate = 320;
const DWORD kBextTimeEnd = 346;

struct FieldName
{
    const char* pcName;
    NameField Field;
};

const FieldName kFields[] = {
    {"title", kFieldTitle},     {"n", kFieldNumber},
    {"count", kFieldCount},     {"start", kFieldStart},
    {"time", kFieldTime},       {"date", kFieldDate},
    {"label", kFieldLabel},     {"performer", kFieldPerformer},
    {"channel", kFieldChannel},
};

void AddText(CMyNameTemplate* pTemplate, const char* pc, size_t n)
{
    if (n == 0)
        return;
    if (pTemplate->Parts.empty() || pTemplate->Parts.back().Field != kFieldText)
        pTemplate->Parts.push_back(CMyNamePart());
    pTemplate->Parts.back().strText.Append(pc, (int)n);
}

// The characters the system refuses in a name as '_' (AppendNameByte: one
// rule for every name's text). The second byte of a Shift-JIS character is
// never one of them; a lead byte without its trail byte (a label that is no
// Shift-JIS text) is no character, and the byte after it is judged on its
// own ("\x81/" must not reach the system as a separator).
CString MakeNameSafe(const CString& strText)
{
    std::string strOut;
    const char* pc = strText;
    for (size_t i = 0; pc[i] != '\0'; ++i)
    {
        if (GetSJisCharBytes(pc + i) == 2)
        {
            strOut.append(pc + i, 2);
            ++i;
        }
        else if (IsCodePageLeadByte((BYTE)pc[i]))
            strOut += '_';
        else
            AppendNameByte((BYTE)pc[i], &strOut);
    }
    return CString(strOut.c_str());
}

// Names Windows keeps for devices, whatever the extension.
int IsDeviceName(const CString& strStem)
{
    static const char* const kDevices[] = {"CON", "PRN", "AUX", "NUL"};
    for (const char* pc : kDevices)
        if (strStem.CompareNoCase(pc) == 0)
            return 1;
    if (strStem.GetLength() == 4 && strStem[3] >= '1' && strStem[3] <= '9')
        return strStem.Left(3).CompareNoCase("COM") == 0 ||
               strStem.Left(3).CompareNoCase("LPT") == 0;
    return 0;
}

// A name as Windows compares names (letter case aside), as a 64-bit hash: a
// plan of a million pieces keeps 8 bytes a name, not the name. Two names
// that differ but hash alike (about one chance in 2^64 a pair) only cost
// the later one a "_2" it did not need.
ULONGLONG HashName(const CString& strName)
{
    CString strKey(strName);
    strKey.MakeUpper();
    ULONGLONG qwHash = 14695981039346656037ull; // FNV-1a
    for (const char* pc = strKey; *pc != '\0'; ++pc)
        qwHash = (qwHash ^ (BYTE)*pc) * 1099511628211ull;
    return qwHash;
}

CString FormatNumber(DWORD dwNumber)
{
    CString str;
    str.Format("%03u", dwNumber);
    return str;
}

// The stem cut after its longest run of whole characters with which stem +
// pcEnd fits the system's limit in the folder (never to a device's name); as
// it is when it fits already, or when not even its first character would
// (the open then fails as it always did). *pbCut is set when it is cut.
CString FitStem(const CString& strFolderSep, const CString& strStem, const char* pcEnd, int* pbCut)
{
    if (FitsNameLimit(strFolderSep, strStem + pcEnd))
        return strStem;
    std::vector<int> ends; // where each character ends
    const char* pc = strStem;
    for (int i = 0; pc[i] != '\0';)
    {
        i += GetSJisCharBytes(pc + i);
        ends.push_back(i);
    }
    // The longer the stem, the more it takes: the last count of characters
    // that fits is found by halves.
    size_t nFit = 0, nOver = ends.size();
    while (nOver - nFit > 1)
    {
        size_t nMid = (nFit + nOver) / 2;
        if (FitsNameLimit(strFolderSep, strStem.Left(ends[nMid - 1]) + pcEnd))
            nFit = nMid;
        else
            nOver = nMid;
    }
    while (nFit > 0 && IsDeviceName(strStem.Left(ends[nFit - 1])))
        --nFit;
    if (nFit == 0)
        return strStem;
    *pbCut = 1;
    return strStem.Left(ends[nFit - 1]);
}

// The label of the last marker at or before the frame (the first on its
// frame that has one); empty when there is none. *pqwFound: its frame.
CString LabelAt(const std::vector<CMyMarker>* pMarkers, ULONGLONG qwFrame, int* pbFound,
                ULONGLONG* pqwFound)
{
    *pbFound = 0;
    if (pMarkers == nullptr)
        return CString();
    const CMyMarker* pFound = nullptr;
    for (const CMyMarker& marker : *pMarkers)
    {
        if (marker.qwFrame > qwFrame)
            break;
        if (pFound == nullptr || pFound->qwFrame != marker.qwFrame || pFound->strLabel.IsEmpty())
            pFound = &marker;
    }
    if (pFound == nullptr)
        return CString();
    *pbFound = 1;
    *pqwFound = pFound->qwFrame;
    return pFound->strLabel;
}

// The user's cut the piece from the frame belongs to: the last at or before
// it, the first with a label on its frame; null when there is none.
const CMyFixedCut* CutAt(const std::vector<CMyFixedCut>* pCuts, ULONGLONG qwFrame)
{
    if (pCuts == nullptr)
        return nullptr;
    auto it =
        std::upper_bound(pCuts->begin(), pCuts->end(), qwFrame,
                         [](ULONGLONG qw, const CMyFixedCut& cut) { return qw < cut.qwFrame; });
    if (it == pCuts->begin())
        return nullptr;
    const ULONGLONG qwCut = (it - 1)->qwFrame;
    auto itFirst =
        std::lower_bound(pCuts->begin(), it, qwCut,
                         [](const CMyFixedCut& cut, ULONGLONG qw) { return cut.qwFrame < qw; });
    for (auto itCut = itFirst; itCut != it; ++itCut)
        if (!itCut->strLabel.IsEmpty())
            return &*itCut;
    return &*itFirst;
}

// The piece's label: the marker's or the user's cut's, whichever is later
// (on one frame the marker's, when it has one).
CString GetPieceLabel(const std::vector<CMyMarker>* pMarkers, const CMyFixedCut* pCut,
                      ULONGLONG qwStart)
{
    int bMarker = 0;
    ULONGLONG qwMarker = 0;
    CString strLabel = LabelAt(pMarkers, qwStart, &bMarker, &qwMarker);
    if (pCut == nullptr || (bMarker && qwMarker > pCut->qwFrame) ||
        (bMarker && qwMarker == pCut->qwFrame && !strLabel.IsEmpty()))
        return strLabel;
    return pCut->strLabel;
}
} // namespace

int ParseNameTemplate(const char* pcTemplate, CMyNameTemplate* pTemplate, CString* pstrBad)
{
    pTemplate->Parts.clear();
    const char* pc = pcTemplate != nullptr ? pcTemplate : "";
    size_t iText = 0;
    size_t i = 0;
    while (pc[i] != '\0')
    {
        if (GetSJisCharBytes(pc + i) == 2)
        {
            i += 2;
            continue;
        }
        if (pc[i] != '{')
        {
            ++i;
            continue;
        }
        AddText(pTemplate, pc + iText, i - iText);
        const char* pcClose = strchr(pc + i, '}');
        size_t nName = pcClose != nullptr ? (size_t)(pcClose - pc - i - 1) : 0;
        const FieldName* pField = nullptr;
        for (const FieldName& field : kFields)
            if (pcClose != nullptr && strlen(field.pcName) == nName &&
                memcmp(field.pcName, pc + i + 1, nName) == 0)
                pField = &field;
        if (pField == nullptr)
        {
            *pstrBad = pcClose != nullptr ? CString(pc + i, (int)nName + 2) : CString("{");
            pTemplate->Parts.clear();
            return 0;
        }
        CMyNamePart part;
        part.Field = pField->Field;
        pTemplate->Parts.push_back(part);
        i += nName + 2;
        iText = i;
    }
    AddText(pTemplate, pc + iText, i - iText);
    // "{title}_{n}.wav" names x_001.wav, not x_001.wav.wav. ".wav" holds no
    // byte that ends a Shift-JIS character.
    if (!pTemplate->Parts.empty() && pTemplate->Parts.back().Field == kFieldText)
    {
        CString& strLast = pTemplate->Parts.back().strText;
        if (strLast.GetLength() >= 4 && strLast.Right(4).CompareNoCase(".wav") == 0)
            strLast = strLast.Left(strLast.GetLength() - 4);
        if (strLast.IsEmpty())
            pTemplate->Parts.pop_back();
    }
    return 1;
}

void ReadBextFacts(const std::string& strBext, CMyNameFacts* pFacts)
{
    pFacts->bTimeReference = 0;
    pFacts->qwTimeReference = 0;
    pFacts->strDate.Empty();
    if (strBext.size() < kBextTimeEnd)
        return;
    const BYTE* pb = (const BYTE*)strBext.data();
    pFacts->bTimeReference = 1;
    for (int i = 7; i >= 0; --i)
        pFacts->qwTimeReference = (pFacts->qwTimeReference << 8) | pb[kBextTimeReference + i];
    // "yyyy-mm-dd"; the standard lets the separators be any of "-_:. ".
    const char* pcDate = strBext.data() + kBextDate;
    static const int kDigits[] = {0, 1, 2, 3, 5, 6, 8, 9};
    CString strDate;
    for (int k : kDigits)
    {
        if (pcDate[k] < '0' || pcDate[k] > '9')
            return;
        strDate += pcDate[k];
    }
    pFacts->strDate = strDate;
}

CString FormatStartField(ULONGLONG qwFrame, DWORD dwSamplingRate)
{
    if (dwSamplingRate == 0)
        return CString();
    ULONGLONG qwSeconds = qwFrame / dwSamplingRate;
    ULONGLONG qwRest = qwFrame % dwSamplingRate;
    CString str;
    str.Format("%02I64u-%02u-%02u", qwSeconds / 3600, (DWORD)(qwSeconds / 60 % 60),
               (DWORD)(qwSeconds % 60));
    if (qwRest != 0)
        str.AppendFormat(".%03u", (DWORD)(qwRest * 1000 / dwSamplingRate));
    return str;
}

void NamePlanPieces(const CMyNameTemplate& nameTemplate, const CMyNameFacts& facts,
                    const std::vector<CMyMarker>* pMarkers, CMyPlan* pPlan,
                    const std::vector<CMyFixedCut>* pCuts)
{
    const DWORD dwRate = pPlan->dwSamplingRate;
    const DWORD dwCount = (DWORD)pPlan->Pieces.size();
    // Split by channel, the files of a piece share its number.
    const DWORD dwPieces = dwCount / pPlan->GetFilesPerPiece();
    int bTimeFell = 0, bDateFell = 0, bLabelFell = 0, bPerformerFell = 0;
    CString strFirstShort;
    pPlan->dwShortNames = 0;
    std::unordered_set<ULONGLONG> taken;
    // For each stem met more than once, the suffix to try next: many pieces
    // of one name number on without trying every suffix again.
    std::unordered_map<ULONGLONG, DWORD> nextSuffix;
    taken.reserve(dwCount);
    for (DWORD i = 0; i < dwCount; ++i)
    {
        CMyPlanPiece& piece = pPlan->Pieces[i];
        const DWORD dwNumber = pPlan->GetPieceNumber(i);
        const CMyFixedCut* pCut = CutAt(pCuts, piece.qwStart);
        CString strStem;
        for (const CMyNamePart& part : nameTemplate.Parts)
        {
            CString strValue;
            switch (part.Field)
            {
            case kFieldText:
                strValue = part.strText;
                break;
            case kFieldTitle:
                // Already a valid file name: taken as it is, so that names stay today's.
                strStem += facts.strTitle;
                continue;
            case kFieldNumber:
                strValue = FormatNumber(dwNumber);
                break;
            case kFieldCount:
                strValue.Format("%u", dwPieces);
                break;
            case kFieldStart:
                strValue = FormatStartField(piece.qwStart, dwRate);
                break;
            case kFieldTime:
                if (facts.bTimeReference && dwRate != 0)
                {
                    ULONGLONG qwSeconds = (facts.qwTimeReference + piece.qwStart) / dwRate % 86400;
                    strValue.Format("%02u%02u%02u", (DWORD)(qwSeconds / 3600),
                                    (DWORD)(qwSeconds / 60 % 60), (DWORD)(qwSeconds % 60));
                }
                else
                {
                    bTimeFell = 1;
                    strValue = FormatStartField(piece.qwStart, dwRate);
                }
                break;
            case kFieldDate:
                strValue = facts.strDate;
                bDateFell = bDateFell || facts.strDate.IsEmpty();
                break;
            case kFieldLabel:
                strValue = GetPieceLabel(pMarkers, pCut, piece.qwStart);
                if (strValue.IsEmpty())
                {
                    bLabelFell = 1;
                    strValue = FormatNumber(dwNumber);
                }
                break;
            case kFieldChannel:
                // A piece of every channel has none (the request refuses it).
                if (!pPlan->Outputs.empty())
                    strValue = pPlan->Outputs[piece.wOutput].strChannel;
                break;
            case kFieldPerformer:
                if (pCut != nullptr)
                    strValue = pCut->strPerformer;
                bPerformerFell = bPerformerFell || strValue.IsEmpty();
                break;
            }
            strStem += MakeNameSafe(strValue);
        }
        // A name needs a stem, and one that is no device's.
        if (strStem.IsEmpty())
            strStem = FormatNumber(dwNumber);
        if (IsDeviceName(strStem))
            strStem += '_';
        int bCut = 0;
        CString strName = FitStem(facts.strFolderSep, strStem, ".wav", &bCut) + ".wav";
        ULONGLONG qwHash = HashName(strName);
        if (!taken.insert(qwHash).second)
        {
            DWORD& dwNext = nextSuffix.emplace(qwHash, 2).first->second;
            CString strSuffix;
            do
            {
                strSuffix.Format("_%u.wav", dwNext++);
                bCut = 0;
                strName = FitStem(facts.strFolderSep, strStem, strSuffix, &bCut) + strSuffix;
            } while (!taken.insert(HashName(strName)).second);
        }
        if (bCut && pPlan->dwShortNames++ == 0)
            strFirstShort = strName;
        piece.strName = strName;
    }
    if (pPlan->dwShortNames != 0)
    {
        CString strNote;
        strNote.Format("名前が長すぎる分割ファイルは、.wavの前を短くします。\n"
                       "\tCount[%u], FirstName[%s]\n",
                       pPlan->dwShortNames, (const char*)strFirstShort);
        pPlan->Notes.push_back(strNote);
    }
    if (bTimeFell)
        pPlan->Notes.push_back("bextチャンクがないため、{time}の代わりに{start}を使います。\n");
    if (bDateFell)
        pPlan->Notes.push_back("bextチャンクに日付がないため、{date}を空にします。\n");
    if (bLabelFell)
        pPlan->Notes.push_back("ラベルのない分割ファイルには、{label}の代わりに番号を使います。\n");
    if (bPerformerFell)
        pPlan->Notes.push_back("演奏者のない分割ファイルは、{performer}を空にします。\n");
}
