// What the command line says on the terminal, in the user's language.
#include "cli/Messages.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace
{
// In CliMessage's order.
const CliMessageText g_texts[kMsgCount] = {
    {"files: %u, split: %u", "%u 個中 %u 個のファイルを分割処理しました。", 1},
    {"files whose names collide: %u", "※　%u 個のファイルが重複しています。", 1},
    {"the output folder has too little free space", "※　出力フォルダの空き容量が足りません。", 1},
    {"the list of files grows too large", "ファイルパスリストが大きくなりすぎます。", 1},
    {"cannot open the trace file", "トレース用ファイルが開けません", 1},
    {"invalid length given with -l", "※　無効な区間長です。", 1},
    {"no WAV file to split", "※　分割元ファイルがセットされていません。", 1},
    {"Try 'wavoss-split --help'", "詳しくは 'wavoss-split --help' を実行してください。", 0},
    {"dry run: %u of %u files would be split", "試行: %u 個のファイルを分割します（全 %u 個中）",
     0},
    {"interrupted: %u of %u files were split to the end",
     "中断: %u 個のファイルを最後まで分割しました（全 %u 個中）", 0},
    {"; cut short (the pieces written so far are kept, the last one shorter): ",
     "。途中で終えたファイル（書いたピースは残り、最後のピースは短くなります）: ", 0},
    {"interrupted while collecting; nothing was split",
     "ファイルを集める途中で中断しました。分割したファイルはありません", 0},
    {"not split: ", "分割しませんでした: ", 0},
    {"would not be split: ", "分割しません: ", 0},
    {"the files that were not split and why are in ",
     "分割しなかったファイルとその理由の詳細: ", 0},
    {"no output folder given (-o DIR)", "出力フォルダが指定されていません (-o DIR)", 0},
    {"no WAV file or folder given", "WAVファイルかフォルダが指定されていません", 0},
    {"its pieces exist already, not split again (-n): ",
     "ピースが既にあるため、もう一度は分割しません (-n): ", 0},
    {"%u of its %u pieces exist already as planned; not split, not overwritten (-n; run "
     "without -n to replace them): ",
     "%u 個のピースだけが計画どおりにあります（全 %u 個中）。分割も上書きもしません（置き換える"
     "には -n を付けずに実行してください）: ",
     0},
    {"%u of its %u pieces exist already whole and are kept; the rest are written (-n): ",
     "%u 個のピースが既に完全にあるため残し、残りを書きます（全 %u 個中） (-n): ", 0},
    {"no marker to cut at, one piece holds the whole file (-m): ",
     "区切るマーカーがないため、1つのピースにファイル全体が入ります (-m): ", 0},
    {"no pause to cut at, one piece holds the whole file (-P): ",
     "区切る無音がないため、1つのピースにファイル全体が入ります (-P): ", 0},
    {"its header claims %I64u bytes of audio, the file holds %I64u; only those are split: ",
     "ヘッダは %I64u バイトのデータがあるとしていますが、ファイルにあるのは %I64u "
     "バイトです。あるデータだけを分割します: ",
     0},
    {"the name collides, not split: ", "名前が重複するため分割しません: ", 0},
    {"the colliding files are listed in ", "重複するファイルの一覧: ", 0},
    {"not every piece could be written whole", "ピースをすべては書けませんでした", 0},
    {"the reason is in the trace file", "理由はトレースファイルにあります", 0},
    {"the path %s, skipped: ", "パス%s。飛ばします: ", 0},
    {"the name %s, left out: ", "名前%s。除きます: ", 0},
    {"has characters that Shift-JIS cannot hold beyond the 1,880 kinds one run can map",
     "に、1回の実行で対応できる1,880種を超えてShift-JISにない文字があります", 0},
    {"cannot make the path absolute, skipped: ", "パスを絶対パスにできないため飛ばします: ", 0},
    {"no such file or folder, skipped: ", "ファイルもフォルダもないため飛ばします: ", 0},
    {"a root folder or a file right in it cannot be taken, skipped: ",
     "ルートフォルダとその直下のファイルは扱えないため飛ばします: ", 0},
    {"the PATH is the output folder itself (-o), skipped: ",
     "PATHが出力フォルダ (-o) そのものなので飛ばします: ", 0},
    {"cannot read the folder (%s), skipped: ", "フォルダを読めないため飛ばします (%s): ", 0},
    {"not a regular file (a FIFO, socket or device), skipped: ",
     "通常のファイルではない（FIFO、ソケット、デバイス）ため飛ばします: ", 0},
    {"not a regular file (a FIFO, socket or device), left out: ",
     "通常のファイルではない（FIFO、ソケット、デバイス）ため除きます: ", 0},
    {"not a .wav file, skipped: ", ".wavファイルではないため飛ばします: ", 0},
    {"cannot read the folder (%s), its files are left out: ",
     "フォルダを読めないため、その中のファイルを除きます (%s): ", 0},
    {"collecting: %u files", "収集中: %u 個のファイル", 0},
    {"cannot write to standard output", "標準出力に書き込めません", 0},
    {"output folder", "出力フォルダ", 0},
    {"log folder", "ログフォルダ", 0},
    {"cannot make the %s absolute: ", "%sを絶対パスにできません: ", 0},
    {"the %s is a file: ", "%sがファイルです: ", 0},
    {"cannot create the %s (%s): ", "%sを作成できません (%s): ", 0},
    {"cannot write %s (give a writable folder with --log-dir)",
     "%s に書き込めません（書き込めるフォルダを --log-dir で指定してください）", 0},
    {"cannot make the plan file absolute: ", "計画ファイルを絶対パスにできません: ", 0},
    {"the plan file is a folder: ", "計画ファイルがフォルダです: ", 0},
    {"--plan names a WAV file, which is not overwritten (give the plan file's own name after "
     "--plan): ",
     "--plan の後はWAVファイルなので上書きしません（--plan "
     "の後に計画ファイルの名前を指定してください）: ",
     0},
    {"--plan names a file that is not a plan, which is not overwritten: ",
     "--plan の後は計画ファイルではないので上書きしません: ", 0},
    {"cannot read the plan file to see that it is a plan (%s): ",
     "計画ファイルかどうかを確かめるために読めません (%s): ", 0},
    {"cannot create the plan file (%s): ", "計画ファイルを作成できません (%s): ", 0},
    {"cannot write the plan file (%s): ", "計画ファイルに書き込めません (%s): ", 0},
    {"no folder for TraceFile.txt is known (give one with --log-dir)",
     "TraceFile.txt を置くフォルダがわかりません（--log-dir で指定してください）", 0},
    {"cannot start the add-files job", "ファイルを集める処理を開始できません", 0},
    {"cannot start the batch run", "分割処理を開始できません", 0},
    {"cannot write %s (%s): entries of this run are missing from it",
     "%s に書き込めません (%s)。この実行の記録が欠けています", 0},
    {"%u of its %u pieces would start their audio at an odd offset: they cannot share "
     "blocks and are copied (--share-blocks): ",
     "%u 個のピースはデータが奇数バイト目から始まるため、ブロックを共有せずにコピーします（全 "
     "%u 個中） (--share-blocks): ",
     0},
    // The user's cut lists.
    {"no cut for it in the cut lists, one piece holds the whole file: ",
     "区切りリストに区切りがないため、1つのピースにファイル全体が入ります: ", 0},
    {"line %u of the cut list cannot be read (a cue sheet, a label list of start<TAB>end<TAB>"
     "text, or a plan CSV): ",
     "区切りリストの %u 行目を読めません（キューシート、「開始<TAB>終了<TAB>テキスト」の"
     "ラベルリスト、計画CSVのどれか）: ",
     0},
    {"the cut list has no cut: ", "区切りリストに区切りがありません: ", 0},
    {"cannot read the cut list (%s): ", "区切りリストを読めません (%s): ", 0},
    {"too large for a cut list (over 64 MiB): ", "区切りリストとしては大きすぎます（64 MiB 超）: ",
     0},
    {"invalid --at '%s' (times separated by commas: hh:mm:ss.fff, mm:ss or seconds)",
     "--at '%s' が無効です（時刻 hh:mm:ss.fff、mm:ss か秒を , で区切ってください）", 0},
    // Reasons.
    {"the output path is invalid", "出力基本パスが無効です。", 1},
    {"cannot open the file", "入力ファイルのオープンに失敗。", 1},
    {"not a valid WAVE header", "無効なWAVEヘッダです。", 1},
    {"the file ends before its audio starts", "ファイルサイズがデータ先頭アドレスより小さいです。",
     1},
    {"its header says it holds no audio", "のデータサイズが0のため分割しません。", 1},
    {"a piece would overwrite a collected file",
     "ピースが収集済みのファイルを上書きするため分割しません。", 1},
    {"a piece would take the name of a piece of a file split before",
     "ピースが先に分割したファイルのピースと同じ名前になるため分割しません。", 1},
    {"pieces on disk do not match the plan (run without -n to replace them)",
     "既にあるピースが分割の計画と合わないため分割せず、上書きもしません。", 1},
    {"it would give too many pieces", "分割ファイルが多すぎるため分割しません。", 1},
    {"the length is shorter than one sample", "区間長が1サンプルより短いため分割できません。", 1},
    {"the number of pieces is 0 or more than the samples",
     "分割数が0か、サンプル数より多いため分割できません。", 1},
    {"the size limit cannot hold the header and one sample",
     "サイズ上限にヘッダと1サンプルが収まりません。", 1},
    {"the size limit cannot hold the header, the markers and one sample",
     "サイズ上限にヘッダとマーカーと1サンプルが収まりません。", 1},
    {"interrupted while planning", "中止されたため計画を途中で終えました。", 1},
    {"cannot read from the start of the audio",
     "ソースファイルの読込位置をデータ先頭に合わせられませんでした。", 1},
    {"cannot create the output folder", "出力フォルダを作成できません。", 1},
    {"invalid WAVE parameters", "無効なWaveパラメータです。", 1},
    {"too short for a WAVE file", "WAVEファイルとしては短すぎます。", 1},
    {"cannot read the file", "ファイルを読み込めません。", 1},
    {"not a RIFF file", "RIFFファイルではありません。", 1},
    {"not a WAVE file", "WAVEファイルではありません。", 1},
    {"too many chunks", "チャンクが多すぎます。", 1},
    {"no data chunk", "dataチャンクがありません。", 1},
    {"no fmt chunk before the data chunk", "dataチャンクの前にfmtチャンクがありません。", 1},
    {"an RF64 file without a ds64 chunk", "RF64ファイルにds64チャンクがありません。", 1},
    {"the data chunk holds no audio", "dataチャンクにデータがありません。", 1},
    {"a chunk runs past the end of the file", "チャンクがファイルの終わりを越えています。", 1},
    {"the fmt chunk's size is invalid", "fmtチャンクの大きさが無効です。", 1},
    {"cannot read the fmt chunk", "fmtチャンクを読めません。", 1},
    {"the ds64 chunk is invalid", "ds64チャンクが無効です。", 1},
    {"the extensible fmt chunk is invalid", "拡張フォーマットのfmtチャンクが無効です。", 1},
    {"the extensible format's valid bits are invalid", "拡張フォーマットの有効ビット数が無効です。",
     1},
    {"the file lacks a channel of --channels",
     "指定したチャンネルがファイルにないため分割しません。", 1},
};

CliLanguage g_language = kLangEnglish;

int IsLeadByte(unsigned char c)
{
    return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC);
}

