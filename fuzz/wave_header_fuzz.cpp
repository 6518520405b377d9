// Arbitrary bytes as a WAV file through ReadHeader: an accepted header must
// have its "data" tag and size field inside the file (the byte search takes a
// tag whose data would start at the very end; the split then refuses it), and
// the header a piece of it gets must read back with the same parameters.
#include "engine/PieceHeader.h"
#include "engine/WaveFile.h"

#include <cctype>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <unistd.h>

namespace
{
bool WriteFileBytes(const std::string& strPath, const uint8_t* data, size_t size)
{
    FILE* fp = fopen(strPath.c_str(), "wb");
    if (fp == nullptr)
        return false;
    bool bOk = size == 0 || fwrite(data, 1, size, fp) == size;
    return fclose(fp) == 0 && bOk;
}

bool IsDataTag(const uint8_t* pb)
{
    return tolower(pb[0]) == 'd' && tolower(pb[1]) == 'a' && tolower(pb[2]) == 't' &&
           tolower(pb[3]) == 'a';
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const std::string s_strPath = "/tmp/wave_header_fuzz." + std::to_string(getpid());
    static const int s_bCleanUp = atexit([] { remove(s_strPath.c_str()); });
    (void)s_bCleanUp;
    if (!WriteFileBytes(s_strPath, data, size))
        return 0;
    CMyWaveFile file;
    if (!file.SetFilePath(s_strPath.c_str()) || !file.GetTransferBuff().Reallocate(1024, 1))
        abort();
    file.SetTransferLimit(1024);
    if (!file.OpenForRead())
        abort();
    if (!file.ReadHeader())
        return 0;
    const CMyWaveHeader header = file.GetHeader();
    if (header.DataStart > size || header.DataStart < 44 || !IsDataTag(data + header.DataStart - 8))
        abort();
    if (!header.bChunked &&
        (header.DataStart > 299 || header.DataTagOffset > 255 || header.Param.Validate(0) != 1))
        abort();
    if (header.bChunked && header.Param.ValidateChunked(header.SampleFormat, 0) != 1)
        abort();
    // A piece of one frame, in both forms, reads back as the same format.
    for (int bRf64 = 0; bRf64 < 2; ++bRf64)
    {
        CMyByteBuff built;
        DWORD dwLength = BuildPieceHeader(header, header.Param.BlockSize, 7, 2, bRf64, &built);
        if (dwLength == 0 || dwLength != CalcPieceHeaderLength(header, bRf64, 7))
            abort();
        std::string strPiece((const char*)built.GetBuff(), dwLength);
        strPiece.append(header.Param.BlockSize, '\0');
        file.Close();
        if (!WriteFileBytes(s_strPath, (const uint8_t*)strPiece.data(), strPiece.size()) ||
            !file.OpenForRead() || !file.ReadHeader())
            abort();
        const CMyWaveHeader& back = file.GetHeader();
        if (back.DataStart != dwLength || back.DataSize != header.Param.BlockSize ||
            back.Param.Channels != header.Param.Channels ||
            back.Param.Resolution != header.Param.Resolution ||
            back.Param.SamplingRate != header.Param.SamplingRate ||
            (header.bChunked && back.bChunked && back.FmtBody != header.FmtBody))
            abort();
    }
    return 0;
}
