// Text in the files of the file-handle functions: the line reader of
// fLitLigne(handle) and Unicode text in its file form (16-bit units,
// little-endian).
//
// The line reader differs from IXStream::bReadLine: it reads 80-byte chunks
// (40 units in a Unicode file), the line ends at the first LF and a CR just
// before that LF is dropped with it; a CR elsewhere is text. The position is
// left just after the line end, or at the end of the file. A line longer
// than XSTREAM_LINE_MAX bytes of the file (64 MB, see files/xstream.h) is
// refused: its first XSTREAM_LINE_MAX bytes and one more unit are consumed,
// so that a loop reading line after line still reaches the end of the file.
// Every allocation failure is reported, none throws.
#pragma once
#include <cstddef>

#include "core/zndstr.h"
#include "files/xstream.h"

enum eFICLIGNE {
    FICLIGNE_OK,
    FICLIGNE_LECTURE,        // the stream failed: its error object tells why
    FICLIGNE_TROP_LONGUE,    // longer than XSTREAM_LINE_MAX
    FICLIGNE_MEMOIRE,
};

// Reads the line at the stream's position into sLigne: ANSI text, or a
// Unicode text (surrogate pairs joined) for a Unicode file. sLigne is empty
// unless the result is FICLIGNE_OK.
eFICLIGNE FIC_eLitLigne(IXStream* pclStream, bool bUnicode, CZNDSTR& sLigne);

// Appends nCaracteres wide characters to sOctets as 16-bit little-endian
// units (characters above the basic plane as surrogate pairs, invalid ones
// as U+FFFD). False when memory runs out.
bool FIC_bAjouteUTF16LE(CZNDSTR& sOctets, const wchar_t* pwsz, size_t nCaracteres);