int IsNameChar(char c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_' ||
           c == ':';
}

// The line without the function's name that ends it ("...。MakeSplitPlan()"),
// walked forwards: a Shift-JIS trail byte may look like a letter.
CString DropFunctionName(const CString& strLine)
{
    const char* pc = strLine;
    const int nLen = strLine.GetLength();
    if (nLen < 2 || pc[nLen - 2] != '(' || pc[nLen - 1] != ')')
        return strLine;
    int iName = -1;
    for (int i = 0; i < nLen - 2;)
    {
        if (IsLeadByte((unsigned char)pc[i]) && i + 1 < nLen)
        {
            iName = -1;
            i += 2;
            continue;
        }
        if (!IsNameChar(pc[i]))
            iName = -1;
        else if (iName < 0)
            iName = i;
        i++;
    }
    if (iName < 0)
        return strLine;
    while (iName > 0 && pc[iName - 1] == ' ')
        iName--;
    return strLine.Left(iName);
}
// The window's words as a pattern for the line: its numbers are read back.
int MatchBoxLine(const CString& strLine, CliMessage message, unsigned* puValues)
{
    const char* pcJapanese = g_texts[message].pcJapanese;
    const char* pcField = strchr(pcJapanese, '%');
    int nUsed = -1;
    CString strPattern = CString(pcJapanese) + "%n";
    if (pcField == nullptr)
        sscanf(strLine, strPattern, &nUsed);
    else if (strchr(pcField + 1, '%') == nullptr)
        sscanf(strLine, strPattern, &puValues[0], &nUsed);
    else
        sscanf(strLine, strPattern, &puValues[0], &puValues[1], &nUsed);
    return nUsed == strLine.GetLength();
}
} // namespace

