// Conversions between language values (variants) and the stored form of
// memory-zone keys and values.
#include "memzone/mz_valeur.h"

#include <cstdlib>
#include <cstring>
#include <cwchar>

#include "core/any.h"
#include "core/zndstr.h"

namespace {

// A view of the dynamic string whose memory word a variant holds (the view
// does not own it).
CZNDSTRBase _VueChaine(const CAny& cl) {
    CZNDSTRBase clVue;
    void* p = cl.pGetPointeur();
    memcpy(static_cast<void*>(&clVue), &p, sizeof p);
    return clVue;
}

uint32_t _nLongueurMemoire(const void* p) { return p != nullptr ? STRMEM_Header(p)->nLongueur : 0; }

// The first n bytes of the value area, up to a zero (dates and times).
uint32_t _nLongueurZone(const uint8_t* p, uint32_t nMax) {
    uint32_t n = 0;
    while (n < nMax && p[n] != 0) ++n;
    return n;
}

}  // namespace

CMemValeur::~CMemValeur() { free(m_pTexte); }

bool CMemValeur::_bTexte(const void* p, uint32_t nLongueur) {
    m_nLongueur = nLongueur;
    if (nLongueur > MEM_MAX_TEXTE) return false;
    auto* pT = static_cast<uint8_t*>(realloc(m_pTexte, nLongueur + 1));
    if (pT == nullptr) return false;
    m_pTexte = pT;
    if (nLongueur != 0) memcpy(pT, p, nLongueur);
    pT[nLongueur] = 0;
    m_st = STMemDonnee{MEMT_BINAIRE, pT, nLongueur + 1};
    return true;
}

int CMemValeur::_nTexteC(const char* psz) {
    if (psz == nullptr) psz = "";
    const size_t n = strlen(psz);
    if (n > MEM_MAX_TEXTE) {
        m_nLongueur = uint32_t(n > UINT32_MAX ? UINT32_MAX : n);
        return MEM_ERR_TROP_LONG;
    }
    return _bTexte(psz, uint32_t(n)) ? 0 : MEM_ERR_TYPE;
}

void CMemValeur::_Entier(int64_t n) {
    // Integers beyond 32 bits keep their value as reals rather than be cut.
    if (n < INT32_MIN || n > INT32_MAX) return _Reel(double(n));
    const int32_t n32 = int32_t(n);
    memcpy(m_abyNombre, &n32, sizeof n32);
    m_st = STMemDonnee{MEMT_ENTIER, m_abyNombre, sizeof n32};
}

void CMemValeur::_Reel(double r) {
    memcpy(m_abyNombre, &r, sizeof r);
    m_st = STMemDonnee{MEMT_REEL, m_abyNombre, sizeof r};
}

