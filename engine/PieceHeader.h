// The header every piece starts with. Pieces of a file read by its first
// kilobyte get the canonical 44-byte header; pieces of a file read by the
// chunk walk carry its "fmt " chunk verbatim, a "fact" chunk for float data,
// its bext (time reference moved to the piece's first frame) and iXML (time
// reference and FILE_UID the piece's own) chunks.
// A piece whose file would reach 4 GiB is written as RF64 with a ds64 chunk.
// A piece whose blocks are shared with its source has a JUNK chunk just
// before "data", sized so that its audio keeps the source's offset within a
// block.
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
// other chunks, then a JUNK chunk of dwJunk bytes (0: none), just before
// "data"; the header is then that much longer, and a piece needs RF64 when
// IsRf64Piece says so for qwDataSize plus their size.
DWORD BuildPieceHeaderWith(const CMyWaveHeader& src, ULONGLONG qwDataSize, ULONGLONG qwFramesBefore,
                           DWORD dwPiece, int bRf64, const std::string& strMarkers,
                           CMyByteBuff* pOut, DWORD dwJunk = 0);

// Whole blocks of this size are shared between a piece and its source: the
// block of the file systems that share them, and the page the kernel copies.
const DWORD kShareBlockSize = 4096;

// The bytes (header and body) of the JUNK chunk that, after qwHeadLength
// bytes, puts a piece's first audio byte at the offset within a
// kShareBlockSize block that it has at qwSrcOffset in the source; 0 when no
// chunk can (the offset is odd, and chunks start at even offsets).
DWORD CalcAlignJunkLength(ULONGLONG qwHeadLength, ULONGLONG qwSrcOffset);

// The bytes before a piece's audio: the header in the form its file needs
// (dwHead plain, dwHeadRf64 as RF64, which a file of 4 GiB or more takes),
// qwChunks of chunks after it and, with bAlign, the JUNK chunk that aligns the
// audio at qwSrcOffset. *pbRf64 (may be null) gets the form, *pdwJunk (may be
// null) the JUNK chunk's bytes.
ULONGLONG CalcPieceLeadLength(DWORD dwHead, DWORD dwHeadRf64, ULONGLONG qwChunks,
                              ULONGLONG qwDataSize, int bAlign, ULONGLONG qwSrcOffset, int* pbRf64,
                              DWORD* pdwJunk);
