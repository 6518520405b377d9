// Arbitrary bytes as a WAV file through ReadHeader: an accepted header must
// have its "data" tag and size field inside the bytes read, and the canonical
// header built from it must read back the same.
#include "engine/WaveFile.h"

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
    const CMyWaveHeader& header = file.GetHeader();
    if (header.DataStart > size || header.DataStart > 299 || header.DataTagOffset > 255)
        abort();
    if (header.Param.Validate(0) != 1)
        abort();
    CMyByteBuff built;
    if (header.BuildHeader(&built, header.DataSize) != 44)
        abort();
    file.Close();
    if (!WriteFileBytes(s_strPath, built.GetBuff(), 44) || !file.OpenForRead())
        abort();
    // A header alone (44 bytes, no samples) is refused; with one byte it reads.
    FILE* fp = fopen(s_strPath.c_str(), "ab");
    fputc(0, fp);
    fclose(fp);
    file.Close();
    if (!file.OpenForRead() || !file.ReadHeader() || file.GetHeader().DataStart != 44 ||
        file.GetHeader().DataSize != header.DataSize)
        abort();
    return 0;
}