CliLanguage ChooseCliLanguage(const char* pcLcAll, const char* pcLcMessages, const char* pcLang)
{
    const char* apcVars[] = {pcLcAll, pcLcMessages, pcLang};
    for (const char* pcValue : apcVars)
    {
        if (pcValue == nullptr || pcValue[0] == '\0')
            continue;
        // "ja", "ja_JP.UTF-8", "ja_JP.eucJP@...": the language before '_', '.', '@'.
        if (pcValue[0] == 'j' && pcValue[1] == 'a' &&
            (pcValue[2] == '\0' || strchr("_.@", pcValue[2]) != nullptr))
            return kLangJapanese;
        return kLangEnglish;
    }
    return kLangEnglish;
}

void StartCliLanguage()
{
#ifdef _WIN32
    g_language = kLangWindows;
#else
    g_language = ChooseCliLanguage(getenv("LC_ALL"), getenv("LC_MESSAGES"), getenv("LANG"));
#endif
}

CliLanguage GetCliLanguage()
{
    return g_language;
}

const CliMessageText& GetCliMessageText(CliMessage message)
{
    return g_texts[message];
}

const char* GetCliTextIn(CliLanguage language, CliMessage message)
{
    const CliMessageText& text = g_texts[message];
    if (language == kLangJapanese || (language == kLangWindows && text.bWindows))
        return text.pcJapanese;
    return text.pcEnglish;
}

