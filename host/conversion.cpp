#include "conversion.h"

#include <charconv>
#include <cfloat>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "strmem_host.h"

namespace qvhost {

namespace {

eCharset g_eCharset = eCharset::CP1252;

// One value between reading the source and writing the destination.
struct STValeur {
    enum eGenre { VIDE, BOOL, SIGNE, NONSIGNE, REEL, MONNAIE, TEXTE, DATE, HEURE, DATEHEURE, DUREE, BINAIRE };
    eGenre e = VIDE;
    bool b = false;
    int64_t n = 0;
    uint64_t u = 0;
    double r = 0;
    STMonnaie m{};
    std::string s;   // TEXTE: UTF-8; BINAIRE: bytes; DATE, HEURE: the digits
    STDateHeure dh{};
};

std::string Blancs(const std::string& s) {
    size_t a = s.find_first_not_of(" \t");
    if (a == std::string::npos) return {};
    size_t b = s.find_last_not_of(" \t");
    return s.substr(a, b - a + 1);
}

std::string TexteOctets(const uint8_t* p, size_t nMax) {
    size_t n = 0;
    while (n < nMax && p[n]) ++n;
    return std::string(reinterpret_cast<const char*>(p), n);
}

void* Pointeur(const void* pValeur) {
    void* p;
    std::memcpy(&p, pValeur, sizeof p);
    return p;
}

size_t nLongueurW(const wchar_t* p) {
    size_t n = 0;
    while (p[n]) ++n;
    return n;
}

bool bLit(const void* pSource, int nType, STValeur& st) {
    const auto* p = static_cast<const uint8_t*>(pSource);
    auto fnSigne = [&](int nTaille) {
        st.e = STValeur::SIGNE;
        switch (nTaille) {
            case 1: st.n = static_cast<int8_t>(p[0]); break;
            case 2: { int16_t v; std::memcpy(&v, p, 2); st.n = v; break; }
            case 4: { int32_t v; std::memcpy(&v, p, 4); st.n = v; break; }
            default: std::memcpy(&st.n, p, 8);
        }
    };
    auto fnNonSigne = [&](int nTaille) {
        st.e = STValeur::NONSIGNE;
        st.u = 0;
        std::memcpy(&st.u, p, static_cast<size_t>(nTaille));
    };
    switch (nType) {
        case ANY_VIDE: st.e = STValeur::VIDE; return true;
        case ANY_BOOL: {
            int32_t v;
            std::memcpy(&v, p, 4);
            st.e = STValeur::BOOL;
            st.b = v != 0;
            return true;
        }
        case ANY_UI1: fnNonSigne(1); return true;
        case ANY_UI2: fnNonSigne(2); return true;
        case ANY_UI4:
        case ANY_UIX: fnNonSigne(4); return true;
        case ANY_UI8: fnNonSigne(8); return true;
        case ANY_I1: fnSigne(1); return true;
        case ANY_I2: fnSigne(2); return true;
        case ANY_I4:
        case ANY_I4BIS: fnSigne(4); return true;
        case ANY_I8: fnSigne(8); return true;
        case ANY_CY: st.e = STValeur::MONNAIE; std::memcpy(&st.m, p, 10); return true;
        case ANY_R4: {
            float f;
            std::memcpy(&f, p, 4);
            st.e = STValeur::REEL;
            st.r = f;
            return true;
        }
        case ANY_R8: st.e = STValeur::REEL; std::memcpy(&st.r, p, 8); return true;
        case ANY_CAR: {
            uint16_t w;
            std::memcpy(&w, p, 2);
            st.e = STValeur::TEXTE;
            st.s.clear();
            if (w) Utf8Append(st.s, static_cast<char32_t>(w));
            return true;
        }
        case ANY_USTR:
        case ANY_DSTR:
        case ANY_BIN: {
            void* pMemoire = Pointeur(p);
            std::string sOctets = LitChaine(pMemoire);
            if (nType == ANY_BIN) {
                st.e = STValeur::BINAIRE;
                st.s = sOctets;
            } else if (pMemoire && KindChaine(pMemoire) == SMK_UNICODE) {
                st.e = STValeur::TEXTE;
                st.s = WideToUtf8(reinterpret_cast<const uint32_t*>(sOctets.data()), sOctets.size() / 4);
            } else {
                st.e = STValeur::TEXTE;
                st.s = CharsetToUtf8(sOctets, g_eCharset);
            }
            return true;
        }
        case ANY_CSTR: {
            const char* psz = static_cast<const char*>(Pointeur(p));
            st.e = STValeur::TEXTE;
            st.s = psz ? CharsetToUtf8(psz, std::strlen(psz), g_eCharset) : std::string();
            return true;
        }
        case ANY_WSTR: {
            const wchar_t* psz = static_cast<const wchar_t*>(Pointeur(p));
            st.e = STValeur::TEXTE;
            st.s = psz ? WideToUtf8(reinterpret_cast<const uint32_t*>(psz), nLongueurW(psz)) : std::string();
            return true;
        }
        case ANY_DATE: st.e = STValeur::DATE; st.s = TexteOctets(p, 8); return true;
        case ANY_TIME: st.e = STValeur::HEURE; st.s = TexteOctets(p, 9); return true;
        case ANY_DATETIME: st.e = STValeur::DATEHEURE; std::memcpy(&st.dh, p, 8); return true;
        case ANY_DUREE: st.e = STValeur::DUREE; std::memcpy(&st.n, p, 8); return true;
        default: return false;
    }
}

bool bChiffres(const std::string& s) {
    for (char c : s)
        if (c < '0' || c > '9') return false;
    return true;
}

std::string DateVersTexte(uint32_t dwDate) {
    if (dwDate == 0) return {};
    char sz[16];
    std::snprintf(sz, sizeof sz, "%04u%02u%02u", (dwDate >> 16) & 0xFFFF, (dwDate >> 8) & 0xFF, dwDate & 0xFF);
    return sz;
}

std::string HeureVersTexte(uint32_t nMs) {
    char sz[16];
    std::snprintf(sz, sizeof sz, "%02u%02u%02u%03u", nMs / 3600000u, nMs / 60000u % 60u, nMs / 1000u % 60u,
                  nMs % 1000u);
    return sz;
}

// Milliseconds of "HHMM", "HHMMSS", "HHMMSSCC" (hundredths) or "HHMMSSLLL".
bool bHeureVersMs(const std::string& s, uint32_t& nMs) {
    nMs = 0;
    if (s.empty()) return true;
    if (!bChiffres(s) || (s.size() != 4 && s.size() != 6 && s.size() != 8 && s.size() != 9)) return false;
    auto fn = [&](size_t i) { return static_cast<uint32_t>((s[i] - '0') * 10 + (s[i + 1] - '0')); };
    uint32_t h = fn(0), m = fn(2), sec = s.size() >= 6 ? fn(4) : 0, ms = 0;
    if (s.size() == 8) ms = fn(6) * 10;
    if (s.size() == 9) ms = static_cast<uint32_t>((s[6] - '0') * 100 + (s[7] - '0') * 10 + (s[8] - '0'));
    if (h > 23 || m > 59 || sec > 59) return false;
    nMs = ((h * 60 + m) * 60 + sec) * 1000 + ms;
    return true;
}

// The text form of a value.
bool bVersTexte(const STValeur& st, std::string& s) {
    switch (st.e) {
        case STValeur::VIDE: s.clear(); return true;
        case STValeur::BOOL: s = st.b ? "1" : "0"; return true;
        case STValeur::SIGNE:
        case STValeur::DUREE: s = std::to_string(st.n); return true;
        case STValeur::NONSIGNE: s = std::to_string(st.u); return true;
        case STValeur::REEL:
            if (!std::isfinite(st.r)) return false;
            s = FormatReel(st.r);
            return true;
        case STValeur::MONNAIE: s = FormatMonnaie(st.m); return true;
        case STValeur::TEXTE:
        case STValeur::DATE:
        case STValeur::HEURE: s = st.s; return true;
        case STValeur::BINAIRE: s = CharsetToUtf8(st.s, g_eCharset); return true;
        case STValeur::DATEHEURE:
            s = st.dh.dwDate == 0 && st.dh.nMillisecondes == 0 ? std::string()
                                                               : DateVersTexte(st.dh.dwDate) + HeureVersTexte(st.dh.nMillisecondes);
            if (st.dh.dwDate == 0 && !s.empty()) s = "00000000" + HeureVersTexte(st.dh.nMillisecondes);
            return true;
    }
    return false;
}

// Text to real: blanks around, sign, digits, one ".", one exponent.
bool bTexteVersReel(const std::string& sTexte, double& r) { return bParseReel(sTexte, r); }

// An integer as a sign and a magnitude; bPerte when a fraction was dropped.
int nVersEntier(const STValeur& st, bool& bNegatif, uint64_t& nMagnitude, bool& bPerte) {
    bNegatif = false;
    nMagnitude = 0;
    bPerte = false;
    auto fnReel = [&](double r) {
        if (!std::isfinite(r)) return static_cast<int>(CONV_DEPASSEMENT);
        double t = std::trunc(r);
        bPerte = t != r;
        bNegatif = t < 0;
        double a = std::fabs(t);
        if (a >= 18446744073709551616.0) return static_cast<int>(CONV_DEPASSEMENT);
        nMagnitude = static_cast<uint64_t>(a);
        if (nMagnitude == 0) bNegatif = false;
        return static_cast<int>(CONV_OK);
    };
    auto fnSigne = [&](int64_t n) {
        bNegatif = n < 0;
        nMagnitude = bNegatif ? (~static_cast<uint64_t>(n) + 1) : static_cast<uint64_t>(n);
    };
    switch (st.e) {
        case STValeur::VIDE: return CONV_OK;
        case STValeur::BOOL: nMagnitude = st.b ? 1 : 0; return CONV_OK;
        case STValeur::SIGNE:
        case STValeur::DUREE: fnSigne(st.n); return CONV_OK;
        case STValeur::NONSIGNE: nMagnitude = st.u; return CONV_OK;
        case STValeur::REEL: return fnReel(st.r);
        case STValeur::MONNAIE: {
            std::string s = FormatMonnaie(st.m);
            size_t nPoint = s.find('.');
            bPerte = nPoint != std::string::npos;
            std::string sEntier = s.substr(0, nPoint);
            bNegatif = !sEntier.empty() && sEntier[0] == '-';
            if (bNegatif) sEntier.erase(0, 1);
            auto res = std::from_chars(sEntier.data(), sEntier.data() + sEntier.size(), nMagnitude);
            if (res.ec != std::errc()) return CONV_DEPASSEMENT;
            if (nMagnitude == 0) bNegatif = false;
            return CONV_OK;
        }
        case STValeur::TEXTE: {
            std::string s = Blancs(st.s);
            std::string sChiffres = s;
            bool bSigne = false;
            if (!sChiffres.empty() && (sChiffres[0] == '+' || sChiffres[0] == '-')) {
                bSigne = sChiffres[0] == '-';
                sChiffres.erase(0, 1);
            }
            if (!sChiffres.empty() && bChiffres(sChiffres)) {
                auto res = std::from_chars(sChiffres.data(), sChiffres.data() + sChiffres.size(), nMagnitude);
                if (res.ec != std::errc()) return CONV_DEPASSEMENT;
                bNegatif = bSigne && nMagnitude != 0;
                return CONV_OK;
            }
            double r;
            if (!bTexteVersReel(s, r)) return CONV_TEXTE;
            return fnReel(r);
        }
        default: return CONV_TYPE;
    }
}

int nVersReel(const STValeur& st, double& r) {
    switch (st.e) {
        case STValeur::VIDE: r = 0; return CONV_OK;
        case STValeur::BOOL: r = st.b ? 1 : 0; return CONV_OK;
        case STValeur::SIGNE:
        case STValeur::DUREE: r = static_cast<double>(st.n); return CONV_OK;
        case STValeur::NONSIGNE: r = static_cast<double>(st.u); return CONV_OK;
        case STValeur::REEL: r = st.r; return CONV_OK;
        case STValeur::MONNAIE: return bParseReel(FormatMonnaie(st.m), r) ? CONV_OK : CONV_DEPASSEMENT;
        case STValeur::TEXTE: return bTexteVersReel(st.s, r) ? CONV_OK : CONV_TEXTE;
        default: return CONV_TYPE;
    }
}

int nVersMonnaie(const STValeur& st, STMonnaie& m) {
    switch (st.e) {
        case STValeur::MONNAIE: m = st.m; return CONV_OK;
        case STValeur::TEXTE: {
            std::string s = Blancs(st.s);
            if (bParseMonnaie(s, m)) return CONV_OK;
            double r;
            if (!bTexteVersReel(s, r)) return CONV_TEXTE;
            STValeur stR;
            stR.e = STValeur::REEL;
            stR.r = r;
            return nVersMonnaie(stR, m);
        }
        case STValeur::REEL: {
            if (!std::isfinite(st.r) || std::fabs(st.r) > 6.0e17) return CONV_DEPASSEMENT;
            char sz[64];
            std::snprintf(sz, sizeof sz, "%.6f", st.r);
            return bParseMonnaie(sz, m) ? CONV_OK : CONV_DEPASSEMENT;
        }
        case STValeur::VIDE:
        case STValeur::BOOL:
        case STValeur::SIGNE:
        case STValeur::NONSIGNE: {
            std::string s;
            bVersTexte(st, s);
            if (st.e == STValeur::VIDE) s = "0";
            return bParseMonnaie(s, m) ? CONV_OK : CONV_DEPASSEMENT;
        }
        default: return CONV_TYPE;
    }
}

int nEcritChaine(void* pDestination, const std::string& sUtf8, int nType) {
    void* pMemoire = nullptr;
    int nRes = CONV_OK;
    if (nType == ANY_USTR) {
        std::vector<uint32_t> tab = Utf8ToWide(sUtf8);
        if (!tab.empty()) pMemoire = pCreeChaine(tab.data(), tab.size() * 4, SMK_UNICODE);
        if (!tab.empty() && !pMemoire) return CONV_MEMOIRE;
    } else {
        bool bPerte = false;
        std::string s = nType == ANY_BIN ? sUtf8 : Utf8ToCharset(sUtf8, g_eCharset, &bPerte);
        if (bPerte) nRes = CONV_APPROCHE;
        if (!s.empty()) pMemoire = pCreeChaine(s.data(), s.size(), nType == ANY_BIN ? SMK_BINARY : SMK_ANSI);
        if (!s.empty() && !pMemoire) return CONV_MEMOIRE;
    }
    std::memcpy(pDestination, &pMemoire, sizeof pMemoire);
    return nRes;
}

int nEcrit(const STValeur& st, void* pDestination, int nType) {
    auto* p = static_cast<uint8_t*>(pDestination);
    std::memset(p, 0, ANY_TAILLE_CONVERSION);
    switch (nType) {
        case ANY_BOOL: {
            bool b = false;
            if (st.e == STValeur::TEXTE) {
                if (!bParseBooleen(st.s, b)) return CONV_TEXTE;
            } else if (st.e == STValeur::REEL) {
                b = st.r != 0;
            } else {
                bool bNeg, bPerte;
                uint64_t n;
                if (int nRes = nVersEntier(st, bNeg, n, bPerte)) return nRes;
                b = n != 0;
            }
            int32_t v = b ? 1 : 0;
            std::memcpy(p, &v, 4);
            return CONV_OK;
        }
        case ANY_UI1:
        case ANY_UI2:
        case ANY_UI4:
        case ANY_UIX:
        case ANY_UI8:
        case ANY_I1:
        case ANY_I2:
        case ANY_I4:
        case ANY_I4BIS:
        case ANY_I8:
        case ANY_DUREE: {
            if (st.e == STValeur::DATE || st.e == STValeur::HEURE || st.e == STValeur::DATEHEURE ||
                st.e == STValeur::BINAIRE)
                return CONV_TYPE;
            bool bNeg, bPerte;
            uint64_t n;
            if (int nRes = nVersEntier(st, bNeg, n, bPerte)) return nRes;
            int nTaille = 8;
            bool bSigne = true;
            switch (nType) {
                case ANY_UI1: nTaille = 1; bSigne = false; break;
                case ANY_UI2: nTaille = 2; bSigne = false; break;
                case ANY_UI4:
                case ANY_UIX: nTaille = 4; bSigne = false; break;
                case ANY_UI8: bSigne = false; break;
                case ANY_I1: nTaille = 1; break;
                case ANY_I2: nTaille = 2; break;
                case ANY_I4:
                case ANY_I4BIS: nTaille = 4; break;
                default: break;
            }
            int nBits = nTaille * 8;
            uint64_t nMaxPositif = bSigne ? (uint64_t{1} << (nBits - 1)) - 1 : (nBits == 64 ? UINT64_MAX : (uint64_t{1} << nBits) - 1);
            uint64_t nMaxNegatif = bSigne ? (uint64_t{1} << (nBits - 1)) : 0;
            if ((!bNeg && n > nMaxPositif) || (bNeg && n > nMaxNegatif)) return CONV_DEPASSEMENT;
            uint64_t v = bNeg ? (~n + 1) : n;
            std::memcpy(p, &v, static_cast<size_t>(nTaille));
            return bPerte ? CONV_APPROCHE : CONV_OK;
        }
        case ANY_R4:
        case ANY_R8: {
            double r;
            if (int nRes = nVersReel(st, r)) return nRes;
            if (nType == ANY_R4) {
                if (std::isfinite(r) && std::fabs(r) > FLT_MAX) return CONV_DEPASSEMENT;
                float f = static_cast<float>(r);
                std::memcpy(p, &f, 4);
                return static_cast<double>(f) == r || !std::isfinite(r) ? CONV_OK : CONV_APPROCHE;
            }
            std::memcpy(p, &r, 8);
            return CONV_OK;
        }
        case ANY_CY: {
            STMonnaie m{};
            if (int nRes = nVersMonnaie(st, m)) return nRes;
            std::memcpy(p, &m, 10);
            return CONV_OK;
        }
        case ANY_CAR: {
            if (st.e == STValeur::TEXTE) {
                std::u32string s = Utf8Decode(st.s);
                if (s.size() > 1) return CONV_TEXTE;
                uint32_t c = s.empty() ? 0 : static_cast<uint32_t>(s[0]);
                if (c > 0xFFFF) return CONV_DEPASSEMENT;
                uint16_t w = static_cast<uint16_t>(c);
                std::memcpy(p, &w, 2);
                return CONV_OK;
            }
            STValeur stE = st;
            return nEcrit(stE, pDestination, ANY_UI2);
        }
        case ANY_USTR:
        case ANY_DSTR:
        case ANY_BIN:
        case ANY_CSTR:
        case ANY_WSTR: {
            std::string s;
            if (nType == ANY_BIN && st.e == STValeur::BINAIRE) {
                s = st.s;
            } else {
                if (!bVersTexte(st, s)) return CONV_TYPE;
                if (nType == ANY_BIN) s = Utf8ToCharset(s, g_eCharset);
            }
            if (nType == ANY_CSTR || nType == ANY_WSTR) {
                void* pTexte = nullptr;
                int nRes = CONV_OK;
                if (nType == ANY_CSTR) {
                    bool bPerte = false;
                    std::string sA = Utf8ToCharset(s, g_eCharset, &bPerte);
                    char* psz = static_cast<char*>(std::malloc(sA.size() + 1));
                    if (!psz) return CONV_MEMOIRE;
                    std::memcpy(psz, sA.c_str(), sA.size() + 1);
                    pTexte = psz;
                    if (bPerte) nRes = CONV_APPROCHE;
                } else {
                    std::vector<uint32_t> tab = Utf8ToWide(s);
                    auto* pw = static_cast<wchar_t*>(std::malloc((tab.size() + 1) * sizeof(wchar_t)));
                    if (!pw) return CONV_MEMOIRE;
                    for (size_t i = 0; i < tab.size(); ++i) pw[i] = static_cast<wchar_t>(tab[i]);
                    pw[tab.size()] = 0;
                    pTexte = pw;
                }
                std::memcpy(p, &pTexte, sizeof pTexte);
                return nRes;
            }
            if (nType == ANY_BIN) {
                void* pMemoire = s.empty() ? nullptr : pCreeChaine(s.data(), s.size(), SMK_BINARY);
                if (!s.empty() && !pMemoire) return CONV_MEMOIRE;
                std::memcpy(p, &pMemoire, sizeof pMemoire);
                return CONV_OK;
            }
            return nEcritChaine(p, s, nType);
        }
        case ANY_DATE: {
            std::string s;
            if (st.e == STValeur::TEXTE || st.e == STValeur::DATE) {
                s = Blancs(st.s);
                if (!s.empty() && (s.size() != 8 || !bChiffres(s))) return CONV_TEXTE;
            } else if (st.e == STValeur::DATEHEURE) {
                s = DateVersTexte(st.dh.dwDate);
            } else if (st.e != STValeur::VIDE) {
                return CONV_TYPE;
            }
            std::memcpy(p, s.data(), s.size());
            return CONV_OK;
        }
        case ANY_TIME: {
            std::string s;
            if (st.e == STValeur::TEXTE || st.e == STValeur::HEURE) {
                s = Blancs(st.s);
                uint32_t nMs;
                if (!bHeureVersMs(s, nMs)) return CONV_TEXTE;
            } else if (st.e == STValeur::DATEHEURE) {
                s = HeureVersTexte(st.dh.nMillisecondes);
            } else if (st.e != STValeur::VIDE) {
                return CONV_TYPE;
            }
            std::memcpy(p, s.data(), s.size());
            return CONV_OK;
        }
        case ANY_DATETIME: {
            STDateHeure dh{};
            if (st.e == STValeur::TEXTE) {
                if (!bParseDateHeure(Blancs(st.s), dh)) return CONV_TEXTE;
            } else if (st.e == STValeur::DATEHEURE) {
                dh = st.dh;
            } else if (st.e == STValeur::DATE) {
                if (!st.s.empty() && !bParseDateHeure(st.s, dh)) return CONV_TEXTE;
            } else if (st.e == STValeur::HEURE) {
                if (!bHeureVersMs(st.s, dh.nMillisecondes)) return CONV_TEXTE;
            } else if (st.e != STValeur::VIDE) {
                return CONV_TYPE;
            }
            std::memcpy(p, &dh, 8);
            return CONV_OK;
        }
        default: return CONV_TYPE;
    }
}

}  // namespace

void SetCharsetConversion(eCharset eCs) { g_eCharset = eCs; }
eCharset GetCharsetConversion() { return g_eCharset; }

int nConvertit(const void* pSource, int nTypeSource, void* pDestination, int nTypeDestination) {
    if (!pSource || !pDestination) return CONV_TYPE;
    STValeur st;
    if (!bLit(pSource, nTypeSource & 0xFF, st)) return CONV_TYPE;
    // Work on a private buffer so that a refusal leaves the destination alone.
    alignas(8) uint8_t aby[ANY_TAILLE_CONVERSION] = {};
    int nRes = nEcrit(st, aby, nTypeDestination & 0xFF);
    if (nRes > 99) return nRes;
    std::memcpy(pDestination, aby, ANY_TAILLE_CONVERSION);
    return nRes;
}

void LibereConversion(void* pBuffer, int nType) {
    if (!pBuffer) return;
    switch (nType & 0xFF) {
        case ANY_CSTR:
        case ANY_WSTR: std::free(Pointeur(pBuffer)); break;
        case ANY_USTR:
        case ANY_DSTR:
        case ANY_BIN: LibereChaine(Pointeur(pBuffer)); break;
        default: return;
    }
    std::memset(pBuffer, 0, sizeof(void*));
}

json ValeurVersJson(const void* pValeur, int nType) {
    STValeur st;
    if (!pValeur || !bLit(pValeur, nType & 0xFF, st)) return nullptr;
    switch (st.e) {
        case STValeur::VIDE: return nullptr;
        case STValeur::BOOL: return st.b;
        case STValeur::SIGNE: return st.n;
        case STValeur::NONSIGNE: return st.u;
        case STValeur::REEL: return std::isfinite(st.r) ? json(st.r) : json(FormatReel(st.r));
        case STValeur::MONNAIE: return FormatMonnaie(st.m);
        case STValeur::DUREE: return st.n;
        case STValeur::BINAIRE: return json{{"bin", Base64Encode(st.s)}};
        default: {
            std::string s;
            bVersTexte(st, s);
            return s;
        }
    }
}

json AnyVersJson(const CAny* pclAny) {
    if (!pclAny) return nullptr;
    if (pclAny->nGetType() == ANY_TABANY) return nullptr;   // arrays are not read back here
    return ValeurVersJson(pclAny->pGetValeur(), pclAny->nGetType());
}

namespace {

int nAffecteTexte(CAny* pclAny, const std::string& sUtf8, bool bUnicode) {
    void* pMemoire = nullptr;
    if (bUnicode) {
        std::vector<uint32_t> tab = Utf8ToWide(sUtf8);
        if (!tab.empty()) pMemoire = pCreeChaine(tab.data(), tab.size() * 4, SMK_UNICODE);
    } else {
        std::string s = Utf8ToCharset(sUtf8, g_eCharset);
        if (!s.empty()) pMemoire = pCreeChaine(s.data(), s.size(), SMK_ANSI);
    }
    int nRes = pclAny->nAffecteParHolder(bUnicode ? ANY_USTR : ANY_DSTR, &pMemoire);
    LibereChaine(pMemoire);   // the variant holds its own reference
    return nRes;
}

}  // namespace

bool bJsonVersAny(const json& j, CAny* pclAny, std::string& sErreur) {
    if (!pclAny) return false;
    if (j.is_null()) {
        pclAny->nAffecteParHolder(ANY_VIDE, nullptr);
        pclAny->SetMarqueNull(true);
        return true;
    }
    if (j.is_boolean()) {
        int32_t n = j.get<bool>() ? 1 : 0;
        return pclAny->nAffecteParHolder(ANY_BOOL, &n) == 0;
    }
    if (j.is_number_integer()) {
        if (j.is_number_unsigned() && j.get<uint64_t>() > INT64_MAX) {
            uint64_t u = j.get<uint64_t>();
            return pclAny->nAffecteParHolder(ANY_UI8, &u) == 0;
        }
        int64_t n = j.get<int64_t>();
        if (n >= INT32_MIN && n <= INT32_MAX) {
            int32_t n4 = static_cast<int32_t>(n);
            return pclAny->nAffecteParHolder(ANY_I4, &n4) == 0;
        }
        return pclAny->nAffecteParHolder(ANY_I8, &n) == 0;
    }
    if (j.is_number_float()) {
        double r = j.get<double>();
        return pclAny->nAffecteParHolder(ANY_R8, &r) == 0;
    }
    if (j.is_string()) return nAffecteTexte(pclAny, j.get<std::string>(), false) == 0;
    if (j.is_object()) {
        // Tagged values: as the argument kinds read them.
        static const std::pair<const char*, eKind> k_tab[] = {{"i8", eKind::I8},   {"uni", eKind::UNI},
                                                             {"bin", eKind::BIN},  {"cur", eKind::CUR},
                                                             {"dur", eKind::DUR},  {"datetime", eKind::DATETIME}};
        for (const auto& [psz, eK] : k_tab) {
            if (!j.contains(psz)) continue;
            CArg clArg;
            int nScore = 0;
            if (!bConvertit(j, eK, false, g_eCharset, clArg, nScore, sErreur)) return false;
            return bArgVersAny(clArg, pclAny, sErreur);
        }
    }
    sErreur = "this host cannot pass " + j.dump() + " as a variant";
    return false;
}

bool bArgVersAny(CArg& clArg, CAny* pclAny, std::string& sErreur) {
    if (!pclAny) return false;
    if (clArg.m_bNull && clArg.m_eKind != eKind::ANY) {
        pclAny->nAffecteParHolder(ANY_VIDE, nullptr);
        pclAny->SetMarqueNull(true);
        return true;
    }
    int nRes = 0;
    switch (clArg.m_eKind) {
        case eKind::INT:
        case eKind::ADDR: nRes = pclAny->nAffecteParHolder(ANY_I4, &clArg.m_n4); break;
        case eKind::BOOL: nRes = pclAny->nAffecteParHolder(ANY_BOOL, &clArg.m_n4); break;
        case eKind::I8: nRes = pclAny->nAffecteParHolder(ANY_I8, &clArg.m_n8); break;
        case eKind::DUR: nRes = pclAny->nAffecteParHolder(ANY_DUREE, &clArg.m_n8); break;
        case eKind::REAL: nRes = pclAny->nAffecteParHolder(ANY_R8, &clArg.m_r); break;
        case eKind::CUR: {
            uint8_t aby[ANY_TAILLE_VALEUR] = {};
            std::memcpy(aby, &clArg.m_stMonnaie, 10);
            nRes = pclAny->nAffecteParHolder(ANY_CY, aby);
            break;
        }
        case eKind::DATETIME: nRes = pclAny->nAffecteParHolder(ANY_DATETIME, &clArg.m_stDateHeure); break;
        case eKind::TEXT:
        case eKind::PROC:
        case eKind::VAR: nRes = pclAny->nAffecteParHolder(ANY_DSTR, &clArg.m_pMemoire); break;
        case eKind::UNI: nRes = pclAny->nAffecteParHolder(ANY_USTR, &clArg.m_pMemoire); break;
        case eKind::BIN: nRes = pclAny->nAffecteParHolder(ANY_BIN, &clArg.m_pMemoire); break;
        case eKind::FILE:
            nRes = pclAny->nAffecteParHolder(clArg.m_stManip.nType == 16 ? ANY_USTR : ANY_DSTR, &clArg.m_pMemoire);
            break;
        case eKind::ANY: return bJsonVersAny(clArg.m_jSource, pclAny, sErreur);
        case eKind::ARRAY:
        case eKind::OBJ: sErreur = "this host cannot pass arrays or objects as variants"; return false;
    }
    if (nRes != 0) sErreur = "the variant refused the value (" + std::to_string(nRes) + ")";
    return nRes == 0;
}

}  // namespace qvhost

extern "C" int nConversionDepassement(const void* pSource, int nTypeSource, void* pDestination, int nTypeDestination) {
    return qvhost::nConvertit(pSource, nTypeSource, pDestination, nTypeDestination);
}

// The option word asks for overflows to be reported; this host always
// reports them.
extern "C" int nConversionDepassementEx(const void* pSource, int nTypeSource, void* pDestination, int nTypeDestination,
                                        int) {
    return qvhost::nConvertit(pSource, nTypeSource, pDestination, nTypeDestination);
}

extern "C" void FinConversion(void* pBuffer, int nType) { qvhost::LibereConversion(pBuffer, nType); }