int CMemValeur::nDepuisAny(const CAny& clValeur) {
    const uint8_t* pV = clValeur.pGetValeur();
    auto nEntier = [pV](auto n) {
        memcpy(&n, pV, sizeof n);
        return n;
    };
    switch (clValeur.nGetType()) {
        case ANY_VIDE: return _bTexte("", 0) ? 0 : MEM_ERR_TYPE;
        case ANY_BOOL: _Entier(nEntier(int32_t(0)) != 0 ? 1 : 0); return 0;
        case ANY_UI1: _Entier(nEntier(uint8_t(0))); return 0;
        case ANY_UI2: _Entier(nEntier(uint16_t(0))); return 0;
        case ANY_UI4:
        case ANY_UIX: _Entier(nEntier(uint32_t(0))); return 0;
        case ANY_I1: _Entier(nEntier(int8_t(0))); return 0;
        case ANY_I2: _Entier(nEntier(int16_t(0))); return 0;
        case ANY_I4:
        case ANY_I4BIS: _Entier(nEntier(int32_t(0))); return 0;
        case ANY_I8: _Entier(nEntier(int64_t(0))); return 0;
        case ANY_UI8: {
            const uint64_t n = nEntier(uint64_t(0));
            if (n > uint64_t(INT64_MAX))
                _Reel(double(n));
            else
                _Entier(int64_t(n));
            return 0;
        }
        case ANY_R4: _Reel(nEntier(0.0f)); return 0;
        case ANY_R8: _Reel(nEntier(0.0)); return 0;
        case ANY_CY: {
            // A signed 80-bit count of millionths.
            const uint64_t nBas = nEntier(uint64_t(0));
            int16_t nHaut;
            memcpy(&nHaut, pV + 8, sizeof nHaut);
            _Reel((double(nHaut) * 18446744073709551616.0 + double(nBas)) / 1e6);
            return 0;
        }
        case ANY_CSTR: {
            const char* psz = nullptr;
            clValeur.nGetPCXSTR(&psz);
            return _nTexteC(psz);
        }
        case ANY_DSTR:
        case ANY_BIN: {
            const void* p = clValeur.pGetPointeur();
            const uint32_t n = _nLongueurMemoire(p);
            if (n > MEM_MAX_TEXTE) {
                m_nLongueur = n;
                return MEM_ERR_TROP_LONG;
            }
            return _bTexte(p, n) ? 0 : MEM_ERR_TYPE;
        }
        case ANY_DATE: return _bTexte(pV, _nLongueurZone(pV, 8)) ? 0 : MEM_ERR_TYPE;
        case ANY_TIME: return _bTexte(pV, _nLongueurZone(pV, 9)) ? 0 : MEM_ERR_TYPE;
        case ANY_USTR:
        case ANY_CAR:
        case ANY_WSTR: {
            // Unicode texts are stored in the current character set.
            CZNDSTR sUnicode, sAnsi;
            int nErr = 0;
            if (clValeur.nGetType() == ANY_USTR) {
                nErr = sAnsi.nAffecteToANSI(_VueChaine(clValeur));
            } else if (clValeur.nGetType() == ANY_CAR) {
                char16_t c;
                memcpy(&c, pV, sizeof c);
                nErr = sUnicode.nAssignUNICODE_UTF16(&c, c != 0 ? 1 : 0);
                if (nErr == 0) nErr = sAnsi.nAffecteToANSI(sUnicode);
            } else {
                const char* p = nullptr;
                clValeur.nGetPCXSTR(&p);
                nErr = sUnicode.nAssignUNICODE(p != nullptr ? reinterpret_cast<const wchar_t*>(p) : L"");
                if (nErr == 0) nErr = sAnsi.nAffecteToANSI(sUnicode);
            }
            if (nErr != 0) return MEM_ERR_TYPE;
            if (uint32_t(sAnsi.nGetLongueur()) > MEM_MAX_TEXTE) {
                m_nLongueur = uint32_t(sAnsi.nGetLongueur());
                return MEM_ERR_TROP_LONG;
            }
            return _bTexte(sAnsi.pszGet(), uint32_t(sAnsi.nGetLongueur())) ? 0 : MEM_ERR_TYPE;
        }
        case ANY_DECIMAL: {
            CAny cl;
            double r = 0;
            if (cl.nCopy(clValeur) != 0 || cl.nCastTo(ANY_R8) > 99 || cl.nGetREAL(&r) != 0) return MEM_ERR_TYPE;
            _Reel(r);
            return 0;
        }
        default: {
            // Date-times, durations, buffers, arrays, objects: the text the
            // host makes of them.
            CAny cl;
            const char* psz = nullptr;
            if (cl.nCopy(clValeur) != 0 || cl.nCastTo(ANY_CSTR) > 99 || cl.nGetType() != ANY_CSTR ||
                cl.nGetPCXSTR(&psz) != 0)
                return MEM_ERR_TYPE;
            return _nTexteC(psz);
        }
    }
}

void MEM_AnyVide(CAny* pclResultat) {
    pclResultat->Vide();
    pclResultat->__SetType(ANY_DSTR);
}

bool MEM_bVersAny(uint8_t cType, const uint8_t* pOctets, uint32_t nLongueur, CAny* pclResultat) {
    // Numbers read as if zero-filled when their field is short.
    uint8_t ab[8] = {};
    if (nLongueur != 0) memcpy(ab, pOctets, nLongueur < sizeof ab ? nLongueur : sizeof ab);
    pclResultat->Vide();
    switch (cType) {
        case MEMT_REEL: {
            double r;
            memcpy(&r, ab, sizeof r);
            pclResultat->__SetType(ANY_R8);
            pclResultat->SetValue(&r);
            return true;
        }
        case MEMT_REEL4: {
            float f;
            memcpy(&f, ab, sizeof f);
            const double r = f;
            pclResultat->__SetType(ANY_R8);
            pclResultat->SetValue(&r);
            return true;
        }
        case MEMT_COURT:
            pclResultat->__SetType(ANY_I2);
            pclResultat->SetValue(ab);
            return true;
        case MEMT_ENTIER:
            pclResultat->__SetType(ANY_I4);
            pclResultat->SetValue(ab);
            return true;
        default: {
            // Texts were stored with their terminating zero.
            if (nLongueur != 0 && pOctets[nLongueur - 1] == 0) --nLongueur;
            pclResultat->__SetType(ANY_DSTR);
            if (nLongueur != 0 && pclResultat->SetValue(pOctets, nLongueur) != 0) {
                MEM_AnyVide(pclResultat);
                return false;
            }
            return true;
        }
    }
}