const char* GetCliText(CliMessage message)
{
    return GetCliTextIn(g_language, message);
}

CString TranslateBoxText(const char* pcText)
{
    if (g_language != kLangEnglish)
        return pcText;
    CString strText(pcText);
    CString strRest;
    int iEnd = strText.Find('\n');
    if (iEnd >= 0)
    {
        strRest = strText.Mid(iEnd + 1);
        strText = strText.Left(iEnd);
    }
    for (int i = kMsgSummary; i <= kMsgNoSources; i++)
    {
        unsigned auValues[2] = {0, 0};
        if (!MatchBoxLine(strText, (CliMessage)i, auValues))
            continue;
        CString strOut;
        strOut.Format(g_texts[i].pcEnglish, auValues[0], auValues[1]);
        if (!strRest.IsEmpty())
            strOut += "\n" + strRest;
        return strOut;
    }
    return pcText;
}

CString MakeReasonText(const CString& strTraceEntry)
{
    CString strLine = strTraceEntry;
    int iEnd = strLine.Find('\n');
    if (iEnd >= 0)
        strLine = strLine.Left(iEnd);
    if (strLine.Find("※　") == 0)
        strLine = strLine.Mid(4);
    if (g_language == kLangWindows)
        return strLine;
    strLine = DropFunctionName(strLine);
    if (g_language != kLangEnglish)
        return strLine;
    if (strLine.IsEmpty())
        return strLine;
    for (int i = kMsgReasonFirst; i < kMsgCount; i++)
        if (strLine.Find(g_texts[i].pcJapanese) >= 0)
            return g_texts[i].pcEnglish;
    return g_texts[kMsgUnknownReason].pcEnglish;
}

int IsSummaryBox(const char* pcText)
{
    CString strLine(pcText);
    if (!strLine.IsEmpty() && strLine[strLine.GetLength() - 1] == '\n')
        strLine = strLine.Left(strLine.GetLength() - 1);
    unsigned auValues[2];
    return MatchBoxLine(strLine, kMsgSummary, auValues);
}
