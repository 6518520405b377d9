// The header every piece starts with. Pieces of a file read by its first
// kilobyte get the canonical 44-byte header; pieces of a file read by the
// chunk walk carry its "fmt " chunk verbatim, a "fact" chunk for float data,
// its bext (time reference moved to the piece's first frame) and iXML (time
// reference and FILE_UID the piece's own) chunks.
// A piece whose file would reach 4 GiB is written as RF64 with a ds64 chunk.
#pragma once

#include "engine/ByteBuff.h"
#include "engine/WaveHeader.h"

#include <string>

// 1 when a piece of qwDataSize bytes whose first frame is frame
// qwFramesBefore of the source needs the RF64 form.
int IsRf64Piece(const CMyWaveHeader& src, ULONGLONG qwDataSize, ULONGLONG qwFramesBefore);
// Bytes before the samples in that piece, in either form (the numbers of its
// iXML time reference may be longer than the source's).
DWORD CalcPieceHeaderLength(const CMyWaveHeader& src, int bRf64, ULONGLONG qwFramesBefore);
// Writes the header of piece number dwPiece (1 on), of qwDataSize bytes whose
// first frame is frame qwFramesBefore of the source, into *pOut; gives its
// length, or 0 when the buffer cannot grow. The length does not depend on
// qwDataSize, so a piece's header can be rewritten in place with its final
// size.
DWORD BuildPieceHeader(const CMyWaveHeader& src, ULONGLONG qwDataSize, ULONGLONG qwFramesBefore,
                       DWORD dwPiece, int bRf64, CMyByteBuff* pOut);
// The same with strMarkers (whole chunks: a piece's cue and adtl) after the
// other chunks, just before "data"; the header is then that much longer, and
// a piece needs RF64 when IsRf64Piece says so for qwDataSize plus their size.
DWORD BuildPieceHeaderWith(const CMyWaveHeader& src, ULONGLONG qwDataSize, ULONGLONG qwFramesBefore,
                           DWORD dwPiece, int bRf64, const std::string& strMarkers,
                           CMyByteBuff* pOut);
