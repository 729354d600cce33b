// The accent-folding upper-case table with its three exported functions,
// and the phonetic key built on them.
//
// The key is computed by a fixed sequence of rewriting passes over one work
// copy. Each pass reads the text left to right and writes what it keeps
// back into the same area (what is kept never outruns what is read), so
// that a pass costs one walk over the text whatever it deletes: the look-
// behind of a character is the text kept so far, as it stands after every
// earlier deletion, and its look-ahead is the untouched rest.
#include "misc/phonetique.h"

#include <cstdlib>
#include <cstring>

extern "C" {

const unsigned char ANSI_cTabMaj[256] = {
    0x00, 0x01, 0x02, 0x03, 0x04, 0x05, 0x06, 0x07, 0x08, 0x09, 0x0A, 0x0B, 0x0C, 0x0D, 0x0E, 0x0F,  // 00
    0x10, 0x11, 0x12, 0x13, 0x14, 0x15, 0x16, 0x17, 0x18, 0x19, 0x1A, 0x1B, 0x1C, 0x1D, 0x1E, 0x1F,  // 10
    0x20, 0x21, 0x22, 0x23, 0x24, 0x25, 0x26, 0x27, 0x28, 0x29, 0x2A, 0x2B, 0x2C, 0x2D, 0x2E, 0x2F,  // 20
    0x30, 0x31, 0x32, 0x33, 0x34, 0x35, 0x36, 0x37, 0x38, 0x39, 0x3A, 0x3B, 0x3C, 0x3D, 0x3E, 0x3F,  // 30
    0x40, 0x41, 0x42, 0x43, 0x44, 0x45, 0x46, 0x47, 0x48, 0x49, 0x4A, 0x4B, 0x4C, 0x4D, 0x4E, 0x4F,  // 40
    0x50, 0x51, 0x52, 0x53, 0x54, 0x55, 0x56, 0x57, 0x58, 0x59, 0x5A, 0x5B, 0x5C, 0x5D, 0x5E, 0x5F,  // 50
    0x60, 0x41, 0x42, 0x43, 0x44, 0x45, 0x46, 0x47, 0x48, 0x49, 0x4A, 0x4B, 0x4C, 0x4D, 0x4E, 0x4F,  // 60
    0x50, 0x51, 0x52, 0x53, 0x54, 0x55, 0x56, 0x57, 0x58, 0x59, 0x5A, 0x7B, 0x7C, 0x7D, 0x7E, 0x7F,  // 70
    0x80, 0x81, 0x82, 0x83, 0x84, 0x85, 0x86, 0x87, 0x88, 0x89, 0x8A, 0x8B, 0x8C, 0x8D, 0x8E, 0x8F,  // 80
    0x90, 0x91, 0x92, 0x93, 0x94, 0x95, 0x96, 0x97, 0x98, 0x99, 0x9A, 0x9B, 0x9C, 0x9D, 0x9E, 0x9F,  // 90
    0xA0, 0xA1, 0xA2, 0xA3, 0xA4, 0xA5, 0xA6, 0xA7, 0xA8, 0xA9, 0xAA, 0xAB, 0xAC, 0xAD, 0xAE, 0xAF,  // A0
    0xB0, 0xB1, 0xB2, 0xB3, 0xB4, 0xB5, 0xB6, 0xB7, 0xB8, 0xB9, 0xBA, 0xBB, 0xBC, 0xBD, 0xBE, 0xBF,  // B0
    0x41, 0x41, 0x41, 0x41, 0x41, 0x41, 0x41, 0x43, 0x45, 0x45, 0x45, 0x45, 0x49, 0x49, 0x49, 0x49,  // C0
    0x44, 0x4E, 0x4F, 0x4F, 0x4F, 0x4F, 0x4F, 0xD7, 0x4F, 0x55, 0x55, 0x55, 0x55, 0x59, 0xDE, 0xDF,  // D0
    0x41, 0x41, 0x41, 0x41, 0x41, 0x41, 0x41, 0x43, 0x45, 0x45, 0x45, 0x45, 0x49, 0x49, 0x49, 0x49,  // E0
    0x44, 0x4E, 0x4F, 0x4F, 0x4F, 0x4F, 0x4F, 0xF7, 0x4F, 0x55, 0x55, 0x55, 0x55, 0x59, 0xFE, 0x59,  // F0
};

void ANSI_ToUpper(char* pszTexte) {
    if (pszTexte == nullptr) return;
    for (unsigned char* p = reinterpret_cast<unsigned char*>(pszTexte); *p != 0; ++p) *p = ANSI_cTabMaj[*p];
}

int ANSI_bUpperEquN(const char* pszA, const char* pszB, int nLongueur) {
    const auto* pA = reinterpret_cast<const unsigned char*>(pszA != nullptr ? pszA : "");
    const auto* pB = reinterpret_cast<const unsigned char*>(pszB != nullptr ? pszB : "");
    for (int i = 0; i < nLongueur; ++i) {
        if (ANSI_cTabMaj[pA[i]] != ANSI_cTabMaj[pB[i]]) return 0;
        if (pA[i] == 0) break;   // both ended together
    }
    return 1;
}

int ANSI_bUpperEqu(const char* pszA, const char* pszB) {
    const auto* pA = reinterpret_cast<const unsigned char*>(pszA != nullptr ? pszA : "");
    const auto* pB = reinterpret_cast<const unsigned char*>(pszB != nullptr ? pszB : "");
    for (;; ++pA, ++pB) {
        if (ANSI_cTabMaj[*pA] != ANSI_cTabMaj[*pB]) return 0;
        if (*pA == 0) return 1;
    }
}

}  // extern "C"

