// Text in the files of the file-handle functions: the line reader of
// fLitLigne(handle) and Unicode text in its file form (16-bit units,
// little-endian).
//
// The line reader differs from IXStream::bReadLine: the line ends at the
// first LF (units of 16 bits in a Unicode file, counted from the position)
// and a CR just before that LF is dropped with it; a CR elsewhere is text.
// The position is left just after the line end, or at the end of the file. A line longer
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

// Bytes read from a stream ahead of the lines taken from it. The stream's
// own position is past them: they are given back (the stream moved back
// over them) before the stream serves anything else, so that every other
// operation sees the position the lines left. Reads start small after each
// return and double up to the largest size, so that a file read a line at a
// time between other operations is not read far ahead every time.
class CLectureAvance {
public:
    CLectureAvance(unsigned nPremiere, unsigned nMax) : m_nPremiere(nPremiere), m_nProchaine(nPremiere), m_nMax(nMax) {}
    ~CLectureAvance();
    CLectureAvance(const CLectureAvance&) = delete;
    CLectureAvance& operator=(const CLectureAvance&) = delete;

    const unsigned char* pbyDebut() const { return m_pby + m_nDebut; }
    size_t nDispo() const { return m_nFin - m_nDebut; }
    void Consomme(size_t n) { m_nDebut += n; }
    // Reads more after the bytes still there; *pnLu is 0 at the end of the
    // stream. FICLIGNE_LECTURE when the stream fails (its error object says
    // why), FICLIGNE_MEMOIRE when the buffer cannot grow.
    eFICLIGNE eRemplit(IXStream* pcl, unsigned* pnLu);
    // Moves the stream back over the bytes not consumed and forgets them;
    // false when the stream cannot move back.
    bool bRend(IXStream* pcl);

private:
    unsigned char* m_pby = nullptr;
    size_t m_nCapacite = 0;
    size_t m_nDebut = 0;
    size_t m_nFin = 0;
    const unsigned m_nPremiere;
    unsigned m_nProchaine;
    const unsigned m_nMax;
};

// The sizes of the reads ahead of a handle's lines.
constexpr unsigned FIC_AVANCE_PREMIERE = 4096;
constexpr unsigned FIC_AVANCE_MAX = 65536;

// Reads the line at the position of the bytes read ahead (the stream's
// position when none are left) into sLigne: ANSI text, or a Unicode text
// (surrogate pairs joined) for a Unicode file. sLigne is empty unless the
// result is FICLIGNE_OK.
eFICLIGNE FIC_eLitLigne(IXStream* pclStream, CLectureAvance& clAvance, bool bUnicode, CZNDSTR& sLigne);

// Appends nCaracteres wide characters to sOctets as 16-bit little-endian
// units (characters above the basic plane as surrogate pairs, invalid ones
// as U+FFFD). False when memory runs out.
bool FIC_bAjouteUTF16LE(CZNDSTR& sOctets, const wchar_t* pwsz, size_t nCaracteres);
