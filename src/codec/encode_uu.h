// Line-by-line decoding of the two uuencode forms, shared by the text
// decoders and the file decoder (which is fed one line at a time, so that a
// file of any size is read through a fixed buffer).
//
// A text is one or more sections, each a "begin" line, data lines and an
// "end" line: the file encoder writes one section per piece of the file, so
// the decoder goes on to the next "begin" line after every "end" rather than
// stopping at the first one. The first line of a text is always taken as the
// header, whatever it holds.
#pragma once
#include <cstddef>
#include <cstdint>

namespace uu {

class CDecodeur {
public:
    // bStandard: every line opens with its length character. With a null
    // output the bytes are only counted.
    CDecodeur(bool bStandard, uint8_t* pbySortie) : m_bStandard(bStandard), m_pbySortie(pbySortie) {}

    // One line without its LF (a CR before it is ignored). False when the
    // line cannot be one of the encoder's.
    bool bLigne(const char* psz, size_t n);
    // A whole text, cut into lines.
    bool bTexte(const char* psz, size_t n);
    // Ends the last group; the count of bytes produced since the start (or
    // since the last ChangeSortie).
    size_t nFin();
    // Bytes produced so far go elsewhere from now on; the count restarts.
    void ChangeSortie(uint8_t* pbySortie) {
        m_pbySortie = pbySortie;
        m_nProduit = 0;
    }
    size_t nGetProduit() const { return m_nProduit; }

private:
    enum eETAT { ENTETE, SECTION, ATTENTE };

    void _Octets(const uint8_t* v, size_t k);
    void _FinGroupe();

    bool m_bStandard;
    uint8_t* m_pbySortie;
    size_t m_nProduit = 0;
    eETAT m_eEtat = ENTETE;
    // Values of a group not yet complete (the form without length characters
    // runs groups across lines).
    uint8_t m_av[4] = {};
    size_t m_nValeurs = 0;
};

}  // namespace uu