namespace {

// Zero bytes before the text: every look-behind past its start sees a
// byte that is no letter, the way the look-ahead past its end sees the
// terminator.
constexpr size_t GARDE = 5;
// Texts this short are worked on the stack.
constexpr size_t TAILLE_PILE = 256;

bool bVoyelle(char c) {
    switch (c) {
        case 'A': case 'E': case 'I': case 'O': case 'U': case 'Y': return true;
        default: return false;
    }
}

// The text while the rules rewrite it: s[0..n) with the guard before it
// and its terminator after it.
struct STMot {
    char* s;
    size_t n;

    // k-th character from the end (1 = the last); a guard byte past the start.
    char Fin(size_t k) const { return s[static_cast<ptrdiff_t>(n) - static_cast<ptrdiff_t>(k)]; }
    void SupprimeDernier() { s[--n] = 0; }
};

// What a pass sees around the character it reads: the text kept so far
// (Avant(1) is the last kept character, a guard byte before the start).
struct STCurseur {
    char* s;
    size_t w;

    char Avant(size_t k) const { return s[static_cast<ptrdiff_t>(w) - static_cast<ptrdiff_t>(k)]; }
    void ChangeAvant(size_t k, char c) { s[w - k] = c; }
    void RetireAvant() { --w; }
};

// One left-to-right pass: fnRegle(curseur, c, suivant) may change c and
// the characters kept before it, and returns false to delete c.
template <class F>
void _Passe(STMot& st, F fnRegle) {
    STCurseur cur{st.s, 0};
    for (size_t r = 0; r < st.n; ++r) {
        char c = st.s[r];
        if (fnRegle(cur, c, st.s[r + 1])) st.s[cur.w++] = c;
    }
    st.n = cur.w;
    st.s[st.n] = 0;
}

void _Remplace(STMot& st, char cAncien, char cNouveau) {
    for (size_t i = 0; i < st.n; ++i)
        if (st.s[i] == cAncien) st.s[i] = cNouveau;
}

// The rules applied once each to the end of the word, in this order.
// Past the start the guard matches no letter, so an emptied word stops them.
void _ReglesDeFin(STMot& st) {
    if (st.Fin(1) == 'S' || (st.Fin(2) == 'U' && st.Fin(1) == 'X')) st.SupprimeDernier();
    if (st.Fin(1) == 'T' && (bVoyelle(st.Fin(2)) || st.Fin(2) == 'N' || st.Fin(2) == 'M'))
        st.SupprimeDernier();
    else if (st.Fin(1) == 'P' && (st.Fin(2) == 'A' || st.Fin(2) == 'O'))
        st.SupprimeDernier();
    if (st.Fin(2) == 'E' && st.Fin(1) == 'Z') st.SupprimeDernier();
    if (st.Fin(1) == 'D') {
        const char c = st.Fin(2);
        if (c == 'E' || c == 'I' || c == 'N' || c == 'R' || c == 'O' || st.Fin(3) == 'A' || st.Fin(3) == 'U')
            st.SupprimeDernier();
    }
    if (st.Fin(2) == 'E' && st.Fin(1) == 'R') st.SupprimeDernier();
}

// N closing a nasal vowel: not followed by a vowel or another N.
bool bNasale(char cSuivant) { return !bVoyelle(cSuivant) && cSuivant != 'N'; }

void _Cle(STMot& st) {
    // Leading spaces are skipped, trailing ones deleted.
    size_t nDebut = 0;
    while (nDebut < st.n && st.s[nDebut] == ' ') ++nDebut;
    if (nDebut > 0) {
        memmove(st.s, st.s + nDebut, st.n - nDebut);
        st.n -= nDebut;
        st.s[st.n] = 0;
    }
    while (st.n > 0 && st.s[st.n - 1] == ' ') st.SupprimeDernier();

    _ReglesDeFin(st);
    // QU -> K.
    _Passe(st, [](STCurseur& cur, char& c, char) {
        if (c != 'U' || cur.Avant(1) != 'Q') return true;
        cur.ChangeAvant(1, 'K');
        return false;
    });
    if (st.Fin(1) == 'E') st.SupprimeDernier();
    // M before B or P after a vowel -> N.
    _Passe(st, [](STCurseur& cur, char& c, char cSuivant) {
        if (c == 'M' && bVoyelle(cur.Avant(1)) && (cSuivant == 'B' || cSuivant == 'P')) c = 'N';
        return true;
    });
    _Remplace(st, 'Y', 'I');
    _Remplace(st, '-', ' ');
    // OI -> OA.
    _Passe(st, [](STCurseur& cur, char& c, char) {
        if (c == 'I' && cur.Avant(1) == 'O') c = 'A';
        return true;
    });
    // EU -> E.
    _Passe(st, [](STCurseur& cur, char& c, char) { return !(c == 'U' && cur.Avant(1) == 'E'); });
    // EAU and AU -> O.
    _Passe(st, [](STCurseur& cur, char& c, char) {
        if (c == 'U' && cur.Avant(1) == 'A') {
            cur.RetireAvant();
            if (cur.Avant(1) == 'E') cur.RetireAvant();
            c = 'O';
        }
        return true;
    });
    // S between two vowels -> Z.
    _Passe(st, [](STCurseur& cur, char& c, char cSuivant) {
        if (c == 'S' && bVoyelle(cur.Avant(1)) && bVoyelle(cSuivant)) c = 'Z';
        return true;
    });
    // CE, CI -> SE, SI; every other C -> K.
    _Passe(st, [](STCurseur& cur, char& c, char) {
        if ((c == 'E' || c == 'I') && cur.Avant(1) == 'C') cur.ChangeAvant(1, 'S');
        return true;
    });
    _Remplace(st, 'C', 'K');
    // AN, EN closing the sound -> A.
    _Passe(st, [](STCurseur& cur, char& c, char cSuivant) {
        const char cAvant = cur.Avant(1);
        if (c != 'N' || (cAvant != 'A' && cAvant != 'E') || !bNasale(cSuivant)) return true;
        cur.ChangeAvant(1, 'A');
        return false;
    });
    // ON closing the sound -> O.
    _Passe(st, [](STCurseur& cur, char& c, char cSuivant) {
        return !(c == 'N' && cur.Avant(1) == 'O' && bNasale(cSuivant));
    });
    // AI -> E.
    _Passe(st, [](STCurseur& cur, char& c, char) {
        if (c != 'I' || cur.Avant(1) != 'A') return true;
        cur.ChangeAvant(1, 'E');
        return false;
    });
    // H is silent; PH -> F.
    _Passe(st, [](STCurseur& cur, char& c, char) {
        if (c != 'H') return true;
        if (cur.Avant(1) == 'P') cur.ChangeAvant(1, 'F');
        return false;
    });
    // Runs of one character -> one.
    _Passe(st, [](STCurseur& cur, char& c, char) { return c != cur.Avant(1); });
}

}  // namespace

bool fonetik(const char* pszSource, char* pszCle, size_t nTaille, CXError* pclErreur) {
    const size_t n = pszSource != nullptr ? strlen(pszSource) : 0;
    if (n > SIZE_MAX - GARDE - 1) {
        if (pclErreur != nullptr) pclErreur->SetUserErrorArgs(80229);
        return false;
    }
    char szPile[TAILLE_PILE];
    char* pZone = szPile;
    const size_t nZone = GARDE + n + 1;
    if (nZone > sizeof szPile) {
        pZone = static_cast<char*>(malloc(nZone));
        if (pZone == nullptr) {
            if (pclErreur != nullptr) pclErreur->SetUserErrorArgs(80229);
            return false;
        }
    }
    memset(pZone, 0, GARDE);
    STMot st{pZone + GARDE, n};
    if (n > 0) memcpy(st.s, pszSource, n);
    st.s[n] = 0;
    ANSI_ToUpper(st.s);
    _Cle(st);
    if (pszCle != nullptr && nTaille > 0) {
        const size_t nCopie = st.n < nTaille ? st.n : nTaille - 1;
        memcpy(pszCle, st.s, nCopie);
        pszCle[nCopie] = 0;
    }
    if (pZone != szPile) free(pZone);
    return true;
}
